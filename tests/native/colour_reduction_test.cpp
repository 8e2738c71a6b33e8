// The colour reduction through its own interface, as the converter uses it:
// count the colours of every part, choose one palette, map every part.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>

#include "../../quantize/colour_reduction.h"

using namespace ColourReduction;

namespace ColourReduction {
static bool operator==(const Colour& a, const Colour& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
}

namespace {

struct Part {
    int32_t width, height;
    int channels;
    std::vector<uint8_t> bytes;
    Pixels pixels() const { return {bytes.data(), width, height, width * channels, channels}; }
    const uint8_t* at(size_t i) const { return &bytes[i * channels]; }
    bool visible(size_t i) const { return channels == 3 || at(i)[3] >= kVisibleAlpha; }
};

// One row of RGBA pixels, given as {r, g, b, a} each.
Part rowOf(const std::vector<std::vector<uint8_t>>& pixels)
{
    Part part = {(int32_t)pixels.size(), 1, 4, {}};
    for (const auto& p : pixels)
        part.bytes.insert(part.bytes.end(), p.begin(), p.end());
    return part;
}

uint32_t nextRandom(uint32_t* state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

// `count` colours, spread over the cube, each `repeat` times, opaque.
Part spread(int count, int repeat, uint32_t seed, int channels = 4)
{
    Part part = {count * repeat, 1, channels, {}};
    std::vector<uint32_t> colours;
    std::vector<bool> taken(1 << 24);
    for (uint32_t state = seed; (int)colours.size() < count;) {
        const uint32_t v = nextRandom(&state) & 0xFFFFFF;
        if (!taken[v])
            taken[v] = true, colours.push_back(v);
    }
    for (int r = 0; r < repeat; ++r)
        for (uint32_t c : colours) {
            const uint8_t bytes[4] = {(uint8_t)c, (uint8_t)(c >> 8), (uint8_t)(c >> 16), 255};
            part.bytes.insert(part.bytes.end(), bytes, bytes + channels);
        }
    return part;
}

struct Reduced {
    Palette palette;
    std::vector<std::vector<uint8_t>> indices;
};

Reduced reduce(const std::vector<Part>& parts, int maxColours)
{
    ColourHistogram histogram;
    for (const Part& part : parts)
        EXPECT_TRUE(countColours(&histogram, part.pixels()));
    const std::vector<WeightedColour> colours = histogramColours(histogram);
    Reduced reduced;
    EXPECT_TRUE(choosePalette(colours.data(), colours.size(), maxColours, &reduced.palette));
    for (const Part& part : parts) {
        reduced.indices.emplace_back((size_t)part.width * part.height, 0xEE);
        EXPECT_TRUE(mapPixels(part.pixels(), reduced.palette, false, reduced.indices.back().data(), part.width));
    }
    return reduced;
}

bool holds(const Palette& palette, const Colour& colour)
{
    return std::find(palette.colours, palette.colours + palette.count, colour) != palette.colours + palette.count;
}

}

TEST(ColourReduction, ColoursThatFitAreKeptExactly)
{
    const struct {
        int colours, maxColours, channels;
    } rows[] = {{1, 255, 4}, {3, 3, 3}, {200, 255, 4}, {255, 255, 4}, {255, 255, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.colours);
        const std::vector<Part> parts = {spread(row.colours, 2, 7, row.channels), spread(row.colours, 1, 7, row.channels)};
        const Reduced reduced = reduce(parts, row.maxColours);
        EXPECT_TRUE(reduced.palette.exact);
        EXPECT_EQ(row.colours, reduced.palette.count);
        for (size_t p = 0; p < parts.size(); ++p)
            for (size_t i = 0; i < reduced.indices[p].size(); ++i) {
                ASSERT_GE(reduced.indices[p][i], 1);
                const Colour& c = reduced.palette.colours[reduced.indices[p][i] - 1];
                EXPECT_TRUE(c.r == parts[p].at(i)[0] && c.g == parts[p].at(i)[1] && c.b == parts[p].at(i)[2]);
            }
    }
    EXPECT_FALSE(reduce({spread(256, 1, 7)}, 255).palette.exact);
}

TEST(ColourReduction, TransparentPixelsAreIndexZeroAndNeverCounted)
{
    const struct {
        Part part;
        int visibleColours;
    } rows[] = {
        {rowOf({{10, 20, 30, 0}, {10, 20, 30, 127}, {10, 20, 30, 128}, {40, 50, 60, 255}, {40, 50, 60, 255},
                {70, 80, 90, 127}, {40, 50, 60, 200}}),
         2},
        {rowOf({{10, 20, 30, 0}, {200, 20, 30, 127}}), 0},
        {spread(300, 1, 3, 3), 300},
    };
    for (const auto& row : rows) {
        ColourHistogram histogram;  // the part counted twice
        ASSERT_TRUE(countColours(&histogram, row.part.pixels()) && countColours(&histogram, row.part.pixels()));
        const std::vector<WeightedColour> colours = histogramColours(histogram);
        EXPECT_EQ((size_t)row.visibleColours, colours.size());
        for (const WeightedColour& c : colours) {
            size_t pixels = 0;
            for (size_t i = 0; i < (size_t)row.part.width; ++i)
                pixels += row.part.visible(i) && !memcmp(row.part.at(i), &c, 3);
            EXPECT_EQ(2 * pixels, c.count);
        }
        const Reduced reduced = reduce({row.part}, 255);
        for (size_t i = 0; i < reduced.indices[0].size(); ++i)
            EXPECT_EQ(row.part.visible(i), reduced.indices[0][i] != 0) << i;
    }
}

// A brute-force search against the mapping, ties included: a palette that
// holds colours twice and colours at equal distances from many pixels. Both
// ways of searching: few pixels for the palette, and many.
TEST(ColourReduction, EveryVisiblePixelGetsItsNearestColourTheFirstOnATie)
{
    const struct {
        uint32_t seed;
        int pixels;
    } rows[] = {{1, 2000}, {2, 2000}, {3, 16000}, {4, 16000}};
    for (const auto& row : rows) {
        const uint32_t seed = row.seed;
        Palette palette = {};
        uint32_t state = seed;
        palette.count = 40 + (int)(nextRandom(&state) % 200);
        for (int i = 0; i < palette.count; ++i) {
            const uint32_t v = nextRandom(&state);
            palette.colours[i] = {(uint8_t)(v & 0xC0), (uint8_t)(v >> 8 & 0xC0), (uint8_t)(v >> 16 & 0xC0)};
        }
        palette.colours[palette.count - 1] = palette.colours[0];
        Part part = spread(row.pixels, 1, seed);
        for (uint8_t& byte : part.bytes)
            byte &= 0xE0;  // on the palette's grid or halfway between, often
        std::vector<uint8_t> indices(part.bytes.size() / 4), nearestIndices;
        ASSERT_TRUE(mapPixels(part.pixels(), palette, false, indices.data(), part.width));
        for (size_t i = 0; i < indices.size(); ++i) {
            int nearest = 0;
            uint32_t least = UINT32_MAX;
            for (int j = 0; j < palette.count; ++j) {
                const Colour& c = palette.colours[j];
                const int dr = c.r - part.at(i)[0], dg = c.g - part.at(i)[1], db = c.b - part.at(i)[2];
                const uint32_t d = (uint32_t)(dr * dr + dg * dg + db * db);
                if (d < least)
                    least = d, nearest = j;
            }
            nearestIndices.push_back((uint8_t)(1 + nearest));
        }
        EXPECT_EQ(nearestIndices, indices) << "seed " << seed;
    }
}

TEST(ColourReduction, SameColoursInAnyOrderGiveTheSameBytes)
{
    const std::vector<Part> rows[] = {{spread(500, 3, 11), spread(200, 1, 12)}, {spread(255, 2, 13)}};
    for (const std::vector<Part>& parts : rows) {
        const Reduced once = reduce(parts, 255), twice = reduce(parts, 255);
        EXPECT_EQ(0, memcmp(&once.palette, &twice.palette, sizeof once.palette));
        EXPECT_EQ(once.indices, twice.indices);

        // The same weighted colours reversed, and with each count split over two entries.
        ColourHistogram histogram;
        for (const Part& part : parts)
            ASSERT_TRUE(countColours(&histogram, part.pixels()));
        std::vector<WeightedColour> colours = histogramColours(histogram), split;
        for (auto c = colours.rbegin(); c != colours.rend(); ++c) {
            split.push_back({c->r, c->g, c->b, c->count / 2});
            split.insert(split.begin(), {c->r, c->g, c->b, c->count - c->count / 2});
        }
        std::reverse(colours.begin(), colours.end());
        for (const auto& given : {colours, split}) {
            Palette palette;
            ASSERT_TRUE(choosePalette(given.data(), given.size(), 255, &palette));
            EXPECT_EQ(0, memcmp(&once.palette, &palette, sizeof palette));
        }
    }
}

// Sets whose best palette is known. Well-apart clusters, as many as the
// palette may hold: each cluster is one to three pairs of a centre's
// neighbours on opposite sides with equal counts, so its weighted mean, the
// best palette colour for it, is the centre. And two heavy colours one step
// apart at the top of an axis, worth keeping apart rather than two light ones.
struct KnownBest {
    std::vector<WeightedColour> colours;
    std::vector<Colour> best;
};

KnownBest clustersAround(int clusters)
{
    KnownBest set;
    for (int i = 0; i < clusters; ++i) {
        const Colour c = {(uint8_t)(4 + 31 * (i % 8)), (uint8_t)(4 + 31 * (i / 8 % 8)), (uint8_t)(4 + 31 * (i / 64))};
        set.best.push_back(c);
        const int offsets[][3] = {{3, 0, 0}, {0, 2, 1}, {1, 1, 3}};
        for (int k = 0; k < 1 + i % 3; ++k)
            for (int side : {1, -1})
                set.colours.push_back({(uint8_t)(c.r + side * offsets[k][0]), (uint8_t)(c.g + side * offsets[k][1]),
                                       (uint8_t)(c.b + side * offsets[k][2]), 1 + (uint32_t)(i + k) % 5});
    }
    return set;
}

TEST(ColourReduction, SetsWithAKnownBestPaletteGetIt)
{
    const KnownBest rows[] = {clustersAround(2), clustersAround(17), clustersAround(255),
                              {{{254, 0, 0, 50}, {255, 0, 0, 50}, {0, 0, 0, 1}, {0, 0, 4, 1}},
                               {{0, 0, 2}, {254, 0, 0}, {255, 0, 0}}}};
    for (const KnownBest& row : rows) {
        Palette palette;
        ASSERT_TRUE(choosePalette(row.colours.data(), row.colours.size(), (int)row.best.size(), &palette));
        std::vector<Colour> best = row.best;
        std::sort(best.begin(), best.end(), [](const Colour& a, const Colour& b) {
            return a.r != b.r ? a.r < b.r : a.g != b.g ? a.g < b.g : a.b < b.b;
        });
        EXPECT_TRUE(std::vector<Colour>(palette.colours, palette.colours + palette.count) == best) << best.size();
    }
}

// A colour of many pixels among many of few keeps its own palette entry, and
// its pixels keep their colour.
TEST(ColourReduction, AHeavyColourIsKeptExactly)
{
    const struct {
        Colour heavy;
        int maxColours;
    } rows[] = {{{101, 67, 203}, 8}, {{13, 250, 77}, 64}, {{128, 128, 128}, 255}};
    for (const auto& row : rows) {
        Part part = spread(1500, 1, 5);
        const uint8_t heavy[4] = {row.heavy.r, row.heavy.g, row.heavy.b, 255};
        for (int i = 0; i < 5000; ++i)
            part.bytes.insert(part.bytes.end(), heavy, heavy + 4);
        part.width = (int32_t)(part.bytes.size() / 4);
        const Reduced reduced = reduce({part}, row.maxColours);
        EXPECT_TRUE(holds(reduced.palette, row.heavy)) << row.maxColours;
        EXPECT_TRUE(reduced.palette.colours[reduced.indices[0].back() - 1] == row.heavy);
    }
}

// Floyd and Steinberg: a flat colour between the only two palette colours
// comes out as a mix of both whose mean is that colour, and transparent
// pixels stay 0 in the middle of it.
TEST(ColourReduction, DitheringMixesColoursToTheirMean)
{
    Part part = {64, 64, 4, {}};
    for (int i = 0; i < 64 * 64; ++i) {
        const uint8_t p[4] = {120, 60, 30, (uint8_t)(i % 7 == 3 ? 0 : 255)};
        part.bytes.insert(part.bytes.end(), p, p + 4);
    }
    Palette palette = {{{0, 0, 0}, {200, 100, 50}}, 2, false};
    for (bool dither : {false, true}) {
        std::vector<uint8_t> indices(64 * 64);
        ASSERT_TRUE(mapPixels(part.pixels(), palette, dither, indices.data(), 64));
        long sum[3] = {}, visible = 0;
        for (size_t i = 0; i < indices.size(); ++i) {
            ASSERT_EQ(part.visible(i), indices[i] != 0);
            if (!indices[i])
                continue;
            const Colour& c = palette.colours[indices[i] - 1];
            sum[0] += c.r, sum[1] += c.g, sum[2] += c.b, ++visible;
        }
        const long want[3] = {120, 60, 30};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(dither, labs(sum[k] / visible - want[k]) <= 2) << "channel " << k << " dither " << dither;
    }
}

TEST(ColourReduction, CallsOutsideTheLimitsAreRefused)
{
    const Part part = spread(10, 1, 1);
    const std::vector<WeightedColour> colours = {{1, 2, 3, 4}};
    const WeightedColour tooHeavy[] = {{1, 2, 3, 0xFFFFFFFFu}, {4, 5, 6, 1}};
    Palette palette = {{{9, 9, 9}}, 1, false};
    for (int maxColours : {0, 256})
        EXPECT_FALSE(choosePalette(colours.data(), colours.size(), maxColours, &palette));
    EXPECT_FALSE(choosePalette(tooHeavy, 2, 255, &palette));
    EXPECT_TRUE(palette.count == 1 && palette.colours[0] == Colour({9, 9, 9}));  // untouched
    std::vector<uint8_t> indices(part.width);
    const Pixels wrong[] = {{part.bytes.data(), part.width, 1, part.width * 4, 2},
                            {part.bytes.data(), part.width, 1, part.width * 4 - 1, 4},
                            {part.bytes.data(), kMaxSide + 1, 1, (kMaxSide + 1) * 4, 4}};
    for (const Pixels& pixels : wrong) {
        ColourHistogram histogram;
        EXPECT_FALSE(countColours(&histogram, pixels));
        EXPECT_FALSE(mapPixels(pixels, palette, false, indices.data(), part.width));
    }
    palette.count = 0;
    EXPECT_FALSE(mapPixels(part.pixels(), palette, false, indices.data(), part.width));
}
