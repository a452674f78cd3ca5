// The decoder module's one entry: Qt's decoding, in a shared object that the program opens only
// when a picture needs it.
#include "readers/qt_decode.h"
#include "readers/qt_picture_loader.h"

extern "C" __attribute__((visibility("default"))) void VandrelDecodeWithQt(const std::string* path,
                                                                           BitmapStatus moduleStatus,
                                                                           const DecodeSettings* settings,
                                                                           LoadedPicture* out) {
    *out = DecodeWithQt(*path, moduleStatus, *settings);
}

// The program names the entry by this type; a mismatch fails to compile here rather than at run time.
[[maybe_unused]] static constexpr DecoderEntry kEntryType = &VandrelDecodeWithQt;
