// choosePalette(): the exact colours when they fit, otherwise variance-based
// cuts refined by weighted k-means (the method is described in
// colour_reduction.h). Sums are 64-bit: with at most 2^32 - 1 pixels, a
// channel sums to under 2^40 and the squares of a colour's channels to
// under 2^50.
#include <algorithm>
#include <string.h>

#include "colour_reduction.h"
#include "nearest_colour.h"

namespace ColourReduction {

namespace {

struct Sums {
    uint64_t n = 0, r = 0, g = 0, b = 0, squares = 0;
    void add(const WeightedColour& c)
    {
        n += c.count;
        r += (uint64_t)c.count * c.r;
        g += (uint64_t)c.count * c.g;
        b += (uint64_t)c.count * c.b;
        squares += (uint64_t)c.count * (uint32_t)(c.r * c.r + c.g * c.g + c.b * c.b);
    }
    void plus(const Sums& o)
    {
        n += o.n, r += o.r, g += o.g, b += o.b, squares += o.squares;
    }
    Sums minus(const Sums& o) const
    {
        Sums d;
        d.n = n - o.n, d.r = r - o.r, d.g = g - o.g, d.b = b - o.b, d.squares = squares - o.squares;
        return d;
    }
};

// floor(s^2 / n) without overflow for s <= 255 n, n < 2^32: with s = qn + m,
// s^2 / n = q^2 n + 2qm + m^2 / n, and m^2 < 2^64.
uint64_t floorSquareOver(uint64_t s, uint64_t n)
{
    const uint64_t q = s / n, m = s % n;
    return q * q * n + 2 * q * m + m * m / n;
}

// The summed squared distance of the colours to their mean, rounded up to a
// whole number (each square over the count is floored).
uint64_t squaredError(const Sums& s)
{
    if (s.n == 0)
        return 0;
    return s.squares - floorSquareOver(s.r, s.n) - floorSquareOver(s.g, s.n) - floorSquareOver(s.b, s.n);
}

uint8_t roundedMean(uint64_t sum, uint64_t n)
{
    return (uint8_t)((sum + n / 2) / n);
}

uint8_t channel(const WeightedColour& c, int axis)
{
    return axis == 0 ? c.r : axis == 1 ? c.g : c.b;
}

struct Box {
    uint32_t begin, end;  // in the colour list
    Sums sums;
    uint64_t gain;  // how much the best cut lowers the squared error
    int axis;
    int plane;  // the cut: colours up to this value along `axis` go first
};

// A box and its best cut, found from the sums of its colours in each plane
// of each axis: in time linear in its colours, whatever their order.
Box makeBox(const WeightedColour* colours, uint32_t begin, uint32_t end)
{
    Box box = {begin, end, Sums(), 0, 0, 0};
    for (uint32_t i = begin; i < end; ++i)
        box.sums.add(colours[i]);
    const uint64_t error = squaredError(box.sums);
    uint64_t least = UINT64_MAX;
    Sums planes[256];  // 10 KB
    for (int axis = 0; axis < 3 && end - begin > 1; ++axis) {
        if (axis)
            std::fill(planes, planes + 256, Sums());
        for (uint32_t i = begin; i < end; ++i)
            planes[channel(colours[i], axis)].add(colours[i]);
        Sums first;
        for (int plane = 0; plane < 255; ++plane) {
            first.plus(planes[plane]);
            if (first.n == 0 || first.n == box.sums.n)
                continue;
            const uint64_t split = squaredError(first) + squaredError(box.sums.minus(first));
            if (split < least) {
                least = split;
                box.axis = axis;
                box.plane = plane;
            }
        }
    }
    // The floors in squaredError() can hide a small gain: none is negative.
    box.gain = least < error ? error - least : 0;
    return box;
}

// Puts the colours of [begin, end) up to `plane` along `axis` first; returns
// where the others start.
uint32_t partition(WeightedColour* colours, uint32_t begin, uint32_t end, int axis, int plane)
{
    uint32_t i = begin, j = end;
    while (i < j) {
        if (channel(colours[i], axis) <= plane)
            ++i;
        else
            std::swap(colours[i], colours[--j]);
    }
    return i;
}

void cutColours(WeightedColour* colours, uint32_t count, int maxColours, std::vector<Colour>* palette)
{
    std::vector<Box> boxes;
    boxes.reserve(maxColours);
    boxes.push_back(makeBox(colours, 0, count));
    while ((int)boxes.size() < maxColours) {
        int chosen = -1;
        for (int i = 0; i < (int)boxes.size(); ++i)
            if (boxes[i].end - boxes[i].begin > 1 && (chosen < 0 || boxes[i].gain > boxes[chosen].gain))
                chosen = i;
        if (chosen < 0)
            break;
        const Box box = boxes[chosen];
        const uint32_t cut = partition(colours, box.begin, box.end, box.axis, box.plane);
        boxes[chosen] = makeBox(colours, box.begin, cut);
        boxes.push_back(makeBox(colours, cut, box.end));
    }
    palette->clear();
    for (const Box& box : boxes)
        palette->push_back({roundedMean(box.sums.r, box.sums.n), roundedMean(box.sums.g, box.sums.n),
                            roundedMean(box.sums.b, box.sums.n)});
}

// Weighted k-means over the colours from the given start; returns the
// palette with the least total squared error seen.
std::vector<Colour> refine(const std::vector<WeightedColour>& colours, std::vector<Colour> palette)
{
    const int k = (int)palette.size();
    std::vector<Colour> best = palette;
    uint64_t bestError = UINT64_MAX;
    std::vector<uint64_t> errors(colours.size());
    std::vector<uint8_t> assigned(colours.size());  // each colour's palette colour in the last round
    std::vector<Sums> clusters(k);
    for (int round = 0;; ++round) {
        const NearestColour search(palette.data(), k, colours.size());
        std::fill(clusters.begin(), clusters.end(), Sums());
        uint64_t total = 0;
        for (size_t i = 0; i < colours.size(); ++i) {
            const WeightedColour& c = colours[i];
            const int j = search.find(c.r, c.g, c.b, round ? assigned[i] : -1);
            assigned[i] = (uint8_t)j;
            const Colour& p = palette[j];
            errors[i] = (uint64_t)c.count * squaredDistance(c.r, c.g, c.b, p.r, p.g, p.b);
            total += errors[i];
            clusters[j].add(c);
        }
        if (total < bestError) {
            bestError = total;
            best = palette;
        }
        if (round == kRefineRounds || total == 0)
            break;
        std::vector<Colour> moved(k);
        for (int j = 0; j < k; ++j) {
            const Sums& s = clusters[j];
            if (s.n) {
                moved[j] = {roundedMean(s.r, s.n), roundedMean(s.g, s.n), roundedMean(s.b, s.n)};
                continue;
            }
            // No colour came to it: it moves to the colour worst served.
            size_t worst = 0;
            for (size_t i = 1; i < colours.size(); ++i)
                if (errors[i] > errors[worst])
                    worst = i;
            moved[j] = palette[j];
            if (errors[worst]) {
                moved[j] = {colours[worst].r, colours[worst].g, colours[worst].b};
                errors[worst] = 0;
            }
        }
        if (memcmp(moved.data(), palette.data(), k * sizeof(Colour)) == 0)
            break;
        palette.swap(moved);
    }
    return best;
}

bool keyOrder(const Colour& a, const Colour& b)
{
    return colourKey(a.r, a.g, a.b) < colourKey(b.r, b.g, b.b);
}

bool sameColour(const Colour& a, const Colour& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

}

bool choosePalette(const WeightedColour* given, size_t count, int maxColours, Palette* palette)
{
    if (!palette || (!given && count) || maxColours < 1 || maxColours > kMaxPaletteColours)
        return false;
    uint64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        total += given[i].count;
        if (total > kMaxTotalWeight)
            return false;
    }
    // One entry per colour, in key order, whatever order they came in.
    std::vector<WeightedColour> colours;
    colours.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (given[i].count)
            colours.push_back(given[i]);
    std::sort(colours.begin(), colours.end(), [](const WeightedColour& a, const WeightedColour& b) {
        return colourKey(a.r, a.g, a.b) < colourKey(b.r, b.g, b.b);
    });
    size_t distinct = 0;
    for (size_t i = 0; i < colours.size(); ++i) {
        const WeightedColour& last = colours[distinct ? distinct - 1 : 0];
        if (distinct && last.r == colours[i].r && last.g == colours[i].g && last.b == colours[i].b)
            colours[distinct - 1].count += colours[i].count;
        else
            colours[distinct++] = colours[i];
    }
    colours.resize(distinct);

    std::vector<Colour> chosen;
    if ((int)distinct <= maxColours) {
        for (const WeightedColour& c : colours)
            chosen.push_back({c.r, c.g, c.b});
    } else {
        std::vector<WeightedColour> cutOrder = colours;
        cutColours(cutOrder.data(), (uint32_t)distinct, maxColours, &chosen);
        chosen = refine(colours, chosen);
        std::sort(chosen.begin(), chosen.end(), keyOrder);
        chosen.erase(std::unique(chosen.begin(), chosen.end(), sameColour), chosen.end());
    }
    memset(palette, 0, sizeof *palette);
    std::copy(chosen.begin(), chosen.end(), palette->colours);
    palette->count = (int)chosen.size();
    palette->exact = (int)distinct <= maxColours;
    return true;
}

}
