// Speed of an export on the native build, as ratios to the floors of
// export_floor.h timed in the same loop on the same picture: every iteration
// runs both floors and CreatePicture once (measureRound). The benchmark's own
// time is the export's; the counters are medians over the iterations:
// floor_ms, the floor's time in milliseconds; export/floor and export/safe,
// each round's export time over that round's floor and safe floor (with the
// quartiles of those ratios, _q1 and _q3); safe/floor, what porvane's
// guarantees cost.
//
//   porvane-benchmarks [--brief] [Google Benchmark's options]
#include <benchmark/benchmark.h>

#include <string.h>

#include <vector>

#include "../native/native_test_support.h"
#include "export_floor.h"

// colour_reduction_benchmark.cpp
void registerColourReductionBenchmarks(bool brief);
// lzh_benchmark.cpp
void registerLzhBenchmarks(bool brief);
// psd_benchmark.cpp
void registerPsdBenchmarks(bool brief);
// corner_fill_benchmark.cpp
void registerCornerFillBenchmarks(bool brief);

static void exportAgainstTheFloor(benchmark::State& state, BenchmarkCase c)
{
    ScratchFolder scratch;
    HostPicture picture(c.depth, c.width, c.height, patternBits(c.depth, c.width, c.height));
    const FloorJob job = {(const uint8_t*)LocalLock(picture.bits), hostStride(c.depth, c.width), c.height,
                          (int32_t)kissRowBytes(c.depth, c.width), scratch.folder + "/", scratch.path("picture.cel")};
    auto exportOnce = [&] {
        char path[MAX_PATH + 8];
        strcpy(path, job.path.c_str());
        return CreatePicture(path, 0, &picture.header, &picture.bits, infoRecord(picture), NULL, 0) == EXPORT_OK;
    };

    std::vector<RoundTimes> rounds;
    int round = 0;
    for (auto _ : state) {
        NativePlatform::resetCalls();  // the layer logs every call
        RoundTimes times = measureRound(round++, job, exportOnce);
        if (!times.ok)
            state.SkipWithError("an export failed");
        rounds.push_back(times);
        state.SetIterationTime(times.seconds[FLOOR_KINDS]);
    }
    LocalUnlock(picture.bits);

    const RoundSummary summary = summarize(rounds);
    state.counters["floor_ms"] = summary.floorMilliseconds;
    state.counters["export/floor"] = summary.exportToFloor;
    state.counters["export/floor_q1"] = summary.exportToFloorQuartiles[0];
    state.counters["export/floor_q3"] = summary.exportToFloorQuartiles[1];
    state.counters["export/safe"] = summary.exportToSafeFloor;
    state.counters["export/safe_q1"] = summary.exportToSafeFloorQuartiles[0];
    state.counters["export/safe_q3"] = summary.exportToSafeFloorQuartiles[1];
    state.counters["safe/floor"] = summary.safeFloorToFloor;
}

int main(int argc, char** argv)
{
    bool brief = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--brief") == 0)
            brief = true;
        else
            argv[kept++] = argv[i];  // the rest are Google Benchmark's options
    }
    argc = kept;
    for (int i = 0; i < benchmarkCaseCount; ++i) {
        const BenchmarkCase c = brief ? briefCase(benchmarkCases[i]) : benchmarkCases[i];
        std::string name = "export/" + std::to_string(c.depth) + "-bit/" + std::to_string(c.width) + "x" +
                           std::to_string(c.height);
        benchmark::RegisterBenchmark(name.c_str(), exportAgainstTheFloor, c)
            ->Iterations(c.rounds)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    registerColourReductionBenchmarks(brief);
    registerLzhBenchmarks(brief);
    registerPsdBenchmarks(brief);
    registerCornerFillBenchmarks(brief);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
