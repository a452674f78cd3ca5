/* vandrel/decode.h: decodes Vandrel's compressed pixel streams one row at a time, for firmware.
 *
 * One file, C99 and C++ alike, no allocation, nothing beyond <stdint.h> and <stddef.h>. Declarations
 * always; the implementation in the one source file that defines VANDREL_DECODE_IMPLEMENTATION before
 * including it:
 *
 *     #define VANDREL_DECODE_IMPLEMENTATION
 *     #include "vandrel/decode.h"
 *
 *     struct vandrel_decoder d;
 *     static uint8_t row[480 * 3];
 *     if (vandrel_decode_open(&d, logo, sizeof logo) == 0 &&
 *         (size_t)d.width * d.bytes_per_pixel <= sizeof row) {
 *         for (uint16_t y = 0; y < d.height; ++y) {
 *             if (vandrel_decode_row(&d, row) != 0) break;
 *             push_row_to_display(y, row, d.width);
 *         }
 *     }
 *
 * Rows may repeat pixels of the row above, so every call for one picture must be given the SAME row
 * buffer, holding what the previous call left in it. Every function answers 0 or a negative
 * VANDREL_DECODE_E_* code, which vandrel_decode_error() words. Whatever the input, the decoder reads
 * no byte past `size` and writes no byte past width * bytes_per_pixel of the row.
 */
#ifndef VANDREL_DECODE_H
#define VANDREL_DECODE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VANDREL_DECODE_OK 0
#define VANDREL_DECODE_E_ARGUMENT (-1) /* a null decoder, data, reader or row */
#define VANDREL_DECODE_E_MAGIC (-2)    /* the bytes are not a compressed stream */
#define VANDREL_DECODE_E_VERSION (-3)  /* a later version of the format */
#define VANDREL_DECODE_E_LAYOUT (-4)   /* a pixel layout or wiring this decoder does not know */
#define VANDREL_DECODE_E_CUT (-5)      /* the stream ends before the picture does */
#define VANDREL_DECODE_E_CORRUPT (-6)  /* an operation the picture cannot hold */
#define VANDREL_DECODE_E_DONE (-7)     /* every row has been decoded already */

/* The `layout` member: the pixel bytes each row holds. */
#define VANDREL_LAYOUT_RGB666 0      /* three bytes, each channel's top six bits moved to the bottom */
#define VANDREL_LAYOUT_RGB666_HIGH 1 /* three bytes, each channel's top six bits kept in place */
#define VANDREL_LAYOUT_RGB565 2      /* a 16-bit value (r >> 3) << 11 | (g >> 2) << 5 | b >> 3, high byte first */
#define VANDREL_LAYOUT_RGB565_LE 3   /* the same value, low byte first */

/* The stream's header: "VRLE", the format's version, the layout, the wiring (1: blue first), then the
 * height and the width, each high byte first. */
#define VANDREL_STREAM_MAGIC "VRLE"
#define VANDREL_STREAM_VERSION 1
#define VANDREL_STREAM_HEADER_SIZE 11

/* Bytes taken from a reader at a time. */
#ifndef VANDREL_DECODE_BUFFER_SIZE
#define VANDREL_DECODE_BUFFER_SIZE 32
#endif

struct vandrel_decoder {
    /* After a successful open: */
    uint16_t width;
    uint16_t height;
    uint8_t bytes_per_pixel; /* 3 or 2 */
    uint8_t layout;          /* VANDREL_LAYOUT_* */
    uint8_t blue_first;      /* 1: blue takes red's place, for panels wired blue first */
    /* The decoder's own; not to be touched. */
    uint8_t op_;
    uint8_t pixel_[3];
    int8_t status_;
    uint16_t row_;
    uint16_t remaining_;
    const uint8_t* next_;
    const uint8_t* end_;
    size_t (*read_)(void* context, uint8_t* buffer, size_t count);
    void* context_;
    uint8_t buffer_[VANDREL_DECODE_BUFFER_SIZE];
};

/* Opens a stream held in memory (flash): `size` bytes at `data`. */
int vandrel_decode_open(struct vandrel_decoder* d, const uint8_t* data, size_t size);
/* Opens a stream read as it goes: `read` puts up to `count` bytes at `buffer` and answers how many, 0
 * at the end of the stream or on failure. */
int vandrel_decode_open_reader(struct vandrel_decoder* d, size_t (*read)(void* context, uint8_t* buffer, size_t count),
                               void* context);
/* Writes the next row, top row first: exactly width * bytes_per_pixel bytes. */
int vandrel_decode_row(struct vandrel_decoder* d, uint8_t* row);
/* A short English text for a code any function answered. */
const char* vandrel_decode_error(int code);

#ifdef __cplusplus
}
#endif

#endif /* VANDREL_DECODE_H */

#ifdef VANDREL_DECODE_IMPLEMENTATION
#ifndef VANDREL_DECODE_IMPLEMENTED
#define VANDREL_DECODE_IMPLEMENTED

#ifdef __cplusplus
extern "C" {
#endif

/* Operations, as the byte that starts them says: 0x00-0x7F a literal, 0x80-0xFE a short run, 0xFF an
 * extended operation (a copy from the row above, or a long run). */
enum { VANDREL_OP_LITERAL, VANDREL_OP_RUN, VANDREL_OP_COPY };

static int vandrel_decode_byte_(struct vandrel_decoder* d, uint8_t* out) {
    if (d->next_ == d->end_) {
        size_t got;
        if (!d->read_) return VANDREL_DECODE_E_CUT;
        got = d->read_(d->context_, d->buffer_, sizeof d->buffer_);
        if (got == 0 || got > sizeof d->buffer_) return VANDREL_DECODE_E_CUT;
        d->next_ = d->buffer_;
        d->end_ = d->buffer_ + got;
    }
    *out = *d->next_++;
    return VANDREL_DECODE_OK;
}

static int vandrel_decode_header_(struct vandrel_decoder* d) {
    uint8_t h[VANDREL_STREAM_HEADER_SIZE];
    unsigned i;
    int e;
    for (i = 0; i < sizeof h; ++i)
        if ((e = vandrel_decode_byte_(d, &h[i])) != 0) return e;
    for (i = 0; i < 4; ++i)
        if (h[i] != (uint8_t)VANDREL_STREAM_MAGIC[i]) return VANDREL_DECODE_E_MAGIC;
    if (h[4] != VANDREL_STREAM_VERSION) return VANDREL_DECODE_E_VERSION;
    if (h[5] > VANDREL_LAYOUT_RGB565_LE || h[6] > 1) return VANDREL_DECODE_E_LAYOUT;
    d->layout = h[5];
    d->blue_first = h[6];
    d->bytes_per_pixel = (uint8_t)(h[5] < VANDREL_LAYOUT_RGB565 ? 3 : 2);
    d->height = (uint16_t)(h[7] << 8 | h[8]);
    d->width = (uint16_t)(h[9] << 8 | h[10]);
    return VANDREL_DECODE_OK;
}

/* Clears the state, reads the header and leaves a failed decoder with no rows to give. */
static int vandrel_decode_start_(struct vandrel_decoder* d) {
    int e;
    d->width = d->height = d->row_ = d->remaining_ = 0;
    d->bytes_per_pixel = d->layout = d->blue_first = d->op_ = 0;
    d->status_ = 0;
    e = vandrel_decode_header_(d);
    if (e != 0) {
        d->width = d->height = 0;
        d->status_ = (int8_t)e;
    }
    return e;
}

int vandrel_decode_open(struct vandrel_decoder* d, const uint8_t* data, size_t size) {
    if (!d) return VANDREL_DECODE_E_ARGUMENT;
    d->read_ = 0;
    d->context_ = 0;
    d->next_ = d->end_ = data;
    if (data) d->end_ = data + size;
    return vandrel_decode_start_(d);
}

int vandrel_decode_open_reader(struct vandrel_decoder* d, size_t (*read)(void* context, uint8_t* buffer, size_t count),
                               void* context) {
    if (!d || !read) return VANDREL_DECODE_E_ARGUMENT;
    d->read_ = read;
    d->context_ = context;
    d->next_ = d->end_ = d->buffer_;
    return vandrel_decode_start_(d);
}

/* Reads the operation that covers the next pixel, `left` pixels before the picture's end. */
static int vandrel_decode_op_(struct vandrel_decoder* d, uint32_t left) {
    uint8_t b, c = 0;
    uint32_t count;
    unsigned i;
    int e;
    if ((e = vandrel_decode_byte_(d, &b)) != 0) return e;
    if (b < 0x80) {
        d->op_ = VANDREL_OP_LITERAL;
        count = b + 1u;
    } else if (b < 0xFF) {
        d->op_ = VANDREL_OP_RUN;
        count = b - 0x7Eu;
    } else {
        if ((e = vandrel_decode_byte_(d, &b)) != 0) return e;
        if (b >= 0x80 && (e = vandrel_decode_byte_(d, &c)) != 0) return e;
        d->op_ = b >= 0xC0 ? VANDREL_OP_RUN : VANDREL_OP_COPY;
        count = b < 0x80 ? b + 1u : ((b & 0x3Fu) << 8 | c) + 1u;
    }
    if (count > left || (d->op_ == VANDREL_OP_COPY && d->row_ == 0)) return VANDREL_DECODE_E_CORRUPT;
    if (d->op_ == VANDREL_OP_RUN)
        for (i = 0; i < d->bytes_per_pixel; ++i)
            if ((e = vandrel_decode_byte_(d, &d->pixel_[i])) != 0) return e;
    d->remaining_ = (uint16_t)count;
    return VANDREL_DECODE_OK;
}

static int vandrel_decode_pixels_(struct vandrel_decoder* d, uint8_t* row) {
    const unsigned bpp = d->bytes_per_pixel;
    const size_t end = (size_t)d->width * bpp;
    size_t x;
    unsigned i;
    int e;
    for (x = 0; x < end; x += bpp) {
        if (d->remaining_ == 0) {
            const uint32_t left = (uint32_t)(d->height - d->row_) * d->width - (uint32_t)(x / bpp);
            if ((e = vandrel_decode_op_(d, left)) != 0) return e;
        }
        /* A copy leaves the row as the previous call left it: the row above. */
        for (i = 0; i < bpp && d->op_ != VANDREL_OP_COPY; ++i) {
            if (d->op_ == VANDREL_OP_RUN)
                row[x + i] = d->pixel_[i];
            else if ((e = vandrel_decode_byte_(d, &row[x + i])) != 0)
                return e;
        }
        --d->remaining_;
    }
    return VANDREL_DECODE_OK;
}

int vandrel_decode_row(struct vandrel_decoder* d, uint8_t* row) {
    int e;
    if (!d || !row) return VANDREL_DECODE_E_ARGUMENT;
    if (d->status_ != 0) return d->status_;
    if (d->row_ >= d->height) return VANDREL_DECODE_E_DONE;
    e = vandrel_decode_pixels_(d, row);
    if (e != 0) {
        d->status_ = (int8_t)e;
        return e;
    }
    ++d->row_;
    return VANDREL_DECODE_OK;
}

const char* vandrel_decode_error(int code) {
    switch (code) {
    case VANDREL_DECODE_OK: return "no error";
    case VANDREL_DECODE_E_ARGUMENT: return "a null decoder, data, reader or row";
    case VANDREL_DECODE_E_MAGIC: return "not a compressed Vandrel stream";
    case VANDREL_DECODE_E_VERSION: return "a later version of the compressed stream";
    case VANDREL_DECODE_E_LAYOUT: return "a pixel layout or wiring this decoder does not know";
    case VANDREL_DECODE_E_CUT: return "the stream ends before the picture does";
    case VANDREL_DECODE_E_CORRUPT: return "the stream is corrupt";
    case VANDREL_DECODE_E_DONE: return "every row has been decoded";
    default: return "an unknown code";
    }
}

#ifdef __cplusplus
}
#endif

#endif /* VANDREL_DECODE_IMPLEMENTED */
#endif /* VANDREL_DECODE_IMPLEMENTATION */
