// Turning the host's bitmap rows into the rows of a KiSS data block.
//
// The host's rows are padded to a multiple of 4 bytes and, for a positive
// height, stored bottom row first; 24-bit pixels are blue, green, red, and
// 32-bit pixels blue, green, red and a fourth byte. The data block's rows are
// packed, top row first; 24-bit pixels are red, green, blue, 32-bit pixels
// keep their order, and a picture whose fourth bytes are all zero gets 255
// there (opaque).
#ifndef PORVANE_PICTURE_ROWS_H
#define PORVANE_PICTURE_ROWS_H

#include <stdint.h>

struct PictureLayout {
    int32_t depth;         // bits per pixel as the host gave it
    int32_t width;         // pixels per row, 0 to CEL_MAX_DIMENSION
    int32_t rows;          // rows, 0 to CEL_MAX_DIMENSION
    bool topDown;          // the host gave a negative height: its first row is the top one
    int32_t rowBytes;      // bytes per data-block row
    int32_t sourceStride;  // bytes per host row: rowBytes rounded up to a multiple of 4
    uint32_t blockBytes;   // rowBytes * rows
};

// Plans the conversion of a width x height picture of the given depth.
// Returns 0 for a picture a cel cannot hold: a negative width, a width or
// height over CEL_MAX_DIMENSION, or a block over CEL_MAX_BLOCK_BYTES.
int planPicture(int32_t depth, int32_t width, int32_t height, PictureLayout* layout);

// Fills every byte of the layout.blockBytes at `block` from the host's rows.
void convertRows(const PictureLayout& layout, const uint8_t* source, uint8_t* block);

#endif
