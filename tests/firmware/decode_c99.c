/* The decoder compiled as the C99 it promises to be (warnings are errors here), decoding one stream. */
#define VANDREL_DECODE_IMPLEMENTATION
#include "vandrel/decode.h"

int main(void) {
    static const uint8_t stream[] = {'V', 'R', 'L', 'E', 1, 2, 0, 0, 1, 0, 3, 0x81, 0x12, 0x34};
    struct vandrel_decoder d;
    uint8_t row[6];
    if (vandrel_decode_open(&d, stream, sizeof stream) != 0 || d.width != 3 || d.bytes_per_pixel != 2) return 1;
    if (vandrel_decode_row(&d, row) != 0) return 1;
    return row[0] == 0x12 && row[5] == 0x34 && vandrel_decode_row(&d, row) == VANDREL_DECODE_E_DONE ? 0 : 1;
}
