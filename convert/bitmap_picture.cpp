// Pictures held by the bitmap module, and loading through it.
#include "convert/picture.h"

#include <cstring>

BitmapPicture::BitmapPicture(BitmapImagePtr image) : owned_(std::move(image)), image_(owned_.get()) {}

BitmapPicture::BitmapPicture(const BitmapImage& image) : image_(&image) {}

std::uint32_t BitmapPicture::Width() const { return image_->width; }

std::uint32_t BitmapPicture::Height() const { return image_->height; }

void BitmapPicture::ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
    GetPixelRunRgb(image_, x, y, count, rgb);
    // Only a run outside the picture is refused, which callers never ask for; black is the safe answer.
    if (LastBitmapStatus() != BitmapOk) std::memset(rgb, 0, 3u * std::size_t{count});
}

LoadedPicture LoadWithBitmapModule(const std::string& path) {
    LoadedPicture loaded;
    BitmapImagePtr image(ReadBitmapFile(path.c_str()));
    loaded.facts.moduleStatus = LastBitmapStatus();
    if (!image) return loaded;
    loaded.failure = LoadFailure::None;
    loaded.facts.depth = image->bitsPerPixel;
    loaded.facts.width = image->width;
    loaded.facts.height = image->height;
    loaded.picture = std::make_unique<BitmapPicture>(std::move(image));
    return loaded;
}
