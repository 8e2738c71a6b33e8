#include "bmp_bit_fields.h"

static uint8_t channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const uint64_t top = mask >> shift;  // the field's largest value (masks with gaps are taken as they are)
    const uint64_t value = (pixel & mask) >> shift;
    return (uint8_t)((value * 255 + top / 2) / top);
}

void spreadBitFields(const uint8_t* in, int inDepth, const uint32_t masks[4], int32_t width, uint8_t* out,
                     int outDepth)
{
    const int inBytes = inDepth / 8, outBytes = outDepth / 8;
    static const int blueGreenRedAlpha[4] = {2, 1, 0, 3};
    for (int32_t x = 0; x < width; ++x, in += inBytes, out += outBytes) {
        uint32_t pixel = 0;
        for (int byte = 0; byte < inBytes; ++byte)
            pixel |= (uint32_t)in[byte] << (8 * byte);
        for (int byte = 0; byte < outBytes; ++byte)
            out[byte] = channel(pixel, masks[blueGreenRedAlpha[byte]]);
    }
}
