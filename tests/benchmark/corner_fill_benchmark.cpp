// The background fill of --transparent corner on a map of 4000 x 4000: one
// colour everywhere (one region, every pixel on one walk), and a map where
// three pixels in ten are another colour at random (one background of many
// branches and dead ends, with small islands of its colour apart). Each
// run reports the time of the fill and, as counters, the pixels reached and
// extra_kb: how far the process's peak memory rose past the map during the
// fills, which is the fill's own memory (none, beyond rounding to pages).
// --brief fills 400 x 400.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>
#include <vector>

#include "../../host/choosing/corner_fill.h"

namespace {

struct FillCase {
    const char* name;
    int32_t side;
    unsigned otherInTen;  // pixels in ten of another colour, at random
};

long peakKilobytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<uint8_t> mapOf(const FillCase& c)
{
    std::vector<uint8_t> map((size_t)c.side * c.side, FILL_LIKE_CORNERS);
    uint32_t state = 12345;
    for (uint8_t& pixel : map) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 8) % 10 < c.otherInTen)
            pixel = FILL_OTHER;
    }
    for (size_t corner : {(size_t)0, (size_t)c.side - 1, map.size() - c.side, map.size() - 1})
        map[corner] = FILL_LIKE_CORNERS;
    return map;
}

void fillTheBackground(benchmark::State& state, FillCase c)
{
    const std::vector<uint8_t> original = mapOf(c);
    std::vector<uint8_t> map = original;
    const long before = peakKilobytes();
    FillCounts counts;
    for (auto _ : state) {
        state.PauseTiming();
        map = original;
        state.ResumeTiming();
        counts = fillFromCorners(&map, c.side, c.side);
        benchmark::DoNotOptimize(counts);
    }
    state.counters["reached"] = (double)counts.reached;
    state.counters["extra_kb"] = (double)(peakKilobytes() - before);
}

}  // namespace

void registerCornerFillBenchmarks(bool brief)
{
    const FillCase cases[] = {{"one-colour", 4000, 0}, {"branching", 4000, 3}};
    for (FillCase c : cases) {
        if (brief)
            c.side /= 10;
        const std::string name = std::string("corner-fill/") + c.name + "/" + std::to_string(c.side);
        benchmark::RegisterBenchmark(name.c_str(), fillTheBackground, c)->Unit(benchmark::kMillisecond);
    }
}
