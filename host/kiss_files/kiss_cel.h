// Reading a KiSS cel, in either of the two forms viewers read. Multi-byte
// fields are little-endian.
//
// With a header (32 bytes):
//   offset size  field
//        0    4  magic      "KiSS"
//        4    1  mark       0x20 cel (0x21 also marks a 32-bit cel)
//        5    1  depth      bits per pixel: 4, 8 or 32
//        6    2  reserved
//        8    2  width
//       10    2  height
//       12    2  x offset   where the cel's top left corner sits within its object
//       14    2  y offset
//       16   16  reserved
// The old form, without a header (a file that does not start "KiSS"):
//        0    2  width
//        2    2  height
// and always 4 bits a pixel, no offsets.
//
// Then `height` rows, top row first, with nothing between them:
//   4 bits   (width + 1) / 2 bytes, two pixels a byte, the left one in the
//            high nibble; an odd row ends in an unused low nibble
//   8 bits   width bytes
//   32 bits  4 x width bytes: blue, green, red, alpha
// 4- and 8-bit pixels are colour numbers into a palette, 0 transparent.
// Bytes after the last row are not read.
#ifndef PORVANE_KISS_CEL_H
#define PORVANE_KISS_CEL_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "kiss_problems.h"

enum {
    KISS_HEADER_BYTES = 32,
    KISS_OLD_CEL_HEADER_BYTES = 4,
    KISS_MARK_CEL = 0x20,
    KISS_MARK_CEL_32 = 0x21,
    KISS_MARK_PALETTE = 0x10,
};

// True when `file` starts with the magic "KiSS" of a file with a header.
bool hasKissMagic(const uint8_t* file, size_t size);

struct KissCel {
    int depth = 0;      // 4, 8 or 32
    bool headered = false;
    int32_t width = 0, height = 0;
    int32_t xOffset = 0, yOffset = 0;
    // Top row first, no padding. 4 and 8 bits: one colour number a byte;
    // 32 bits: red, green, blue, alpha a pixel (straight, not premultiplied).
    std::vector<uint8_t> pixels;
    int highestColour = 0;  // the largest colour number in a 4- or 8-bit cel
};

// Reads `file` into `cel`, which is left empty when the file cannot be
// used. The rows must all be there: sizes are checked against `size`
// before anything is allocated.
KissFileProblem readCel(const uint8_t* file, size_t size, KissCel* cel);

#endif
