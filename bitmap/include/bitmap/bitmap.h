// The bitmap image module: one uncompressed BMP picture (8, 24 or 32 bits per pixel) held in memory,
// free functions over it, and a module-wide last status instead of exceptions.
#pragma once

#include <cstdint>
#include <memory>

// The header fields mirror the 54-byte BMP header, in file order and with the file's widths.
struct BitmapImage {
    std::uint16_t magic;
    std::uint32_t fileSize;
    std::uint16_t reserved1;
    std::uint16_t reserved2;
    std::uint32_t dataOffset;
    std::uint32_t headerSize;
    std::uint32_t width;
    std::uint32_t height;
    std::uint16_t planes;
    std::uint16_t bitsPerPixel;
    std::uint32_t compression;
    std::uint32_t imageSize;
    std::int32_t xResolution;
    std::int32_t yResolution;
    std::int32_t coloursUsed;
    std::int32_t coloursImportant;
    // 256 entries of blue, green, red, reserved; present exactly when bitsPerPixel is 8. Entries that a
    // file's shorter table did not hold are black.
    std::uint8_t* palette;
    // imageSize bytes of pixel rows, bottom row first, each row `imageSize / height` bytes apart.
    std::uint8_t* pixels;
};

enum BitmapStatus : std::int8_t {
    BitmapOk = 0,
    BitmapGeneralError = 1,
    BitmapOutOfMemory = 2,
    BitmapIoError = 3,
    BitmapFileNotFound = 4,
    BitmapUnsupported = 5,
    BitmapInvalidFile = 6,
    BitmapInvalidArgument = 7,
    BitmapTypeMismatch = 8,
};

// Every operation below except LastBitmapStatus, BitmapStatusText and FreeBitmap(nullptr) sets the
// last status: BitmapOk on success, otherwise the code of the first failure met. Failures answer
// neutral values (nullptr, all ones, outputs untouched, image unchanged).

// The status left by the latest operation of the module; BitmapOk at program start.
BitmapStatus LastBitmapStatus();

// The constant message of the last status, or nullptr for BitmapOk and for values outside the enum.
// The text is owned by the module; never free it.
const char* BitmapStatusText();
// The same for a status kept by the caller, so that a failure can be worded after later calls of
// the module (FreeBitmap among them) have moved the last status on.
const char* BitmapStatusText(BitmapStatus status);

// Loads an uncompressed 8, 24 or 32-bit BMP file. The pixels start at the header's dataOffset when
// that lies past the header (an 8-bit file's colour table then holds the entries that fit before it,
// the rest black); a dataOffset inside the header is ignored. Answers a new image owned by the caller
// (hold it in a BitmapImagePtr, or give it back to FreeBitmap), or nullptr with the reason in the
// last status.
BitmapImage* ReadBitmapFile(const char* path);

// Makes a blank image: black pixels, and for depth 8 every pixel at index 0 of an all-black palette.
// Answers a new image owned by the caller, or nullptr.
BitmapImage* CreateBitmap(std::uint32_t width, std::uint32_t height, std::uint16_t depth);

// Saves the image as a BMP file at path ("wb": an existing file is replaced), the header as the record
// holds it and the colour table and pixels laid out as its dataOffset says, as ReadBitmapFile reads.
void WriteBitmapFile(const BitmapImage* image, const char* path);

// Releases the image and its buffers. nullptr does nothing and leaves the status alone.
void FreeBitmap(BitmapImage* image);

// The one owning handle for an image: gives it back to FreeBitmap when it goes out of scope.
// FreeBitmap leaves BitmapOk, so keep LastBitmapStatus() before the handle is released.
struct BitmapImageRelease {
    void operator()(BitmapImage* image) const noexcept { FreeBitmap(image); }
};
using BitmapImagePtr = std::unique_ptr<BitmapImage, BitmapImageRelease>;

// Size queries: the field, or all ones (0xFFFFFFFF, 0xFFFF for the depth) for no image.
std::uint32_t BitmapWidth(const BitmapImage* image);
std::uint32_t BitmapHeight(const BitmapImage* image);
std::uint16_t BitmapDepth(const BitmapImage* image);

// Pixel and palette access. Row y = 0 is the top row of the picture as displayed, x = 0 the
// leftmost column. Outputs may be nullptr; an absent output is skipped.
// GetPixelRgb on an 8-bit image answers the colour of the pixel's palette entry.
void GetPixelRgb(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t* red, std::uint8_t* green,
                 std::uint8_t* blue);
// A run of `count` pixels of row y from column x, as red, green, blue triples into `rgb` (3 x count
// bytes): the colours GetPixelRgb answers, for converting whole rows without a call per pixel.
// BitmapInvalidArgument and nothing written for no image, no output, y >= height or a run past the
// row's end.
void GetPixelRunRgb(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb);
void GetPixelIndex(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t* index);
void GetPaletteColor(const BitmapImage* image, std::uint8_t index, std::uint8_t* red, std::uint8_t* green,
                     std::uint8_t* blue);

// Setters for 24/32-bit pixels, 8-bit pixel indices and 8-bit palette entries. A failed call leaves
// the image unchanged.
void SetPixelRgb(BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t red, std::uint8_t green,
                 std::uint8_t blue);
void SetPixelIndex(BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t index);
void SetPaletteColor(BitmapImage* image, std::uint8_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
