// Speed of an export on the native build: conversion plus the two writes, for
// the picture sizes doll makers use, and the memory one export holds (the
// output block, reported as a counter).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include "../native/native_test_support.h"

static void exportPicture(benchmark::State& state)
{
    const int16_t depth = (int16_t)state.range(0);
    const int32_t width = (int32_t)state.range(1), height = (int32_t)state.range(2);
    ScratchFolder scratch;
    HostPicture picture(depth, width, height, patternBits(depth, width, height));
    for (auto _ : state) {
        std::string path = scratch.path("bench.cel");
        if (exportTo(&path, picture) != EXPORT_OK)
            state.SkipWithError("export failed");
    }
    int64_t blockBytes = (int64_t)(depth == 24 ? 3 : 1) * width * height;
    state.SetBytesProcessed(state.iterations() * blockBytes);
    state.counters["block_bytes"] = (double)blockBytes;
}
BENCHMARK(exportPicture)->Args({8, 640, 480})->Args({24, 640, 480})->Args({24, 2048, 2048})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
