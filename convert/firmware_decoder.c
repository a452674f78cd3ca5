/* The firmware decoder compiled into the conversion library, so that reading compressed streams back
 * goes through the very code firmware runs. */
#define VANDREL_DECODE_IMPLEMENTATION
#include "vandrel/decode.h"
