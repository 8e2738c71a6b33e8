#include "cel_format.h"

#include <string.h>

static void put16(uint8_t* at, uint16_t value)
{
    at[0] = (uint8_t)(value & 0xFF);
    at[1] = (uint8_t)(value >> 8);
}

void encodeCelHeader(const CelHeader& header, uint8_t out[CEL_HEADER_BYTES])
{
    memset(out, 0, CEL_HEADER_BYTES);  // reserved fields and both offsets
    memcpy(out, "KiSS", 4);
    out[4] = header.mark;
    out[5] = header.depth;
    put16(out + 8, header.width);
    put16(out + 10, header.height);
}

int32_t celRowBytes(int32_t depth, int32_t width)
{
    switch (depth) {
    case 1:
        return (width + 7) / 8;
    case 4:
        return (width + 1) / 2;
    case 24:
        return 3 * width;
    case 32:
        return 4 * width;
    default:  // 8, and one byte a pixel reserved for every other depth
        return width;
    }
}

CelFit celFit(int32_t depth, int64_t width, int64_t rows)
{
    if (width < 0 || rows < 0 || width > CEL_MAX_DIMENSION || rows > CEL_MAX_DIMENSION)
        return CEL_OVER_DIMENSION;
    if ((int64_t)celRowBytes(depth, (int32_t)width) * rows > CEL_MAX_BLOCK_BYTES)
        return CEL_OVER_BLOCK;
    return CEL_FITS;
}
