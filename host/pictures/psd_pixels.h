// Pixels as the document reader composes them: 0xAARRGGBB with straight
// (not premultiplied) alpha, the form of DecodedPicture, and the arithmetic
// of laying one over another. Every result is worked out exactly and
// rounded once to nearest, so what is exact stays exact: an opaque pixel
// over anything, any pixel over nothing, or a colour over itself, comes out
// as it went in.
#ifndef PORVANE_PSD_PIXELS_H
#define PORVANE_PSD_PIXELS_H

#include <stdint.h>


// a * b / 255, rounded: alphas and masks multiplied.
inline unsigned psdTimes(unsigned a, unsigned b) { return (a * b + 127) / 255; }

// An alpha scaled by an opacity product of at most 255 * 255.
inline unsigned psdScaled(unsigned alpha, unsigned scale) { return (alpha * scale + 255 * 255 / 2) / (255 * 255); }

inline uint32_t psdWithAlpha(uint32_t pixel, unsigned alpha) { return (pixel & 0xFFFFFFu) | (uint32_t)alpha << 24; }

// Source over: `source`'s colour with `alpha` (its own alpha is ignored)
// laid over `under`. The result's alpha is alpha + under's * (1 - alpha),
// its colour the average of the two weighted by what each contributes.
inline uint32_t psdOver(uint32_t under, uint32_t source, unsigned alpha)
{
    const unsigned underAlpha = under >> 24;
    if (alpha == 0)
        return under;
    if (alpha == 255 || underAlpha == 0)
        return psdWithAlpha(source, alpha);
    const unsigned sourceWeight = alpha * 255, underWeight = underAlpha * (255 - alpha);
    const unsigned total = sourceWeight + underWeight;  // the result's alpha times 255
    uint32_t out = (uint32_t)((total + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned colour =
            (((source >> shift) & 0xFF) * sourceWeight + ((under >> shift) & 0xFF) * underWeight + total / 2) / total;
        out |= (uint32_t)colour << shift;
    }
    return out;
}

// A row of pixels from a row of samples of each channel: red, green and
// blue (the same grey row for all three), and transparency, which a layer
// may lack (then opaque); a channel the layer lacks is 0.
inline void psdPixelRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, const uint8_t* alpha,
                        int64_t count, uint32_t* out)
{
    for (int64_t x = 0; x < count; ++x)
        out[x] = (uint32_t)(alpha ? alpha[x] : 255) << 24 | (uint32_t)(red ? red[x] : 0) << 16 |
                 (uint32_t)(green ? green[x] : 0) << 8 | (blue ? blue[x] : 0);
}

#endif
