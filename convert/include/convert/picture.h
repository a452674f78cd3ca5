// A picture as the conversion reads it: its size and the colours of its pixels, a run of a row at a
// time. Pictures come from the bitmap module or, on the command line, from other decoders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bitmap/bitmap.h"

class Picture {
public:
    virtual ~Picture() = default;

    virtual std::uint32_t Width() const = 0;
    virtual std::uint32_t Height() const = 0;
    // Red, green, blue of `count` pixels of row y (0 is the top row) from column x, into `rgb`
    // (3 x count bytes). Callers keep x + count <= Width() and y < Height().
    virtual void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const = 0;
};

// A picture held by the bitmap module, either owned or viewed (the image must then outlive the view).
class BitmapPicture final : public Picture {
public:
    explicit BitmapPicture(BitmapImagePtr image);
    explicit BitmapPicture(const BitmapImage& image);

    std::uint32_t Width() const override;
    std::uint32_t Height() const override;
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override;

private:
    BitmapImagePtr owned_;
    const BitmapImage* image_;
};

// Why a picture could not be loaded, and what is known of it.
enum class LoadFailure {
    None,
    // Neither the bitmap module nor any other decoder could read it: see the facts' moduleStatus and
    // decoderReason.
    Unreadable,
    // Its sides were known before decoding and are too large to convert.
    TooLarge,
    // Decoding it would hold more than the loader's memory limit: see memoryNeeded and memoryLimit.
    OverMemoryLimit,
    // The file stops before the data its own header promises: see decoderReason.
    EndsEarly,
    // Memory ran out while decoding it.
    OutOfMemory,
};

// The size prefix holds each side in 16 bits; a larger picture cannot be described truthfully.
inline constexpr std::uint32_t kLargestSide = 0xFFFF;

// The one rule for a picture's sides, for every loader and the conversion alike.
constexpr bool SidesFitSizePrefix(std::uint32_t width, std::uint32_t height) {
    return width <= kLargestSide && height <= kLargestSide;
}

// What is known of a picture, loaded or not: the loader finds it out and the conversion's outcome
// carries it on to the front ends' words.
struct PictureFacts {
    // Bits per pixel as the file stores them; 0 when the picture did not come from the bitmap module.
    std::uint16_t depth = 0;
    // Sides, when known (always on success, and for TooLarge).
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The bitmap module's answer to the file (BitmapOk when it loaded it).
    BitmapStatus moduleStatus = BitmapOk;
    // Another decoder's reason for refusing the file; empty when none was asked.
    std::string decoderReason;
    // OverMemoryLimit only: bytes the decoded picture would hold (0 when the decoder could not say
    // beforehand), and the limit it met.
    std::uint64_t memoryNeeded = 0;
    std::uint64_t memoryLimit = 0;
};

struct LoadedPicture {
    std::unique_ptr<Picture> picture;  // nullptr unless failure is None
    LoadFailure failure = LoadFailure::Unreadable;
    PictureFacts facts;
};

// Where pictures come from. The window reads through the bitmap module alone; the command line
// supplies a loader that also asks other decoders.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual LoadedPicture Load(const std::string& path) const = 0;
};

// Loads through the bitmap module alone.
LoadedPicture LoadWithBitmapModule(const std::string& path);
