// The pixels of the BMPs described by bmp_layout.h: each field of n bits scaled to 8 as
// v * 255 / (2^n - 1), rounded; palette indices looked up; alpha laid over the background.
#include "bmp_read.h"

#include <array>
#include <vector>

#include "bmp_layout.h"

namespace {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

std::uint8_t Scale(std::uint32_t pixel, const BitField& field) {
    const std::uint64_t value = (pixel & field.mask) >> field.shift;
    const std::uint64_t largest = (std::uint64_t{1} << field.bits) - 1u;
    return static_cast<std::uint8_t>((value * 255u + largest / 2u) / largest);
}

void DecodeFieldRow(const std::uint8_t* bytes, const BmpLayout& layout, RgbColour background, std::uint8_t* row) {
    const std::uint32_t pixelBytes = layout.depth / 8u;
    const BitField* fields = layout.fields;
    for (std::uint32_t x = 0; x < layout.width; ++x, bytes += pixelBytes, row += 3) {
        std::uint32_t pixel = 0;
        for (std::uint32_t i = 0; i < pixelBytes; ++i) pixel |= std::uint32_t{bytes[i]} << (8u * i);
        const auto channel = [pixel](const BitField& field) -> std::uint8_t {
            return field.bits == 0 ? 0 : Scale(pixel, field);
        };
        const std::uint8_t alpha = fields[3].bits == 0 ? 255 : Scale(pixel, fields[3]);
        PutPixel(row, channel(fields[0]), channel(fields[1]), channel(fields[2]), alpha, background);
    }
}

void DecodeIndexRow(const std::uint8_t* bytes, const BmpLayout& layout, const std::vector<Rgb>& palette,
                    std::uint8_t* row) {
    const std::uint32_t perByte = 8u / layout.depth;
    const std::uint32_t mask = (1u << layout.depth) - 1u;
    for (std::uint32_t x = 0; x < layout.width; ++x, row += 3) {
        // The leftmost pixel is in the highest bits.
        const std::uint32_t shift = (perByte - 1u - x % perByte) * layout.depth;
        const std::uint32_t index = (bytes[x / perByte] >> shift) & mask;
        const Rgb colour = index < palette.size() ? palette[index] : Rgb{};
        row[0] = colour.red;
        row[1] = colour.green;
        row[2] = colour.blue;
    }
}

// Entries are blue, green, red (and one byte unused in the four-byte ones).
bool ReadPalette(std::FILE* file, const BmpLayout& layout, std::vector<Rgb>& palette) {
    if (std::fseek(file, static_cast<long>(layout.paletteStart), SEEK_SET) != 0) return false;
    palette.resize(layout.paletteEntries);
    for (Rgb& entry : palette) {
        std::array<std::uint8_t, 4> bytes{};
        if (std::fread(bytes.data(), 1, layout.paletteEntryBytes, file) != layout.paletteEntryBytes) return false;
        entry = Rgb{bytes[2], bytes[1], bytes[0]};
    }
    return true;
}

LoadedPicture DecodePixels(std::FILE* file, const BmpLayout& layout, BitmapStatus moduleStatus,
                           const DecodeSettings& settings) {
    std::vector<Rgb> palette;
    if (layout.depth <= 8 && !ReadPalette(file, layout, palette))
        return Refused(LoadFailure::EndsEarly, moduleStatus, "its palette is cut off");
    std::unique_ptr<RgbPicture> picture = RgbPicture::Create(layout.width, layout.height);
    if (!picture) return Refused(LoadFailure::OutOfMemory, moduleStatus, {});
    std::vector<std::uint8_t> bytes(layout.rowBytes);
    if (std::fseek(file, static_cast<long>(layout.dataOffset), SEEK_SET) != 0)
        return Refused(LoadFailure::EndsEarly, moduleStatus, "its pixel data is cut off");
    for (std::uint32_t stored = 0; stored < layout.height; ++stored) {
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
            return Refused(LoadFailure::EndsEarly, moduleStatus, "its pixel data is cut off");
        std::uint8_t* row = picture->Row(layout.topDown ? stored : layout.height - 1u - stored);
        if (layout.depth <= 8)
            DecodeIndexRow(bytes.data(), layout, palette, row);
        else
            DecodeFieldRow(bytes.data(), layout, settings.background, row);
    }
    return Loaded(std::move(picture), moduleStatus);
}

}  // namespace

std::optional<LoadedPicture> ReadBmp(std::FILE* file, std::uint64_t length, BitmapStatus moduleStatus,
                                     const DecodeSettings& settings) {
    const auto read = ReadBmpLayout(file, length);
    if (std::holds_alternative<NotMine>(read)) return std::nullopt;
    if (const auto* refusal = std::get_if<BmpRefusal>(&read))
        return Refused(refusal->endsEarly ? LoadFailure::EndsEarly : LoadFailure::Unreadable, moduleStatus,
                       refusal->reason);
    const BmpLayout& layout = std::get<BmpLayout>(read);
    // The palette and one row of the file are held beside the picture.
    LoadedPicture checked =
        CheckSides(layout.width, layout.height, layout.rowBytes + 256u * sizeof(Rgb), moduleStatus, settings);
    if (checked.failure != LoadFailure::None) return checked;
    return DecodePixels(file, layout, moduleStatus, settings);
}
