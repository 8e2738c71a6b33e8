// Reading a BMP file into the rows a host hands to the plug-in.
//
// readBmpLayout looks at the headers only: which kind of BMP the file is, its
// size, colour table and bit fields, and where its pixels are. It refuses,
// with a reason in the doll maker's words, every kind it cannot read and
// every file whose sizes do not add up (all sizes are worked out in 64 bits
// against the file's real length). decodeBmpRows then fills the rows.
//
// The rows handed over have `depth` bits a pixel, each row padded to a
// multiple of 4 bytes, bottom row first unless the picture is top-down:
//   1, 4, 8, 24 bits, and plain 32 bits: as stored;
//   1 and 4 / 8 bits run-length compressed (BI_RLE4, BI_RLE8): decoded;
//   16 bits (5-5-5, or bit fields): turned into 24 bits, blue, green, red;
//   32 bits with bit fields: rearranged into blue, green, red, alpha.
#ifndef PORVANE_BMP_READER_H
#define PORVANE_BMP_READER_H

#include <stddef.h>
#include <stdint.h>
#include <string>

enum BmpConversion {
    BMP_AS_STORED,
    BMP_RUN_LENGTH,     // BI_RLE8 or BI_RLE4, decoded
    BMP_16_TO_24,       // 16 bits a pixel, widened to 24
    BMP_BIT_FIELDS_32,  // 32 bits with colour masks, rearranged
};

enum { BMP_FILE_HEADER_BYTES = 14, BMP_INFO_HEADER_BYTES = 40, BMP_MAX_COLOURS = 256 };

struct BmpLayout {
    int32_t width;
    int32_t height;       // as the file says: negative when the top row comes first
    uint32_t rows;        // the height without its sign
    int fileDepth;        // bits a pixel in the file
    int depth;            // bits a pixel handed over
    BmpConversion conversion;
    uint32_t compression; // as the file says
    uint32_t masks[4];    // red, green, blue and alpha masks, for bit fields
    size_t colourTable;   // offset of the colour table (blue, green, red, 0 per entry)
    uint32_t colours;     // entries in it, at most BMP_MAX_COLOURS
    size_t pixels;        // offset of the pixel data
    uint64_t fileRowBytes;  // bytes per row in the file (uncompressed kinds)
    uint64_t rowBytes;    // bytes per row handed over
    uint64_t pixelBytes;  // rowBytes * rows
};

// Bytes per row of `width` pixels at `depth` bits, padded to 4 bytes.
uint64_t bmpRowBytes(int depth, int32_t width);

// 1 when `file` is a BMP this reader can read; 0 with the reason otherwise.
int readBmpLayout(const uint8_t* file, size_t size, BmpLayout* layout, std::string* reason);

// Fills the layout.pixelBytes bytes at `rows`. 0 with the reason when the
// run-length compressed data is damaged.
int decodeBmpRows(const uint8_t* file, size_t size, const BmpLayout& layout, uint8_t* rows, std::string* reason);

#endif
