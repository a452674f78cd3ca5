/* Prints the arrays that vandrel_add_picture() made, one line each, as decimal byte values. */
#include <stddef.h>
#include <stdio.h>

#define VANDREL_DECODE_IMPLEMENTATION
#include "vandrel/decode.h"

#include "logo.h"
#include "logo_565.h"

static void print_array(const char *name, const unsigned char *bytes, size_t count) {
    printf("%s", name);
    for (size_t i = 0; i < count; ++i) printf(" %u", (unsigned)bytes[i]);
    printf("\n");
}

int main(void) {
    print_array("logo_666", logo_666, sizeof logo_666);
    print_array("logo_565", logo_565, sizeof logo_565);
    {
        /* 2 x 1 in rgb565: a run of two pixels 0x1234. */
        static const uint8_t stream[] = {'V', 'R', 'L', 'E', 1, 2, 0, 0, 1, 0, 2, 0x80, 0x12, 0x34};
        struct vandrel_decoder d;
        uint8_t row[4];
        const int opened = vandrel_decode_open(&d, stream, sizeof stream);
        const int decoded = opened == 0 ? vandrel_decode_row(&d, row) : opened;
        if (decoded != 0) return 1;
        print_array("decoded", row, sizeof row);
    }
    return 0;
}
