/* Test program, built as C99 and as C++: includes five generated stdint headers side by side and checks
   their sizes, values and alignment. Answers 0 when all hold. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

/* As flash-placing libraries define it. */
#define PROGMEM __attribute__((section(".progmem.data")))

#include "icon.h"
#include "logo.h"
#include "none.h"
#include "packed.h"
#include "splash.h"
/* Included twice: the guard keeps the second from defining anything again. */
#include "logo.h"

static int failures = 0;

static void check(int holds, const char* what) {
    if (!holds) {
        printf("failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    /* rgb565 wired blue first, worked out by hand. */
    static const uint16_t logoWords[6] = {0x041F, 0xF800, 0xFFFF, 0x0000, 0x1021, 0x3339};
    static const uint8_t iconBytes[18] = {0x3F, 0x20, 0x00, 0x00, 0x00, 0x3F, 0x3F, 0x3F, 0x3F,
                                          0x00, 0x00, 0x00, 0x02, 0x01, 0x04, 0x32, 0x19, 0x0C};
    static const uint8_t packedBytes[3] = {0x56, 0x01, 0xFF};
    check(LOGO_WIDTH == 3 && LOGO_HEIGHT == 2, "logo sides");
    check(ICON_WIDTH == 3 && ICON_HEIGHT == 2 && SPLASH_WIDTH == 3 && PACKED_HEIGHT == 2, "other sides");
    check(sizeof logo == LOGO_WIDTH * LOGO_HEIGHT * sizeof(uint16_t), "logo size");
    check(memcmp(logo, logoWords, sizeof logoWords) == 0, "logo words");
    check(logo[5] == 0x3339, "logo's last word read as a word");
    check(sizeof icon == 18 && memcmp(icon, iconBytes, sizeof iconBytes) == 0, "icon bytes");
    check((uintptr_t)icon % 4 == 0, "icon aligned to 4");
    check((uintptr_t)logo % sizeof(uint16_t) == 0, "logo aligned to its words");
    check(sizeof splash == 12 && splash[0] == 0xFC00, "splash");
    check(sizeof packed == 3 && memcmp(packed, packedBytes, 3) == 0, "packed bytes");
    check(NONE_WIDTH == 0 && NONE_HEIGHT == 2 && sizeof none == 1, "an empty picture's header");
    return failures != 0;
}
