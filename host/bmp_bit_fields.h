// Pixels whose colours sit in bit fields: 16-bit pixels (5-5-5, or any
// masks) and 32-bit pixels with colour masks. Each channel is scaled from its
// field's range to 0-255, rounded to the nearest value; a channel with no
// mask is 0.
#ifndef PORVANE_BMP_BIT_FIELDS_H
#define PORVANE_BMP_BIT_FIELDS_H

#include <stdint.h>

// Reads `width` little-endian pixels of `inDepth` (16 or 32) bits and writes
// them as blue, green, red (outDepth 24) or blue, green, red, alpha (32).
// `masks` are red, green, blue, alpha.
void spreadBitFields(const uint8_t* in, int inDepth, const uint32_t masks[4], int32_t width, uint8_t* out,
                     int outDepth);

#endif
