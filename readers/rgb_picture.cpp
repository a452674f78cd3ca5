// Storage of the project's own readers, and their refusals before decoding.
#include "rgb_picture.h"

#include <cstring>
#include <new>

std::uint64_t RgbPicture::HeldBytes(std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{3} * width * height;
}

std::unique_ptr<RgbPicture> RgbPicture::Create(std::uint32_t width, std::uint32_t height) {
    // calloc's pages of zeros are mapped, not written: a file that announces large sides but stops
    // early has touched only the rows it decoded.
    Pixels pixels(static_cast<std::uint8_t*>(std::calloc(HeldBytes(width, height), 1)));
    if (!pixels) return nullptr;
    std::unique_ptr<RgbPicture> picture(new (std::nothrow) RgbPicture(width, height, std::move(pixels)));
    return picture;
}

void RgbPicture::ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
    std::memcpy(rgb, pixels_.get() + 3u * (std::size_t{width_} * y + x), 3u * std::size_t{count});
}

LoadedPicture Refused(LoadFailure failure, BitmapStatus moduleStatus, std::string reason) {
    LoadedPicture loaded;
    loaded.failure = failure;
    loaded.facts.moduleStatus = moduleStatus;
    loaded.facts.decoderReason = std::move(reason);
    return loaded;
}

LoadedPicture CheckSides(std::uint64_t width, std::uint64_t height, std::uint64_t extraBytes, BitmapStatus moduleStatus,
                         const DecodeSettings& settings) {
    LoadedPicture checked = Refused(LoadFailure::None, moduleStatus, {});
    PictureFacts& facts = checked.facts;
    facts.width = static_cast<std::uint32_t>(width > UINT32_MAX ? UINT32_MAX : width);
    facts.height = static_cast<std::uint32_t>(height > UINT32_MAX ? UINT32_MAX : height);
    if (!SidesFitSizePrefix(facts.width, facts.height)) {
        checked.failure = LoadFailure::TooLarge;
        return checked;
    }
    const std::uint64_t limitMiB =
        settings.memoryLimitMiB < kLargestMemoryLimitMiB ? settings.memoryLimitMiB : kLargestMemoryLimitMiB;
    const std::uint64_t needed = RgbPicture::HeldBytes(facts.width, facts.height) + extraBytes;
    if (needed > limitMiB * 1024u * 1024u) {
        checked.failure = LoadFailure::OverMemoryLimit;
        facts.memoryNeeded = needed;
        facts.memoryLimit = limitMiB * 1024u * 1024u;
    }
    return checked;
}

LoadedPicture Loaded(std::unique_ptr<RgbPicture> picture, BitmapStatus moduleStatus) {
    LoadedPicture loaded = Refused(LoadFailure::None, moduleStatus, {});
    loaded.facts.width = picture->Width();
    loaded.facts.height = picture->Height();
    loaded.picture = std::move(picture);
    return loaded;
}
