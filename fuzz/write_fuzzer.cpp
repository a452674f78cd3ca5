// Fuzz target for the write side. The bytes are a small script: create an image of bounded size and
// any depth, change pixels, palette entries and carried header fields, save it and read it back. A
// model kept beside the image says what every status, header field and byte must be.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "fuzz_check.h"
#include "memory_file.h"

namespace {

// Script bytes are consumed in order; past the end every byte reads as 0 and the script stops.
class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
        return value;
    }
    // A coordinate for a side of `size`: mostly inside, sometimes just past the end or far beyond.
    std::uint32_t Coordinate(std::uint32_t size) {
        const std::uint8_t b = Byte();
        if (b == 0xFF) return 0xFFFFFFFFu;
        return b % (size + 2);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// What the image must hold, worked out independently of the module.
struct Model {
    BitmapImage header{};  // the sixteen fields only; the buffers stay null
    std::size_t rowSize = 0;
    std::vector<std::uint8_t> palette;
    std::vector<std::uint8_t> pixels;

    Model(std::uint32_t width, std::uint32_t height, std::uint16_t depth) {
        rowSize = (std::size_t{width} * (depth / 8u) + 3u) / 4u * 4u;
        const std::size_t paletteBytes = depth == 8 ? 1024u : 0u;
        header.magic = 0x4D42;
        header.imageSize = static_cast<std::uint32_t>(rowSize * height);
        header.fileSize = static_cast<std::uint32_t>(54u + paletteBytes + header.imageSize);
        header.dataOffset = static_cast<std::uint32_t>(54u + paletteBytes);
        header.headerSize = 40;
        header.width = width;
        header.height = height;
        header.planes = 1;
        header.bitsPerPixel = depth;
        palette.assign(paletteBytes, 0);
        pixels.assign(header.imageSize, 0);
    }

    // A saved file is the header, the whole table and the pixels back to back, whatever dataOffset
    // the record holds; the file's dataOffset says where the pixels are.
    std::uint32_t PixelStart() const { return static_cast<std::uint32_t>(54u + palette.size()); }

    // The image as it must read back from its saved file.
    Model Reloaded() const {
        Model reloaded = *this;
        reloaded.header.dataOffset = PixelStart();
        return reloaded;
    }

    std::uint8_t* Pixel(std::uint32_t x, std::uint32_t y) {
        return &pixels[(header.height - 1u - y) * rowSize + x * std::size_t{header.bitsPerPixel / 8u}];
    }

    // The file the writer must produce, byte for byte.
    std::string File() const {
        std::string file;
        auto put = [&file](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) file.push_back(static_cast<char>(value >> (8 * i)));
        };
        const BitmapImage& h = header;
        put(h.magic, 2), put(h.fileSize, 4), put(h.reserved1, 2), put(h.reserved2, 2);
        put(PixelStart(), 4), put(h.headerSize, 4), put(h.width, 4), put(h.height, 4);
        put(h.planes, 2), put(h.bitsPerPixel, 2), put(h.compression, 4), put(h.imageSize, 4);
        put(static_cast<std::uint32_t>(h.xResolution), 4), put(static_cast<std::uint32_t>(h.yResolution), 4);
        put(static_cast<std::uint32_t>(h.coloursUsed), 4), put(static_cast<std::uint32_t>(h.coloursImportant), 4);
        file.append(palette.begin(), palette.end());
        file.append(pixels.begin(), pixels.end());
        return file;
    }
};

void CheckFields(const BitmapImage& image, const BitmapImage& expected) {
    FUZZ_CHECK(image.magic == expected.magic);
    FUZZ_CHECK(image.fileSize == expected.fileSize);
    FUZZ_CHECK(image.reserved1 == expected.reserved1);
    FUZZ_CHECK(image.reserved2 == expected.reserved2);
    FUZZ_CHECK(image.dataOffset == expected.dataOffset);
    FUZZ_CHECK(image.headerSize == expected.headerSize);
    FUZZ_CHECK(image.width == expected.width);
    FUZZ_CHECK(image.height == expected.height);
    FUZZ_CHECK(image.planes == expected.planes);
    FUZZ_CHECK(image.bitsPerPixel == expected.bitsPerPixel);
    FUZZ_CHECK(image.compression == expected.compression);
    FUZZ_CHECK(image.imageSize == expected.imageSize);
    FUZZ_CHECK(image.xResolution == expected.xResolution);
    FUZZ_CHECK(image.yResolution == expected.yResolution);
    FUZZ_CHECK(image.coloursUsed == expected.coloursUsed);
    FUZZ_CHECK(image.coloursImportant == expected.coloursImportant);
}

void CheckBuffers(const BitmapImage& image, const Model& model) {
    if (model.palette.empty()) {
        FUZZ_CHECK(image.palette == nullptr);
    } else {
        FUZZ_CHECK(image.palette != nullptr);
        FUZZ_CHECK(std::memcmp(image.palette, model.palette.data(), model.palette.size()) == 0);
    }
    FUZZ_CHECK(std::memcmp(image.pixels, model.pixels.data(), model.pixels.size()) == 0);
}

// The carried header fields a caller may change directly in the record; they must survive a save, in
// the record, and all but dataOffset in the file too.
void SetCarriedField(BitmapImage& image, Model& model, std::uint8_t which, std::uint32_t value) {
    const auto v16 = static_cast<std::uint16_t>(value);
    const auto s32 = static_cast<std::int32_t>(value);
    switch (which % 9) {
    case 0: image.fileSize = model.header.fileSize = value; break;
    case 1: image.reserved1 = model.header.reserved1 = v16; break;
    case 2: image.reserved2 = model.header.reserved2 = v16; break;
    case 3: image.dataOffset = model.header.dataOffset = value; break;
    case 4: image.planes = model.header.planes = v16; break;
    case 5: image.xResolution = model.header.xResolution = s32; break;
    case 6: image.yResolution = model.header.yResolution = s32; break;
    case 7: image.coloursUsed = model.header.coloursUsed = s32; break;
    default: image.coloursImportant = model.header.coloursImportant = s32; break;
    }
}

// Saves, compares the file with the model's bytes, reads it back and compares the loaded image.
void SaveAndReload(const BitmapImage& image, const Model& model) {
    static MemoryFile file;
    WriteBitmapFile(&image, file.path());
    FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
    FUZZ_CHECK(file.Contents() == model.File());
    FUZZ_CHECK(image.dataOffset == model.header.dataOffset);

    const BitmapImagePtr loaded(ReadBitmapFile(file.path()));
    FUZZ_CHECK(loaded != nullptr && LastBitmapStatus() == BitmapOk);
    const Model reloaded = model.Reloaded();
    CheckFields(*loaded, reloaded.header);
    CheckBuffers(*loaded, reloaded);
}

std::uint16_t PickDepth(Script& script) {
    const std::uint8_t choice = script.Byte();
    switch (choice % 4) {
    case 0: return 8;
    case 1: return 24;
    case 2: return 32;
    default: return static_cast<std::uint16_t>(choice / 4u);  // mostly unsupported depths
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Script script(data, size);
    const std::uint16_t depth = PickDepth(script);
    // Sides up to 63 keep each run cheap; 0 must be refused.
    const std::uint32_t width = script.Byte() % 64u;
    const std::uint32_t height = script.Byte() % 64u;

    const BitmapImagePtr owned(CreateBitmap(width, height, depth));
    BitmapImage* const image = owned.get();
    if (width == 0 || height == 0) {
        FUZZ_CHECK(image == nullptr && LastBitmapStatus() == BitmapInvalidArgument);
        return 0;
    }
    if (depth != 8 && depth != 24 && depth != 32) {
        FUZZ_CHECK(image == nullptr && LastBitmapStatus() == BitmapUnsupported);
        return 0;
    }
    FUZZ_CHECK(image != nullptr && LastBitmapStatus() == BitmapOk);
    Model model(width, height, depth);
    CheckFields(*image, model.header);
    CheckBuffers(*image, model);

    const bool indexed = depth == 8;
    while (!script.Done()) {
        const std::uint8_t op = script.Byte();
        switch (op % 6) {
        case 0: {  // SetPixelRgb
            const std::uint32_t x = script.Coordinate(width), y = script.Coordinate(height);
            const std::uint8_t r = script.Byte(), g = script.Byte(), b = script.Byte();
            SetPixelRgb(image, x, y, r, g, b);
            if (x >= width || y >= height) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
            } else if (indexed) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapTypeMismatch);
            } else {
                FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
                std::uint8_t* pixel = model.Pixel(x, y);
                pixel[0] = b, pixel[1] = g, pixel[2] = r;
            }
            break;
        }
        case 1: {  // SetPixelIndex
            const std::uint32_t x = script.Coordinate(width), y = script.Coordinate(height);
            const std::uint8_t index = script.Byte();
            SetPixelIndex(image, x, y, index);
            if (x >= width || y >= height) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
            } else if (!indexed) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapTypeMismatch);
            } else {
                FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
                *model.Pixel(x, y) = index;
            }
            break;
        }
        case 2: {  // SetPaletteColor
            const std::uint8_t index = script.Byte();
            const std::uint8_t r = script.Byte(), g = script.Byte(), b = script.Byte();
            SetPaletteColor(image, index, r, g, b);
            if (!indexed) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapTypeMismatch);
            } else {
                FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
                std::uint8_t* entry = &model.palette[4u * index];
                entry[0] = b, entry[1] = g, entry[2] = r;
            }
            break;
        }
        case 3: {  // a carried header field
            const std::uint8_t which = script.Byte();
            SetCarriedField(*image, model, which, script.Word());
            break;
        }
        case 4: {  // read one pixel back
            const std::uint32_t x = script.Coordinate(width), y = script.Coordinate(height);
            std::uint8_t rgb[3] = {7, 7, 7};
            GetPixelRgb(image, x, y, &rgb[0], &rgb[1], &rgb[2]);
            if (x >= width || y >= height) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
                FUZZ_CHECK(rgb[0] == 7 && rgb[1] == 7 && rgb[2] == 7);
                break;
            }
            FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
            const std::uint8_t* colour = model.Pixel(x, y);
            if (indexed) colour = &model.palette[4u * *colour];
            FUZZ_CHECK(rgb[0] == colour[2] && rgb[1] == colour[1] && rgb[2] == colour[0]);
            break;
        }
        default: SaveAndReload(*image, model); break;
        }
    }
    CheckBuffers(*image, model);
    SaveAndReload(*image, model);
    WriteBitmapFile(image, nullptr);
    FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
    return 0;
}
