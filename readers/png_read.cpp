// PNG decoding with libspng: colours as stored (no gamma), 16-bit channels rounded to 8 bits, every
// kind of transparency laid over the background, interlaced pictures placed pass by pass.
#include "png_read.h"

#include <spng.h>

#include "png_chunk_filter.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

// libspng keeps the chunks it is given and inflates compressed text; the chunk filter passes it
// only the critical chunks and tRNS, which these limits bound in any case (IDAT is streamed, not held).
constexpr std::size_t kLargestChunk = 1u << 20;
constexpr std::size_t kChunkCache = 4u << 20;

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

// Where the pixels of each interlace pass lie within a row (pass 0 also stands for no interlacing).
constexpr std::uint32_t kPassFirstColumn[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr std::uint32_t kPassColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};

std::uint8_t Round16(std::uint16_t value) { return static_cast<std::uint8_t>((value * 255u + 32767u) / 65535u); }

// Places the pixels one decoded row carries (RGBA, 8 or 16 bits a channel) into the picture's row.
void PlaceRow(const std::uint8_t* decoded, bool deep, bool interlaced, int pass, std::uint32_t width,
              RgbColour background, std::uint8_t* row) {
    const std::uint32_t first = interlaced ? kPassFirstColumn[pass] : 0;
    const std::uint32_t step = interlaced ? kPassColumnStep[pass] : 1;
    for (std::uint32_t x = first; x < width; x += step) {
        if (deep) {
            const auto* channels = reinterpret_cast<const std::uint16_t*>(decoded) + 4u * std::size_t{x};
            PutPixel(row + 3u * std::size_t{x}, Round16(channels[0]), Round16(channels[1]), Round16(channels[2]),
                     Round16(channels[3]), background);
        } else {
            const std::uint8_t* channels = decoded + 4u * std::size_t{x};
            PutPixel(row + 3u * std::size_t{x}, channels[0], channels[1], channels[2], channels[3], background);
        }
    }
}

LoadedPicture Failed(int error, BitmapStatus moduleStatus) {
    if (error == SPNG_EMEM) return Refused(LoadFailure::OutOfMemory, moduleStatus, {});
    if (error == SPNG_IO_EOF)
        return Refused(LoadFailure::EndsEarly, moduleStatus, "the PNG stops before the end of its pixel data");
    if (error == SPNG_ECHUNK_LIMITS)
        return Refused(
            LoadFailure::Unreadable, moduleStatus,
            "PNG: its palette and transparency chunks hold more than " + std::to_string(kChunkCache >> 20) + " MiB");
    return Refused(LoadFailure::Unreadable, moduleStatus, std::string("PNG: ") + spng_strerror(error));
}

// Decodes every row of the picture; the answer is libspng's error, 0 when the pixels are all there.
int DecodeRows(spng_ctx* context, const spng_ihdr& header, bool deep, RgbColour background, RgbPicture& picture) {
    const int format = deep ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
    // Gamma is left out on purpose: colours are converted as stored.
    int error = spng_decode_image(context, nullptr, 0, format, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE);
    if (error) return error;
    std::vector<std::uint8_t> decoded(std::size_t{header.width} * (deep ? 8u : 4u));
    for (;;) {
        spng_row_info info{};
        error = spng_get_row_info(context, &info);
        if (error == SPNG_EOI) return 0;
        if (error) return error;
        error = spng_decode_row(context, decoded.data(), decoded.size());
        if (error && error != SPNG_EOI) return error;
        if (info.row_num >= header.height || info.pass < 0 || info.pass > 6) return SPNG_EINTERNAL;
        PlaceRow(decoded.data(), deep, header.interlace_method != 0, info.pass, header.width, background,
                 picture.Row(info.row_num));
        if (error == SPNG_EOI) return 0;
    }
}

// Whether the file is cut inside its closing IEND chunk, which holds no pixel: every chunk before it
// whole, and what follows the last of them the start of an IEND chunk.
bool CutInsideEnd(std::FILE* file) {
    static constexpr std::uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    if (std::fseek(file, 8, SEEK_SET) != 0) return false;
    for (;;) {
        std::uint8_t head[12] = {};
        const std::size_t got = std::fread(head, 1, sizeof head, file);
        if (got < sizeof head) return got > 0 && std::memcmp(head, kEnd, got) == 0;
        if (std::memcmp(head, kEnd, 8) == 0) return false;  // a whole IEND header: not cut inside it
        const std::uint32_t length =
            std::uint32_t{head[0]} << 24 | std::uint32_t{head[1]} << 16 | std::uint32_t{head[2]} << 8 | head[3];
        // The 12 bytes read are the chunk's length, type and the first 4 of its data and CRC.
        if (std::fseek(file, static_cast<long>(length), SEEK_CUR) != 0) return false;
    }
}

// After the last row: the chunks up to IEND, so that a damaged last pixel chunk is still refused.
int DecodeEnd(spng_ctx* context, std::FILE* file) {
    const int error = spng_decode_chunks(context);
    if (error == SPNG_IO_EOF && CutInsideEnd(file)) return 0;
    return error;
}

}  // namespace

LoadedPicture ReadPng(std::FILE* file, BitmapStatus moduleStatus, const DecodeSettings& settings) {
    const Context context(spng_ctx_new(0));
    if (!context) return Refused(LoadFailure::OutOfMemory, moduleStatus, {});
    PngChunkFilter filter(file);
    spng_set_png_stream(context.get(), PngChunkFilter::Read, &filter);
    // Sides are judged below, in the program's own words.
    spng_set_image_limits(context.get(), 0x7FFFFFFF, 0x7FFFFFFF);
    spng_set_chunk_limits(context.get(), kLargestChunk, kChunkCache);
    // As other readers do: a damaged ancillary chunk is dropped, a damaged critical one refuses the file.
    spng_set_crc_action(context.get(), SPNG_CRC_ERROR, SPNG_CRC_DISCARD);
    spng_ihdr header{};
    if (const int error = spng_get_ihdr(context.get(), &header)) return Failed(error, moduleStatus);

    const bool deep = header.bit_depth == 16;
    const std::uint64_t rowBytes = std::uint64_t{header.width} * (deep ? 8u : 4u);
    LoadedPicture checked = CheckSides(header.width, header.height, rowBytes, moduleStatus, settings);
    if (checked.failure != LoadFailure::None) return checked;
    std::unique_ptr<RgbPicture> picture = RgbPicture::Create(header.width, header.height);
    if (!picture) return Refused(LoadFailure::OutOfMemory, moduleStatus, {});
    if (const int error = DecodeRows(context.get(), header, deep, settings.background, *picture))
        return Failed(error, moduleStatus);
    if (const int error = DecodeEnd(context.get(), file))
        return error == SPNG_IO_EOF ? Refused(LoadFailure::EndsEarly, moduleStatus,
                                              "the PNG stops after its pixel data, before its closing IEND chunk")
                                    : Failed(error, moduleStatus);
    return Loaded(std::move(picture), moduleStatus);
}
