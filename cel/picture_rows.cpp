#include "picture_rows.h"
#include "bgr_to_rgb.h"
#include "cel_format.h"
#include "pixel_words.h"

#include "../base/host_records.h"

#include <string.h>

int planPicture(int32_t depth, int32_t width, int32_t height, PictureLayout* layout)
{
    int64_t rows = height < 0 ? -(int64_t)height : height;
    if (celFit(depth, width, rows) != CEL_FITS)
        return 0;
    int32_t rowBytes = celRowBytes(depth, width);

    layout->depth = depth;
    layout->width = width;
    layout->rows = (int32_t)rows;
    layout->topDown = height < 0;
    layout->rowBytes = rowBytes;
    layout->sourceStride = (int32_t)dibStride((uint32_t)rowBytes);
    layout->blockBytes = (uint32_t)rowBytes * (uint32_t)rows;
    return 1;
}

// 1- and 4-bit rows already have the KiSS order (leftmost pixel in the high
// bits); only the bits past the last pixel, which the host may leave as
// anything, are cleared.
static void copyPackedRow(const uint8_t* from, uint8_t* to, int32_t rowBytes, int32_t width, int32_t depth)
{
    memcpy(to, from, rowBytes);
    int32_t unusedBits = rowBytes * 8 - width * depth;
    if (rowBytes > 0 && unusedBits > 0)
        to[rowBytes - 1] &= (uint8_t)(0xFF << unusedBits);
}

// 32-bit rows already have the KiSS order (blue, green, red, alpha): they are
// copied a pixel (a word) at a time, four to a step. Returns the row's fourth
// bytes ORed together.
static uint8_t copyBgraRow(const uint8_t* from, uint8_t* to, int32_t width)
{
    uint32_t pixels = 0;
    int32_t x = 0;
    for (; width - x >= 4; x += 4, from += 16, to += 16) {
        const uint32_t p0 = loadWord(from), p1 = loadWord(from + 4), p2 = loadWord(from + 8), p3 = loadWord(from + 12);
        storeWord(to, p0);
        storeWord(to + 4, p1);
        storeWord(to + 8, p2);
        storeWord(to + 12, p3);
        pixels |= p0 | p1 | p2 | p3;
    }
    for (; x < width; ++x, from += 4, to += 4) {
        const uint32_t pixel = loadWord(from);
        storeWord(to, pixel);
        pixels |= pixel;
    }
    return (uint8_t)(pixels >> 24);
}

// A picture with no alpha at all (dibHasNoAlpha) is opaque.
static void makeOpaque(uint8_t* block, uint32_t pixels)
{
    for (uint32_t pixel = 0; pixel < pixels; ++pixel)
        block[4 * pixel + 3] = 0xFF;
}

void convertRows(const PictureLayout& layout, const uint8_t* source, uint8_t* block)
{
    const int32_t depth = layout.depth;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) {
        memset(block, 0, layout.blockBytes);
        return;
    }
    const BgrToRgbRow bgrToRgb = depth == 24 ? fastestBgrToRgbRow() : NULL;
    uint8_t fourthBytes = 0;
    for (int32_t row = 0; row < layout.rows; ++row) {
        int32_t sourceRow = layout.topDown ? row : layout.rows - 1 - row;
        const uint8_t* from = source + (size_t)sourceRow * layout.sourceStride;
        uint8_t* to = block + (size_t)row * layout.rowBytes;
        if (depth == 24)
            bgrToRgb(from, to, layout.width);
        else if (depth == 32)
            fourthBytes |= copyBgraRow(from, to, layout.width);
        else if (depth == 8)
            memcpy(to, from, layout.width);
        else
            copyPackedRow(from, to, layout.rowBytes, layout.width, depth);
    }
    if (depth == 32 && dibHasNoAlpha(fourthBytes))
        makeOpaque(block, layout.blockBytes / 4);
}
