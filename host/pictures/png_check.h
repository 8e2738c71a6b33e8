// A PNG file's chunks, checked before the Windows Imaging Component decodes
// it: the component decodes some damaged files without complaint (wrong
// header or pixel-data checksums), and decodes a picture of any size before
// the converter could refuse it (a 437 KB file of 60000 x 60000 pixels would
// take 488 MB first).
//
// A PNG is its 8-byte signature, then chunks: a 4-byte big-endian length, a
// 4-byte type, the data, and the CRC-32 of type and data (ISO 3309
// polynomial, reflected, as zlib's). The first chunk is IHDR, whose data
// starts with the width and the height (4 bytes each, big-endian), the bit
// depth and the colour type (3: colour indices).
#ifndef PORVANE_PNG_CHECK_H
#define PORVANE_PNG_CHECK_H

#include <stddef.h>
#include <stdint.h>

#include "picture_problem.h"

enum { PNG_SIGNATURE_BYTES = 8 };
extern const uint8_t PNG_SIGNATURE[PNG_SIGNATURE_BYTES];

// 1 when every chunk up to IEND is whole, within the file, and its checksum
// matches, with what IHDR declares: the size, and whether the pixels are
// colour indices; 0 with the problem otherwise.
struct PngSize {
    int64_t width, height;
    bool indexed;
};
int checkPngChunks(const uint8_t* file, size_t size, PngSize* declared, PictureProblem* problem);

#endif
