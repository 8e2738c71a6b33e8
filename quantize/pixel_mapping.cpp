// mapPixels(): every visible pixel to its nearest palette colour, through a
// cache of earlier answers. With dithering, errors are kept per channel in
// sixteenths for the rest of this row and the next, and a pixel's target
// is its colour plus its error rounded to a whole (halves away from zero)
// and clamped to 0..255. Transparent pixels neither take nor pass on error.
#include <string.h>

#include "colour_reduction.h"
#include "nearest_colour.h"

namespace ColourReduction {

static int wholeOfSixteenths(int32_t e)
{
    return e >= 0 ? (e + 8) / 16 : -((8 - e) / 16);
}

static uint8_t clamped(int v)
{
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

bool mapPixels(const Pixels& pixels, const Palette& palette, bool dither, uint8_t* indices, int32_t indexStride)
{
    if (!withinLimits(pixels) || !indices || indexStride < pixels.width || palette.count < 0 ||
        palette.count > kMaxPaletteColours)
        return false;
    const bool hasAlpha = pixels.channels == 4;
    const int red = pixels.redAt(), blue = pixels.blueAt();
    if (palette.count == 0) {
        for (int32_t y = 0; y < pixels.height; ++y) {
            const uint8_t* p = pixels.data + (size_t)y * (size_t)pixels.stride;
            for (int32_t x = 0; x < pixels.width; ++x, p += pixels.channels)
                if (!hasAlpha || p[3] >= kVisibleAlpha)
                    return false;
        }
    }
    const NearestColour search(palette.colours, palette.count, (uint64_t)pixels.width * (uint64_t)pixels.height);
    CachedNearestColour nearest(search);
    // Dithering's errors: this row's and the next, one pixel of margin on
    // each side, three channels each.
    const size_t rowErrors = 3 * ((size_t)pixels.width + 2);
    std::vector<int32_t> errors(dither ? 2 * rowErrors : 0, 0);
    int last = -1;  // the previous visible pixel's answer, a hint for the next
    for (int32_t y = 0; y < pixels.height; ++y) {
        const uint8_t* p = pixels.data + (size_t)y * (size_t)pixels.stride;
        uint8_t* out = indices + (size_t)y * (size_t)indexStride;
        int32_t* here = dither ? &errors[(y & 1) * rowErrors + 3] : nullptr;
        int32_t* below = dither ? &errors[((y + 1) & 1) * rowErrors + 3] : nullptr;
        if (dither)
            memset(below - 3, 0, rowErrors * sizeof *below);
        for (int32_t x = 0; x < pixels.width; ++x, p += pixels.channels) {
            if (hasAlpha && p[3] < kVisibleAlpha) {
                out[x] = 0;
                continue;
            }
            if (!dither) {
                last = nearest.find(p[red], p[1], p[blue], last);
                out[x] = (uint8_t)(1 + last);
                continue;
            }
            int32_t* e = here + 3 * x;
            const uint8_t target[3] = {clamped(p[red] + wholeOfSixteenths(e[0])),
                                       clamped(p[1] + wholeOfSixteenths(e[1])),
                                       clamped(p[blue] + wholeOfSixteenths(e[2]))};
            const int i = last = nearest.find(target[0], target[1], target[2], last);
            out[x] = (uint8_t)(1 + i);
            const Colour& c = palette.colours[i];
            const int chosen[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                const int32_t q = target[k] - chosen[k];
                e[3 + k] += 7 * q;
                int32_t* b = below + 3 * x + k;
                b[-3] += 3 * q;
                b[0] += 5 * q;
                b[3] += q;
            }
        }
    }
    return true;
}

}
