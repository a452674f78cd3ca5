// What the picture many tests convert, one white pixel at 24 bits, becomes in each output, written
// out once: the writers' test checks these bytes, and the tests of both programs compare with them.
#pragma once

#include <string>

#include "test_files.h"

// Height and width as two 16-bit big-endian numbers, then red, green and blue of 255 as 63.
inline const Bytes kWhitePixelStream{0, 1, 0, 1, 63, 63, 63};
inline const Bytes kWhitePixelStreamUnsized{63, 63, 63};
// The array text carries the size whatever the size option says.
inline const std::string kWhitePixelArrayText = "\nconst unsigned char pic[]={ 0,1,0,1,63,63,63 };\n";
