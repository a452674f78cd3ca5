// Loading a BMP file into a new image. Every header value that decides an allocation is checked
// against what the file can actually supply before anything large is reserved.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "bitmap_fields.h"
#include "bitmap_status.h"
#include "block_alloc.h"
#include "memory_advice.h"
#include "stream_info.h"

namespace {

// Ends a failed load: closes the stream, releases what was allocated, leaves the status.
BitmapImage* Fail(BitmapStatus status, std::FILE* stream, BitmapImage* image) {
    if (stream) std::fclose(stream);
    if (image) {
        std::free(image->palette);
        std::free(image->pixels);
        std::free(image);
    }
    SetBitmapStatus(status);
    return nullptr;
}

bool SupportedVariant(const BitmapImage& image) {
    const bool depthKnown = image.bitsPerPixel == 32 || image.bitsPerPixel == 24 || image.bitsPerPixel == 8;
    // A height of 2^31 or more is a negative (top-down) height in the file: not supported.
    const bool bottomUp = image.height < 0x80000000u;
    return depthKnown && image.compression == 0 && image.headerSize == kInfoHeaderBytes && bottomUp;
}

// Makes sure every row reachable by pixel access lies inside the pixel block: an imageSize of 0 or one
// too small for the rows is replaced by height x row size (rows padded to 4 bytes). False when that
// size does not fit the 32-bit field.
bool EnsureRowsFit(BitmapImage& image) {
    if (image.height == 0) return true;  // no pixel is addressable
    const std::uint64_t bytesPerPixel = image.bitsPerPixel / 8u;
    const std::uint64_t rowBytes = std::uint64_t{image.width} * bytesPerPixel;
    if (image.imageSize / image.height >= rowBytes) return true;
    const std::uint64_t rowSize = (rowBytes + 3u) / 4u * 4u;
    const std::uint64_t needed = rowSize * image.height;
    if (needed > 0xFFFFFFFFu) return false;
    image.imageSize = static_cast<std::uint32_t>(needed);
    return true;
}

// Reads and drops `count` bytes: a pipe cannot seek, and the reader treats every stream alike.
bool SkipBytes(std::FILE* stream, std::uint64_t count) {
    std::uint8_t sink[4096];
    while (count > 0) {
        const std::size_t chunk = count < sizeof sink ? static_cast<std::size_t>(count) : sizeof sink;
        if (std::fread(sink, 1, chunk, stream) != chunk) return false;
        count -= chunk;
    }
    return true;
}

// Where a file's colour table ends and its pixels start, as its dataOffset says.
struct BitmapLayout {
    std::uint32_t tableBytes;  // colour-table bytes in the file, whole entries only
    std::uint32_t gapBytes;    // bytes between the table (or the header) and the pixels
};

// `withTable`: whether the file carries a colour table at all. A dataOffset past the usual start of
// the pixels leaves a gap before them; one between the header and the end of a full table leaves room
// for a shorter table. A dataOffset inside the header cannot be right, and is ignored: the pixels then
// follow the header and full table.
BitmapLayout LayoutOf(std::uint32_t dataOffset, bool withTable) {
    const std::uint32_t fullTable = withTable ? kPaletteBytes : 0u;
    const std::uint32_t usualStart = kBitmapHeaderBytes + fullTable;
    if (dataOffset <= kBitmapHeaderBytes) return {fullTable, 0};
    if (dataOffset >= usualStart) return {fullTable, dataOffset - usualStart};
    const std::uint32_t room = dataOffset - kBitmapHeaderBytes;
    return {room / 4u * 4u, room % 4u};
}

// Bytes a file must still hold after its header for `layout`.
std::uint64_t BytesAfterHeader(const BitmapLayout& layout, std::uint32_t imageSize) {
    return std::uint64_t{layout.tableBytes} + layout.gapBytes + imageSize;
}

// First block for a stream of unknown length; the block then doubles only after it has been filled.
constexpr std::uint64_t kFirstUnknownBlock = 64 * 1024;

// Allocates `pixels` and fills it with up to `size` bytes, counting those that arrived in `filled`. A
// regular file was measured beforehand and is read in one request. A pipe or device cannot be
// measured, so there the block grows as bytes actually arrive: a declared size that the stream never
// supplies is never reserved.
BitmapStatus FillBlock(BitmapImage& image, std::FILE* stream, std::uint64_t size, bool lengthKnown,
                       std::uint64_t& filled) {
    std::uint64_t capacity = lengthKnown || size < kFirstUnknownBlock ? size : kFirstUnknownBlock;
    image.pixels = static_cast<std::uint8_t*>(AllocateBlock(capacity));
    if (!image.pixels) return BitmapOutOfMemory;
    // From here on every count fits size_t: none exceeds the block just allocated.
    AdviseLargeBlock(image.pixels, static_cast<std::size_t>(capacity));
    filled = std::fread(image.pixels, 1, static_cast<std::size_t>(capacity), stream);
    while (filled == capacity && capacity < size) {
        const std::uint64_t grown = std::min(size, 2 * capacity);
        auto* larger = static_cast<std::uint8_t*>(ResizeBlock(image.pixels, grown));
        if (!larger) return BitmapOutOfMemory;
        image.pixels = larger;
        capacity = grown;
        filled += std::fread(image.pixels + filled, 1, static_cast<std::size_t>(capacity - filled), stream);
    }
    return BitmapOk;
}

// Reads what follows the colour table: the gap, then imageSize bytes of pixels. A measured file skips
// the gap, known by now to be there. A stream of unknown length keeps the gap's bytes until it shows
// where the pixels are: at dataOffset when it supplies them all, else, when `usualPlace` allows it
// (the table was a whole one), right after the table, as in a measured file too short for the gap.
BitmapStatus ReadPixels(BitmapImage& image, std::FILE* stream, const BitmapLayout& layout, bool lengthKnown,
                        bool usualPlace) {
    if (lengthKnown && !SkipBytes(stream, layout.gapBytes)) return BitmapInvalidFile;
    const std::uint64_t gap = lengthKnown ? 0u : layout.gapBytes;
    const std::uint64_t size = image.imageSize;
    std::uint64_t filled = 0;
    const BitmapStatus status = FillBlock(image, stream, gap + size, lengthKnown, filled);
    if (status != BitmapOk) return status;
    if (filled == gap + size) {
        if (gap > 0) std::memmove(image.pixels, image.pixels + gap, static_cast<std::size_t>(size));
    } else if (!usualPlace || filled < size) {
        return BitmapInvalidFile;
    }
    // A block that also held the gap or bytes after the pixels keeps only the pixels.
    if (filled > size) {
        if (auto* smaller = static_cast<std::uint8_t*>(ResizeBlock(image.pixels, size))) image.pixels = smaller;
    }
    return BitmapOk;
}

}  // namespace

BitmapImage* ReadBitmapFile(const char* path) {
    if (!path) {
        SetBitmapStatus(BitmapInvalidArgument);
        return nullptr;
    }
    auto* image = static_cast<BitmapImage*>(AllocateZeroedBlock(sizeof(BitmapImage)));
    if (!image) return Fail(BitmapOutOfMemory, nullptr, nullptr);

    std::FILE* stream = OpenForReading(path);
    if (!stream) return Fail(BitmapFileNotFound, nullptr, image);
    // Opening a folder for reading succeeds on some systems; it is still not a file.
    if (QueryStream(stream).isDirectory) return Fail(BitmapFileNotFound, stream, image);

    if (ReadBitmapHeader(image, stream) != BitmapOk || image->magic != kBitmapMagic)
        return Fail(BitmapInvalidFile, stream, image);
    if (!SupportedVariant(*image)) return Fail(BitmapUnsupported, stream, image);
    if (!EnsureRowsFit(*image)) return Fail(BitmapInvalidFile, stream, image);

    const bool withTable = image->bitsPerPixel == 8;
    const BitmapLayout usual = LayoutOf(0, withTable);
    BitmapLayout layout = LayoutOf(image->dataOffset, withTable);
    const std::optional<std::uint64_t> remaining = QueryStream(stream).remainingBytes;
    // Writers that never set dataOffset leave any value there and the pixels at the usual place: a
    // file too short for its pixels at dataOffset but long enough at the usual place is such a file.
    if (remaining && *remaining < BytesAfterHeader(layout, image->imageSize)) layout = usual;
    if (remaining && *remaining < BytesAfterHeader(layout, image->imageSize))
        return Fail(BitmapInvalidFile, stream, image);

    if (withTable) {
        // Entries a shorter table does not hold stay black.
        image->palette = static_cast<std::uint8_t*>(AllocateZeroedBlock(kPaletteBytes));
        if (!image->palette) return Fail(BitmapOutOfMemory, stream, image);
        if (std::fread(image->palette, 1, layout.tableBytes, stream) != layout.tableBytes)
            return Fail(BitmapInvalidFile, stream, image);
    }
    const bool usualPlace = layout.tableBytes == usual.tableBytes;
    const BitmapStatus pixels = ReadPixels(*image, stream, layout, remaining.has_value(), usualPlace);
    if (pixels != BitmapOk) return Fail(pixels, stream, image);

    std::fclose(stream);
    SetBitmapStatus(BitmapOk);
    return image;
}
