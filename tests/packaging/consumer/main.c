/* Prints the arrays that vandrel_add_picture() made, one line each, as decimal byte values. */
#include <stddef.h>
#include <stdio.h>

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
    return 0;
}
