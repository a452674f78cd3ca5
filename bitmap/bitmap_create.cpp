// CreateBitmap: a blank picture of a given size and depth, with its header filled as a saved file
// of it would carry it.
#include <cstdint>
#include <cstdlib>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"
#include "bitmap_status.h"
#include "block_alloc.h"

namespace {

bool SupportedDepth(std::uint16_t depth) { return depth == 8 || depth == 24 || depth == 32; }

// Row size (whole pixels rounded up to 4 bytes), pixel block and file size, worked out in 64 bits
// so that a size the 32-bit header fields cannot carry is caught before anything is allocated.
struct BlankSizes {
    std::uint32_t rowSize;
    std::uint32_t imageSize;
    std::uint32_t fileSize;
    std::uint32_t dataOffset;
};

bool ComputeSizes(std::uint32_t width, std::uint32_t height, std::uint16_t depth, BlankSizes& sizes) {
    const std::uint64_t bytesPerPixel = depth / 8u;
    std::uint64_t rowSize = std::uint64_t{width} * bytesPerPixel;
    if (rowSize % 4 != 0) rowSize += 4 - rowSize % 4;
    if (rowSize > UINT32_MAX) return false;
    // rowSize < 2^32 and height < 2^32, so the product stays inside 64 bits.
    const std::uint64_t imageSize = rowSize * height;
    const std::uint64_t dataOffset = kBitmapHeaderBytes + (depth == 8 ? kPaletteBytes : 0u);
    const std::uint64_t fileSize = imageSize + dataOffset;
    if (fileSize > UINT32_MAX) return false;
    sizes = {static_cast<std::uint32_t>(rowSize), static_cast<std::uint32_t>(imageSize),
             static_cast<std::uint32_t>(fileSize), static_cast<std::uint32_t>(dataOffset)};
    return true;
}

}  // namespace

BitmapImage* CreateBitmap(std::uint32_t width, std::uint32_t height, std::uint16_t depth) {
    if (width == 0 || height == 0) {
        SetBitmapStatus(BitmapInvalidArgument);
        return nullptr;
    }
    if (!SupportedDepth(depth)) {
        SetBitmapStatus(BitmapUnsupported);
        return nullptr;
    }
    BlankSizes sizes{};
    if (!ComputeSizes(width, height, depth, sizes)) {
        SetBitmapStatus(BitmapInvalidArgument);
        return nullptr;
    }

    // The zeroed block leaves every field not set below at 0: reserved words, resolutions, colour counts.
    auto* image = static_cast<BitmapImage*>(AllocateZeroedBlock(sizeof(BitmapImage)));
    if (image == nullptr) {
        SetBitmapStatus(BitmapOutOfMemory);
        return nullptr;
    }
    image->magic = kBitmapMagic;
    image->fileSize = sizes.fileSize;
    image->dataOffset = sizes.dataOffset;
    image->headerSize = kInfoHeaderBytes;
    image->width = width;
    image->height = height;
    image->planes = 1;
    image->bitsPerPixel = depth;
    image->compression = 0;
    image->imageSize = sizes.imageSize;

    if (depth == 8) {
        image->palette = static_cast<std::uint8_t*>(AllocateZeroedBlock(kPaletteBytes));
        if (image->palette == nullptr) {
            std::free(image);
            SetBitmapStatus(BitmapOutOfMemory);
            return nullptr;
        }
    }
    image->pixels = static_cast<std::uint8_t*>(AllocateZeroedBlock(sizes.imageSize));
    if (image->pixels == nullptr) {
        std::free(image->palette);
        std::free(image);
        SetBitmapStatus(BitmapOutOfMemory);
        return nullptr;
    }
    SetBitmapStatus(BitmapOk);
    return image;
}
