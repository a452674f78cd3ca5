// Fuzz target for the command line's second reader: arbitrary bytes go to Qt's image readers (every
// format the installed Qt reads), a decoded picture is composited over two backgrounds and written by
// both display writers, whose output is checked against the picture's own pixels.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/display_writers.h"
#include "fuzz_check.h"
#include "memory_file.h"
#include "picture_corner.h"
#include "readers/qt_decode.h"

namespace {

// A compressed PNG, GIF or BMP describes a huge picture in a few bytes; this limit keeps every decode
// (Qt's own buffer and the converted copy alike) far below the 64 MiB allocation bound of a run.
constexpr std::uint64_t kLimitMiB = 8;
// The writers and the pixel checks visit at most this many pixels of the top left corner.
constexpr std::uint32_t kMaxWidth = 1100;
constexpr std::uint32_t kMaxPixels = 4400;

std::vector<std::uint8_t> Pixels(const Picture& picture) {
    std::vector<std::uint8_t> rgb(3u * picture.Width() * picture.Height());
    for (std::uint32_t y = 0; y < picture.Height(); ++y)
        picture.ReadRun(0, y, picture.Width(), rgb.data() + 3u * y * picture.Width());
    return rgb;
}

LoadedPicture Decode(const MemoryFile& file, RgbColour background) {
    DecodeSettings settings;
    settings.background = background;
    settings.memoryLimitMiB = kLimitMiB;
    // A crash report printed while the decoders are silenced would be lost.
    settings.quietDecoders = false;
    return DecodeWithQt(file.path(), BitmapInvalidFile, settings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static MemoryFile sink;
    FUZZ_CHECK(file.Assign(data, size));

    const LoadedPicture onBlack = Decode(file, {0, 0, 0});
    FUZZ_CHECK(onBlack.facts.moduleStatus == BitmapInvalidFile);
    if (!onBlack.picture) {
        FUZZ_CHECK(onBlack.failure != LoadFailure::None);
        if (onBlack.failure == LoadFailure::Unreadable || onBlack.failure == LoadFailure::EndsEarly)
            FUZZ_CHECK(!onBlack.facts.decoderReason.empty());
        if (onBlack.failure == LoadFailure::TooLarge)
            FUZZ_CHECK(onBlack.facts.width > 0xFFFF || onBlack.facts.height > 0xFFFF);
        if (onBlack.failure == LoadFailure::OverMemoryLimit) FUZZ_CHECK(onBlack.facts.memoryLimit == kLimitMiB << 20);
        return 0;
    }
    const Picture& whole = *onBlack.picture;
    FUZZ_CHECK(whole.Width() == onBlack.facts.width && whole.Height() == onBlack.facts.height);
    FUZZ_CHECK(whole.Width() >= 1 && whole.Height() >= 1 && whole.Width() <= 0xFFFF && whole.Height() <= 0xFFFF);
    FUZZ_CHECK(std::uint64_t{whole.Width()} * whole.Height() * 4u <= kLimitMiB << 20);

    const std::uint32_t width = whole.Width() < kMaxWidth ? whole.Width() : kMaxWidth;
    const std::uint32_t height = whole.Height() < kMaxPixels / width ? whole.Height() : kMaxPixels / width;
    const PictureCorner corner(whole, width, height);
    const std::vector<std::uint8_t> black = Pixels(corner);

    // Over white every channel is at least what it is over black, and equal where the pixel is opaque.
    const LoadedPicture onWhite = Decode(file, {255, 255, 255});
    FUZZ_CHECK(onWhite.picture && onWhite.facts.width == onBlack.facts.width &&
               onWhite.facts.height == onBlack.facts.height);
    const std::vector<std::uint8_t> white = Pixels(PictureCorner(*onWhite.picture, width, height));
    for (std::size_t i = 0; i < black.size(); ++i) FUZZ_CHECK(black[i] <= white[i]);

    // The raw colour stream is the prefix and the 6-bit channels of exactly these pixels.
    std::FILE* out = std::fopen(sink.path(), "wb");
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(WriteRawColourStream(corner, true, out));
    std::fclose(out);
    std::string expected{static_cast<char>(height >> 8), static_cast<char>(height & 0xFF),
                         static_cast<char>(width >> 8), static_cast<char>(width & 0xFF)};
    for (std::uint8_t channel : black) expected.push_back(static_cast<char>(channel >> 2));
    FUZZ_CHECK(sink.Contents() == expected);

    static std::FILE* devNull = std::fopen("/dev/null", "wb");
    FUZZ_CHECK(devNull != nullptr);
    FUZZ_CHECK(WriteArrayText(corner, devNull));
    return 0;
}
