// Colour reduction for a doll whose cels share one palette: index 0 is
// transparent, indices 1..N (N <= 255) hold the visible colours of the whole
// doll.
//
// Use:
//   1. countColours() once per part into one ColourHistogram: the exact RGB
//      colours of the visible pixels with their pixel counts. A pixel is
//      visible when it has no alpha (3 channels) or alpha >= kVisibleAlpha.
//   2. choosePalette() once, on histogramColours(): at most N colours.
//   3. mapPixels() once per part: 8-bit indices, 0 for transparent pixels,
//      1 + the palette position of the nearest colour for visible ones.
//
// When the visible colours number N or fewer, the palette is exactly those
// colours (Palette::exact) and every pixel keeps its colour. Otherwise the
// palette is chosen in two steps over the weighted colour list (never over
// a coarser grid):
//   - variance-based cuts: starting from one box holding every colour, the
//     box whose best cut lowers the total squared error most is cut in two,
//     until there are N boxes. A box's best cut is the one, over the three
//     axes and every plane between two of the box's values on that axis,
//     that leaves the least summed squared error in the two halves (found
//     from per-plane sums, in time linear in the box's colours);
//   - a few rounds of weighted k-means: every colour goes to its nearest
//     palette colour, every palette colour moves to the rounded weighted
//     mean of its colours; a palette colour that gets none is moved to the
//     colour with the largest weighted error. The palette with the least
//     total error seen is kept.
// Why: the cuts are those of Wu's method but made on the exact colours,
// which for a doll are a few thousand to a few hundred thousand, so nothing
// is lost to a 5-bit grid and no 256^3 table is needed; they give a start
// that is already close, where median cut (which halves pixel counts, not
// error) leaves large boxes in smooth gradients. k-means then removes what
// greedy cuts along axes cannot: every palette colour ends at the mean of
// the colours nearest to it, which for squared RGB error (what PSNR
// measures) is the best place for it.
//
// Determinism: all arithmetic is integer (64-bit sums, integer squared
// distances, rounding to nearest with halves up, squares over counts
// floored), every sort is over a full key (or only brings equal colours
// together to add their counts), ties go to the lowest index, and no hash
// table is read in its own order. The same input gives the same
// bytes on every build, whatever the order in which the colours were given.
//
// Limits, checked before any work (a call outside them returns false and
// writes nothing): parts of at most kMaxSide x kMaxSide pixels, 3 or 4
// channels, a stride of at least width x channels; at most kMaxTotalWeight
// visible pixels counted in one histogram, and the same for the weights
// given to choosePalette().
#ifndef PORVANE_COLOUR_REDUCTION_H
#define PORVANE_COLOUR_REDUCTION_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

namespace ColourReduction {

const int kMaxPaletteColours = 255;  // visible colours; index 0 is transparent
const int kVisibleAlpha = 128;       // alpha at which a pixel counts as visible
const int32_t kMaxSide = 32768;
const uint64_t kMaxTotalWeight = 0xFFFFFFFFu;  // every pixel count adds into 32 bits
const int kRefineRounds = 12;                  // k-means rounds at most

struct Colour {
    uint8_t r, g, b;
};

struct WeightedColour {
    uint8_t r, g, b;
    uint32_t count;  // pixels of this colour; 0 counts as absent
};

// One part's pixels, rows top to bottom, bytes red, green, blue[, alpha],
// or blue, green, red[, alpha] (a Windows bitmap's order, which a 0xAARRGGBB
// word has in memory on a little-endian machine) when `bgr`.
struct Pixels {
    const uint8_t* data;
    int32_t width, height;
    int32_t stride;  // bytes from one row to the next
    int channels;    // 3 or 4
    bool bgr = false;
    int redAt() const { return bgr ? 2 : 0; }
    int blueAt() const { return bgr ? 0 : 2; }
};

// Whether a part is within the limits above.
inline bool withinLimits(const Pixels& p)
{
    return p.data && (p.channels == 3 || p.channels == 4) && p.width > 0 && p.height > 0 && p.width <= kMaxSide &&
           p.height <= kMaxSide && p.stride >= p.width * p.channels;
}

// The exact colours of visible pixels, with counts. Start with {} and add
// every part; the counts add up.
struct ColourHistogram {
    std::vector<uint32_t> slots;   // 0xRRGGBB keys, open addressing; 0xFFFFFFFF where free
    std::vector<uint32_t> counts;  // by slot
    size_t used = 0;
    uint64_t total = 0;  // visible pixels counted
};

// Adds the visible pixels of one part. False (and nothing added) when the
// part is outside the limits or could take the total past kMaxTotalWeight.
bool countColours(ColourHistogram* histogram, const Pixels& pixels);
// The colours counted, sorted by red, then green, then blue.
std::vector<WeightedColour> histogramColours(const ColourHistogram& histogram);

struct Palette {
    Colour colours[kMaxPaletteColours];  // index i + 1 in a cel is colours[i]
    int count;                           // colours in use
    bool exact;                          // every visible colour is in the palette
};

// Chooses at most `maxColours` (1..kMaxPaletteColours) colours for the given
// ones, sorted by red, then green, then blue. Colours given twice have their
// counts added. False (and nothing written) for a limit out of range or
// weights past kMaxTotalWeight.
bool choosePalette(const WeightedColour* colours, size_t count, int maxColours, Palette* palette);

// Writes one index per pixel, `indexStride` bytes from one row of indices to
// the next: 0 for a transparent pixel, 1 + the position in the palette of
// the colour nearest to a visible one (squared RGB distance, the lowest
// position on a tie). With `dither`, the error of each visible pixel is
// spread over its visible neighbours to the right and below (Floyd and
// Steinberg's weights, 7, 3, 5, 1 sixteenths). False (and nothing written)
// for a part outside the limits, an index stride below the width, or a
// visible pixel and an empty palette.
bool mapPixels(const Pixels& pixels, const Palette& palette, bool dither, uint8_t* indices, int32_t indexStride);

}

#endif
