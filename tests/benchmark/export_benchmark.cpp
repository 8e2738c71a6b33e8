// Speed of an export on the native build, as a ratio to the floor of this
// design (export_floor.h) timed in the same loop on the same picture: every
// iteration runs each kind of floor export and CreatePicture once
// (measureRound), and the best time of each is kept. The benchmark's own time is the export's; the
// counters are the floor's best time in milliseconds and, for the export and
// each step beyond the floor, best time / best floor time.
//
//   porvane-benchmarks [--brief] [Google Benchmark's options]
#include <benchmark/benchmark.h>

#include <math.h>
#include <string.h>

#include "../native/native_test_support.h"
#include "export_floor.h"

// colour_reduction_benchmark.cpp
void registerColourReductionBenchmarks(bool brief);

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
    double best[FLOOR_KINDS + 1];
    for (double& seconds : best)
        seconds = HUGE_VAL;

    int round = 0;
    for (auto _ : state) {
        NativePlatform::resetCalls();  // the layer logs every call
        RoundTimes times = measureRound(round++, job, exportOnce);
        if (!times.ok)
            state.SkipWithError("an export failed");
        for (int kind = 0; kind <= FLOOR_KINDS; ++kind)
            best[kind] = fmin(best[kind], times.seconds[kind]);
        state.SetIterationTime(times.seconds[FLOOR_KINDS]);
    }
    LocalUnlock(picture.bits);

    state.counters["floor_ms"] = best[FLOOR] * 1e3;
    state.counters["export"] = best[FLOOR_KINDS] / best[FLOOR];
    for (int kind = FLOOR + 1; kind < FLOOR_KINDS; ++kind)
        state.counters[floorKindNames[kind]] = best[kind] / best[FLOOR];
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
