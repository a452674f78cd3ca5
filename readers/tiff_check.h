// What Qt's TIFF reader would get wrong or pay too much for, found before it is asked: kinds of TIFF it
// decodes wrongly, and pixel data that does not decode to the picture its header declares.
#pragma once

#include <optional>
#include <string>

// Answers why the TIFF file at `path` is refused, in words for the user, or nothing when Qt may decode
// it. Decodes every row once into a buffer of one row (or one tile), so a tiny file that declares a
// huge picture costs only what its data decodes to. Not safe to call from two threads at once.
std::optional<std::string> TiffProblem(const std::string& path);
