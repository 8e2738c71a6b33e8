#include "nearest_colour.h"

#include <algorithm>

namespace ColourReduction {

static uint8_t channel(const Colour& c, int axis)
{
    return axis == 0 ? c.r : axis == 1 ? c.g : c.b;
}

NearestColour::NearestColour(const Colour* palette_, int count_, uint64_t searches)
    : palette(palette_), count(count_), axis(0)
{
    int widest = -1;
    for (int a = 0; a < 3; ++a) {
        int low = 255, high = 0;
        for (int i = 0; i < count; ++i) {
            const int v = channel(palette[i], a);
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
        if (high - low > widest) {
            widest = high - low;
            axis = a;
        }
    }
    // Insertion sort by (value, position): a full key, so one order only.
    for (int i = 0; i < count; ++i) {
        Entry e = {channel(palette[i], axis), (uint8_t)i};
        int j = i;
        for (; j > 0 && sorted[j - 1].value > e.value; --j)
            sorted[j] = sorted[j - 1];
        sorted[j] = e;
    }
    if (count > 1 && searches >= (uint64_t)kNeighboursFrom * count) {
        neighbours.resize((size_t)count * (count - 1));
        rowMade.assign(count, false);
    }
}

const uint32_t* NearestColour::neighboursOf(int i) const
{
    uint32_t* row = &neighbours[(size_t)i * (count - 1)];
    if (!rowMade[i]) {
        int n = 0;
        for (int j = 0; j < count; ++j)
            if (j != i) {
                const Colour &a = palette[i], &b = palette[j];
                row[n++] = squaredDistance(a.r, a.g, a.b, b.r, b.g, b.b) << 8 | (uint32_t)j;
            }
        std::sort(row, row + n);
        rowMade[i] = true;
    }
    return row;
}

int NearestColour::find(uint8_t r, uint8_t g, uint8_t b, int hint) const
{
    uint32_t best = UINT32_MAX;
    int bestPosition = count;
    // Palette entry i, if nearer than the best so far (the lower index on a tie).
    auto consider = [&](int i) {
        const Colour& c = palette[i];
        const uint32_t d = squaredDistance(r, g, b, c.r, c.g, c.b);
        if (d < best || (d == best && i < bestPosition)) {
            best = d;
            bestPosition = i;
        }
    };
    const bool hinted = hint >= 0 && hint < count;
    if (hinted && !rowMade.empty()) {
        const Colour& h = palette[hint];
        best = squaredDistance(r, g, b, h.r, h.g, h.b);
        bestPosition = hint;
        const uint32_t reach = (4 * best) << 8 | 0xFF;  // (2 |x - h|)^2, any position
        const uint32_t* row = neighboursOf(hint);
        for (int n = 0; n < count - 1 && row[n] <= reach; ++n)
            consider((int)(row[n] & 0xFF));
        return bestPosition;
    }
    const int v = axis == 0 ? r : axis == 1 ? g : b;
    int high = 0;  // the first entry at or above v
    for (int step = 128; step > 0; step >>= 1)
        if (high + step <= count && sorted[high + step - 1].value < v)
            high += step;
    int low = high - 1;
    if (hinted) {
        const Colour& c = palette[hint];
        best = squaredDistance(r, g, b, c.r, c.g, c.b);
        bestPosition = hint;
    }
    for (;;) {
        const int toLow = low >= 0 ? v - sorted[low].value : 256;
        const int toHigh = high < count ? sorted[high].value - v : 256;
        const int along = toLow < toHigh ? toLow : toHigh;
        // An entry as far as the best along the axis alone can still tie it.
        if (along == 256 || (uint32_t)(along * along) > best)
            break;
        consider(toLow < toHigh ? sorted[low--].position : sorted[high++].position);
    }
    return bestPosition;
}

static const uint32_t kTagValid = 0x80000000u;

CachedNearestColour::CachedNearestColour(const NearestColour& search_)
    : search(search_), tags(1u << kBits, 0), answers(1u << kBits, 0)
{
}

int CachedNearestColour::find(uint8_t r, uint8_t g, uint8_t b, int hint)
{
    const uint32_t key = colourKey(r, g, b);
    const uint32_t slot = (key * 2654435761u) >> (32 - kBits);
    if (tags[slot] != (key | kTagValid)) {
        tags[slot] = key | kTagValid;
        answers[slot] = (uint8_t)search.find(r, g, b, hint);
    }
    return answers[slot];
}

}
