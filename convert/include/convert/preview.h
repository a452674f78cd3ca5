// The preview: the picture as a 6-bit-per-channel display shows it, saved as a 24-bit BMP file.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap/bitmap.h"
#include "display_writers.h"
#include "picture.h"

// A channel after the trip to a display of the window's layout: cut to its 6 bits, then spread over
// 0..255 again by repeating the top bits in the two freed low bits, so 63 shows as 255 and 0 as 0.
constexpr std::uint8_t PreviewChannel(std::uint8_t value) { return ShownChannel(value, 6); }

// A new 24-bit image of the picture's size whose every channel shows as it does in `layout` wired
// blue first or not (ShownChannel with the channel's kept bits; PreviewChannel in the window's layout),
// or nullptr with the reason in the bitmap module's last status.
BitmapImagePtr MakePreview(const Picture& picture, PixelLayout layout = PixelLayout::Rgb666, bool blueFirst = false);

struct PreviewResult {
    // Whether the preview image could be made at all (false: the module's status says why).
    bool made = false;
    BitmapStatus status = BitmapOk;
    // The system's error number when the file could not be written (0 when it gave none).
    int systemError = 0;
};

// Makes the preview for the layout and dithering of `options` and saves it at `path`. A file that was
// started but not finished is taken back by the output policy (RemovePartialOutput).
PreviewResult WritePreview(const Picture& picture, const std::string& path, const OutputOptions& options = {});
