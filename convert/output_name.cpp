// The output naming rule: bare file name, last three characters cut, extension appended.
#include "convert/output_name.h"

namespace {
#ifdef _WIN32
constexpr std::string_view kFolderSeparators = "\\/:";
#else
constexpr std::string_view kFolderSeparators = "/";
#endif
}  // namespace

std::string_view BareFileName(std::string_view path) {
    const auto separator = path.find_last_of(kFolderSeparators);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string FormOutputName(std::string_view path, std::string_view extension) {
    std::string_view bare = BareFileName(path);
    // Whatever the last three characters are, they go: for ".bmp" the dot stays.
    bare.remove_suffix(bare.size() < 3 ? bare.size() : 3);
    std::string name(bare);
    name += extension;
    return name;
}
