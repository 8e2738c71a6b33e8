// The nearest palette colour to any RGB colour, exactly: squared RGB
// distance, the lowest palette position on a tie. The palette is sorted
// along its widest axis; a search starts where the colour would sit in that
// order and walks outwards on both sides until the distance along the axis
// alone is beyond the best found. A hint (a position likely to be near,
// such as the answer for the previous pixel, or a colour's palette colour in
// the last round) gives the walk a bound to start with; for many searches,
// the hint's neighbours are read instead, nearest first: a colour x nearer
// than the hint h, or as near, is at most 2 |x - h| from h, so the
// neighbours up to that distance hold the answer. Each way finds the same.
#ifndef PORVANE_NEAREST_COLOUR_H
#define PORVANE_NEAREST_COLOUR_H

#include <stdint.h>

#include <vector>

#include "colour_reduction.h"

namespace ColourReduction {

inline uint32_t colourKey(uint8_t r, uint8_t g, uint8_t b)
{
    return (uint32_t)r << 16 | (uint32_t)g << 8 | b;
}

inline uint32_t squaredDistance(int r1, int g1, int b1, int r2, int g2, int b2)
{
    const int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
    return (uint32_t)(dr * dr + dg * dg + db * db);
}

struct NearestColour {
    // Keeps a pointer to `palette`, which must outlive the search. `searches`
    // is how many are coming: from kNeighboursFrom per colour on, hints lead
    // to the neighbours, whose list for one palette colour costs about as
    // much as that many walks.
    NearestColour(const Colour* palette, int count, uint64_t searches);
    static const int kNeighboursFrom = 64;
    int find(uint8_t r, uint8_t g, uint8_t b, int hint = -1) const;

    const Colour* palette;
    int count;
    int axis;  // 0 red, 1 green, 2 blue
    struct Entry {
        uint8_t value;  // on the axis
        uint8_t position;
    };
    Entry sorted[kMaxPaletteColours];
    // count - 1 per palette colour, nearest first: squared distance << 8 |
    // position (a squared distance is under 2^18). A palette colour's row is
    // made when it is first a hint.
    mutable std::vector<uint32_t> neighbours;
    mutable std::vector<bool> rowMade;
    const uint32_t* neighboursOf(int position) const;
};

// find() behind a direct-mapped cache of earlier answers, for the many
// pixels of a picture that repeat a colour.
struct CachedNearestColour {
    explicit CachedNearestColour(const NearestColour& search);
    int find(uint8_t r, uint8_t g, uint8_t b, int hint = -1);

    static const int kBits = 15;
    const NearestColour& search;
    std::vector<uint32_t> tags;  // key | kTagValid, 0 where empty
    std::vector<uint8_t> answers;
};

}

#endif
