// Pixels as the document reader composes them: 0xAARRGGBB with straight
// (not premultiplied) alpha, the form of DecodedPicture, and the arithmetic
// of laying one over another. Every result is worked out exactly and
// rounded once to nearest, so what is exact stays exact: an opaque pixel
// over anything, any pixel over nothing, or a colour over itself, comes out
// as it went in.
#ifndef PORVANE_PSD_PIXELS_H
#define PORVANE_PSD_PIXELS_H

#include <stdint.h>

#include "psd_channels.h"

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

// Puts a channel's decoded samples into one byte of every pixel of a
// picture: `shift` 16 red, 8 green, 0 blue, 24 alpha; `spread` puts a grey
// sample into red, green and blue at once. `pixels` is the picture's
// top-left pixel, at canvas row `top`.
class PsdChannelIntoPixels : public PsdRowSink {
public:
    PsdChannelIntoPixels(uint32_t* pixels, int64_t stride, int64_t columns, int64_t firstRow, int shift, bool spread)
        : pixels_(pixels), stride_(stride), columns_(columns), firstRow_(firstRow),
          keep_(spread ? 0xFF000000u : ~(0xFFu << shift)), times_(spread ? 0x010101u : 1u << shift)
    {
    }
    void row(int64_t y, const uint8_t* samples) override
    {
        uint32_t* out = pixels_ + (y - firstRow_) * stride_;
        for (int64_t x = 0; x < columns_; ++x)
            out[x] = (out[x] & keep_) | samples[x] * times_;
    }

private:
    uint32_t* pixels_;
    int64_t stride_, columns_, firstRow_;
    uint32_t keep_, times_;
};

#endif
