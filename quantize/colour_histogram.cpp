// Counting the exact colours of visible pixels in an open-addressing table
// of 0xRRGGBB keys, which doubles when half full. Its order is never read:
// histogramColours() sorts by key.
#include <algorithm>

#include "colour_reduction.h"
#include "nearest_colour.h"

namespace ColourReduction {

static const uint32_t kEmptySlot = 0xFFFFFFFFu;

static uint32_t slotOf(uint32_t key, size_t mask)
{
    return (uint32_t)((key * 2654435761u) >> 8 & mask);
}

static void grow(ColourHistogram* h)
{
    std::vector<uint32_t> slots(h->slots.empty() ? 1024 : h->slots.size() * 2, kEmptySlot);
    std::vector<uint32_t> counts(slots.size(), 0);
    const size_t mask = slots.size() - 1;
    for (size_t i = 0; i < h->slots.size(); ++i) {
        if (h->slots[i] == kEmptySlot)
            continue;
        uint32_t s = slotOf(h->slots[i], mask);
        while (slots[s] != kEmptySlot)
            s = (s + 1) & mask;
        slots[s] = h->slots[i];
        counts[s] = h->counts[i];
    }
    h->slots.swap(slots);
    h->counts.swap(counts);
}

static void add(ColourHistogram* h, uint32_t key, uint32_t count)
{
    if (2 * (h->used + 1) > h->slots.size())
        grow(h);
    const size_t mask = h->slots.size() - 1;
    uint32_t s = slotOf(key, mask);
    while (h->slots[s] != key && h->slots[s] != kEmptySlot)
        s = (s + 1) & mask;
    if (h->slots[s] == kEmptySlot) {
        h->slots[s] = key;
        ++h->used;
    }
    h->counts[s] += count;
}

bool countColours(ColourHistogram* histogram, const Pixels& pixels)
{
    if (!histogram || !withinLimits(pixels) ||
        (uint64_t)pixels.width * (uint64_t)pixels.height > kMaxTotalWeight - histogram->total)
        return false;
    uint64_t counted = 0;
    const int red = pixels.redAt(), blue = pixels.blueAt();
    for (int32_t y = 0; y < pixels.height; ++y) {
        const uint8_t* p = pixels.data + (size_t)y * (size_t)pixels.stride;
        // A run of one colour is added once.
        uint32_t runKey = kEmptySlot, run = 0;
        for (int32_t x = 0; x < pixels.width; ++x, p += pixels.channels) {
            if (pixels.channels == 4 && p[3] < kVisibleAlpha)
                continue;
            const uint32_t key = colourKey(p[red], p[1], p[blue]);
            if (key != runKey) {
                if (run)
                    add(histogram, runKey, run);
                runKey = key;
                run = 0;
            }
            ++run;
            ++counted;
        }
        if (run)
            add(histogram, runKey, run);
    }
    histogram->total += counted;
    return true;
}

std::vector<WeightedColour> histogramColours(const ColourHistogram& histogram)
{
    std::vector<uint32_t> order;
    order.reserve(histogram.used);
    for (size_t i = 0; i < histogram.slots.size(); ++i)
        if (histogram.slots[i] != kEmptySlot)
            order.push_back((uint32_t)i);
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return histogram.slots[a] < histogram.slots[b]; });
    std::vector<WeightedColour> colours;
    colours.reserve(order.size());
    for (uint32_t i : order) {
        const uint32_t key = histogram.slots[i];
        colours.push_back({(uint8_t)(key >> 16), (uint8_t)(key >> 8), (uint8_t)key, histogram.counts[i]});
    }
    return colours;
}

}
