// How an output file is named after the picture it comes from.
#pragma once

#include <string>
#include <string_view>

// The bare file name of `path`: everything after the last folder separator ('/' on POSIX builds;
// '\\', '/' and the drive colon on Windows builds), or the whole path when there is none.
std::string_view BareFileName(std::string_view path);

// The output name: the bare file name with its last three characters cut (the whole name when it is
// shorter) and `extension` appended. "C:\\pics\\logo.bmp" gives "logo.bmc"; "abc" or "ab" gives "bmc".
std::string FormOutputName(std::string_view path, std::string_view extension);
