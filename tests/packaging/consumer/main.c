/* Prints the arrays that vandrel_add_picture() made, one line each, as decimal byte values. */
#include <stddef.h>
#include <stdio.h>

#define VANDREL_DECODE_IMPLEMENTATION
#include "vandrel/decode.h"

#include "logo.h"
#include "logo_565.h"
#include "logo_rle.h"

static void print_array(const char* name, const unsigned char* bytes, size_t count) {
    printf("%s", name);
    for (size_t i = 0; i < count; ++i) printf(" %u", (unsigned)bytes[i]);
    printf("\n");
}

int main(void) {
    print_array("logo_666", logo_666, sizeof logo_666);
    print_array("logo_565", logo_565, sizeof logo_565);
    {
        /* The compressed picture, decoded row by row into one buffer, gives the bytes of logo_565. */
        struct vandrel_decoder d;
        uint8_t row[LOGO_RLE_WIDTH * 2];
        int code = vandrel_decode_open(&d, logo_rle, sizeof logo_rle);
        printf("logo_rle");
        for (unsigned y = 0; code == 0 && y < d.height; ++y) {
            code = vandrel_decode_row(&d, row);
            for (size_t i = 0; code == 0 && i < sizeof row; ++i) printf(" %u", (unsigned)row[i]);
        }
        printf("\n");
        if (code != 0 || d.width != LOGO_RLE_WIDTH || d.height != LOGO_RLE_HEIGHT) return 1;
    }
    return 0;
}
