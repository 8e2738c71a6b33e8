// KiSS cel and palette files: the header encoder and the row sizes.
//
// Every file porvane writes is a 32-byte header followed by one data block,
// with no gap and no trailer. All multi-byte fields are little-endian.
//
//   offset size  field
//        0    4  magic      "KiSS" (4B 69 53 53)
//        4    1  mark       0x20 cel, 0x10 palette
//        5    1  depth      cel: bits per pixel; palette: bits per colour (24)
//        6    2  reserved   0
//        8    2  width      cel: pixels per row; palette: colours (256)
//       10    2  height     cel: rows; palette: number of palettes (1)
//       12    2  x offset   0
//       14    2  y offset   0
//       16   16  reserved   0
//
// The data block is `height` rows, top row first, each exactly rowBytes long
// with no padding between rows:
//
//   depth  rowBytes        pixels in a row
//       1  (w + 7) / 8     eight per byte, leftmost pixel in the high bit
//       4  (w + 1) / 2     two per byte, leftmost pixel in the high nibble
//       8  w               one colour index per byte
//      24  3 * w           red, green, blue: porvane's own truecolour cel
//      32  4 * w           blue, green, red, alpha, as KiSS readers take a
//                          32-bit cel
//   other  w               no conversion is defined: zero bytes
//
// Unused bits at the end of a 1- or 4-bit row are zero. A 32-bit picture
// whose fourth bytes are all zero (Windows leaves that byte unused in a plain
// 32-bit bitmap) is opaque: its alpha is written as 255. A palette is the
// 24-bit case with w = 256 and one row: 256 colours of red, green, blue, so a
// palette file is always 32 + 768 = 800 bytes.
#ifndef PORVANE_CEL_FORMAT_H
#define PORVANE_CEL_FORMAT_H

#include <stdint.h>

// The extensions of KiSS files: a cel (the plug-in's default, which the host
// may change), a palette, and a set's configuration.
const char KISS_CEL_EXTENSION[] = ".cel";
const char KISS_PALETTE_EXTENSION[] = ".kcf";
const char KISS_CONFIGURATION_EXTENSION[] = ".cnf";

enum {
    KISS_PALETTE_COLOURS = 256,  // a palette group's colours, and an 8-bit cel's colour numbers
    KISS_PALETTE_BITS = 24,      // a colour of a palette porvane writes: red, green, blue
    KISS_4BIT_COLOURS = 16,      // a 4-bit cel's colour numbers
    // The picture palette mode writes as a palette: a strip of the palette's
    // colours in index order, 24 bits deep, one row.
    PALETTE_STRIP_WIDTH = KISS_PALETTE_COLOURS,
    PALETTE_STRIP_HEIGHT = 1,
    PALETTE_STRIP_DEPTH = KISS_PALETTE_BITS,
};

enum CelMark : uint8_t {
    CEL_MARK_CEL = 0x20,
    CEL_MARK_PALETTE = 0x10,
};

// The header fields that vary from file to file; everything else is fixed.
struct CelHeader {
    uint8_t mark;     // CelMark
    uint8_t depth;    // low 8 bits of the colour depth
    uint16_t width;
    uint16_t height;
};

enum {
    CEL_HEADER_BYTES = 32,
    CEL_MAX_DIMENSION = 65535,        // width and height must fit the 16-bit header fields
};
// The data block must fit a signed 32-bit size.
const int64_t CEL_MAX_BLOCK_BYTES = 0x7FFFFFFF;

void encodeCelHeader(const CelHeader& header, uint8_t out[CEL_HEADER_BYTES]);

// Bytes per data-block row for a colour depth and a width of 0 to
// CEL_MAX_DIMENSION pixels.
int32_t celRowBytes(int32_t depth, int32_t width);

// Whether a cel can hold a picture of `width` x `rows` pixels at `depth`
// bits: the one check of the limits above, for the plug-in and the converter.
enum CelFit {
    CEL_FITS,
    CEL_OVER_DIMENSION,  // wider or higher than the header can say (or a negative size)
    CEL_OVER_BLOCK,      // the data block would pass CEL_MAX_BLOCK_BYTES
};
CelFit celFit(int32_t depth, int64_t width, int64_t rows);

#endif
