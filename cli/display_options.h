// The command line's options for the display itself: the pixel layout, blue-first wiring, the array's
// name and dithering.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "convert/display_writers.h"

enum class DisplayOptionRead {
    NotOne,   // arguments[i] is none of these options
    Taken,    // read into the output options; i is at the option's last argument
    Refused,  // the reason says why
};

// Reads --layout NAME, --bgr, --name IDENT and --dither (and the --layout=NAME and --name=IDENT
// spellings) at arguments[i].
DisplayOptionRead ReadDisplayOption(const std::vector<std::string>& arguments, std::size_t& i,
                                    OutputOptions& output, std::string& reason);

// Why `name` cannot name the array of C array text, or nothing when it is a C identifier.
std::string ArrayNameProblem(const std::string& name);
