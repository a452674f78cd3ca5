// Fuzz target for the project's own PNG and BMP readers: arbitrary bytes as a file; a picture must
// respect the side and memory limits, be at least as light over white as over black (and equal where
// nothing is transparent over both), and a refusal must carry its reason or sizes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "memory_file.h"
#include "picture_corner.h"
#include "readers/png_bmp_readers.h"

namespace {

// Far below the 64 MiB allocation bound of a run, whatever sides a few bytes announce.
constexpr std::uint64_t kLimitMiB = 8;
constexpr std::uint32_t kMaxWidth = 1100;
constexpr std::uint32_t kMaxPixels = 4400;

std::optional<LoadedPicture> Read(const MemoryFile& file, RgbColour background) {
    DecodeSettings settings;
    settings.background = background;
    settings.memoryLimitMiB = kLimitMiB;
    return ReadPngOrBmp(file.path(), BitmapInvalidFile, settings);
}

std::vector<std::uint8_t> Pixels(const Picture& picture) {
    std::vector<std::uint8_t> rgb(3u * picture.Width() * picture.Height());
    for (std::uint32_t y = 0; y < picture.Height(); ++y)
        picture.ReadRun(0, y, picture.Width(), rgb.data() + 3u * y * picture.Width());
    return rgb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    FUZZ_CHECK(file.Assign(data, size));
    const std::optional<LoadedPicture> onBlack = Read(file, {0, 0, 0});
    if (!onBlack) return 0;
    FUZZ_CHECK(onBlack->facts.moduleStatus == BitmapInvalidFile);
    if (!onBlack->picture) {
        FUZZ_CHECK(onBlack->failure != LoadFailure::None);
        if (onBlack->failure == LoadFailure::Unreadable || onBlack->failure == LoadFailure::EndsEarly)
            FUZZ_CHECK(!onBlack->facts.decoderReason.empty());
        if (onBlack->failure == LoadFailure::TooLarge)
            FUZZ_CHECK(onBlack->facts.width > 0xFFFF || onBlack->facts.height > 0xFFFF);
        if (onBlack->failure == LoadFailure::OverMemoryLimit) FUZZ_CHECK(onBlack->facts.memoryLimit == kLimitMiB << 20);
        return 0;
    }
    const Picture& whole = *onBlack->picture;
    FUZZ_CHECK(whole.Width() == onBlack->facts.width && whole.Height() == onBlack->facts.height);
    FUZZ_CHECK(whole.Width() >= 1 && whole.Height() >= 1 && whole.Width() <= 0xFFFF && whole.Height() <= 0xFFFF);
    FUZZ_CHECK(std::uint64_t{whole.Width()} * whole.Height() * 3u <= kLimitMiB << 20);

    const std::uint32_t width = whole.Width() < kMaxWidth ? whole.Width() : kMaxWidth;
    const std::uint32_t height = whole.Height() < kMaxPixels / width ? whole.Height() : kMaxPixels / width;
    const std::vector<std::uint8_t> black = Pixels(PictureCorner(whole, width, height));
    const std::optional<LoadedPicture> onWhite = Read(file, {255, 255, 255});
    FUZZ_CHECK(onWhite && onWhite->picture && onWhite->facts.width == onBlack->facts.width &&
               onWhite->facts.height == onBlack->facts.height);
    const std::vector<std::uint8_t> white = Pixels(PictureCorner(*onWhite->picture, width, height));
    for (std::size_t i = 0; i < black.size(); ++i) FUZZ_CHECK(black[i] <= white[i]);
    return 0;
}
