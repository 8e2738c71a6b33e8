// Run-length compressed BMP pixels (BI_RLE8 and BI_RLE4), as older Windows
// paint programs save them.
//
// The data is a series of two-byte codes, bottom row first: a count n > 0
// and a value give n pixels of that index (for 4 bits, of the value's two
// nibbles in turn); a zero count is an escape: 0 ends the row, 1 ends the
// picture, 2 moves right and up by the next two bytes, and 3 to 255 are that
// many pixels given one by one (two to a byte for 4 bits), padded to an even
// number of bytes. Pixels that no code sets are colour 0; pixels beyond the
// right edge or the top row are dropped.
#ifndef PORVANE_BMP_RUN_LENGTH_H
#define PORVANE_BMP_RUN_LENGTH_H

#include <stddef.h>
#include <stdint.h>

#include "bmp_reader.h"

// Fills the layout.pixelBytes bytes at `rows` from the `size` bytes of
// `data`. Returns 0 when a code is cut off by the end of the data.
int decodeRunLength(const uint8_t* data, size_t size, const BmpLayout& layout, uint8_t* rows);

#endif
