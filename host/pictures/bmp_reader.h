// Reading a BMP file: porvane's own reader, which gets BMPs right that the
// Windows Imaging Component refuses or misreads.
//
// readBmpLayout looks at the headers only: which kind of BMP the file is, its
// size, colour table and bit fields, and where its pixels are. It refuses,
// with a reason in the doll maker's words, every kind it cannot read and
// every file whose sizes do not add up (all sizes are worked out in 64 bits
// against the file's real length). decodeBmp then reads the pixels:
//   1, 4 and 8 bits, stored or run-length compressed (BI_RLE4, BI_RLE8):
//     colour indices, with the colour table;
//   24 bits, and 16 and 32 bits plain or with colour masks: full colour; a
//     picture whose alpha (the fourth byte, or the alpha mask) is 0
//     everywhere is opaque, as Windows leaves that byte unused.
// The Windows header (40 bytes) and its later forms (52, 56, 108, 124) are
// read, and the OS/2 1.x header (12 bytes: 16-bit sizes, colour table
// entries of three bytes).
#ifndef PORVANE_BMP_READER_H
#define PORVANE_BMP_READER_H

#include <stddef.h>
#include <stdint.h>

#include "decoded_picture.h"
#include "picture_problem.h"

enum BmpConversion {
    BMP_AS_STORED,
    BMP_RUN_LENGTH,  // BI_RLE8 or BI_RLE4
    BMP_BIT_FIELDS,  // 16 or 32 bits with colour masks (5-5-5 for plain 16 bits)
};

enum { BMP_FILE_HEADER_BYTES = 14, BMP_OS2_HEADER_BYTES = 12, BMP_MAX_COLOURS = 256 };

struct BmpLayout {
    int32_t width;
    int32_t height;       // as the file says: negative when the top row comes first
    uint32_t rows;        // the height without its sign
    int fileDepth;        // bits a pixel in the file
    BmpConversion conversion;
    uint32_t compression; // as the file says
    uint32_t masks[4];    // red, green, blue and alpha masks, for bit fields
    size_t colourTable;   // offset of the colour table (blue, green, red and, but for OS/2, a zero per entry)
    uint32_t colourEntryBytes;  // 4, or 3 for OS/2
    uint32_t colours;     // entries in it, at most BMP_MAX_COLOURS
    size_t pixels;        // offset of the pixel data
    uint64_t fileRowBytes;  // bytes per row in the file (uncompressed kinds)
    uint64_t pixelBytes;  // what the decoded picture takes in memory
};

// 1 when `file` is a BMP this reader can read; 0 with the reason otherwise.
int readBmpLayout(const uint8_t* file, size_t size, BmpLayout* layout, PictureProblem* problem);

// Reads the pixels. 0 with the reason when the run-length compressed data is
// damaged.
int decodeBmp(const uint8_t* file, size_t size, const BmpLayout& layout, DecodedPicture* picture,
              PictureProblem* problem);

#endif
