// The floors an export is measured against, and the measuring round, shared
// by the native benchmark and the one that drives the real porvane.xpi under
// Wine.
//
// The floor is what any export of a picture to a file must spend: allocate a
// fresh block of the output's size, copy the picture's rows into it, create
// the file, write the header and the block, close it, free the block. The
// safe floor adds what porvane keeps on top of that for its users: it reads
// the palette-mode setting (create or open the key, query the value, close
// it), and it never writes over the destination but into a new temporary
// file beside it, renamed over the destination once complete, so that a
// failed export never leaves a truncated file. Both make the same Windows
// calls the plug-in makes, so that export / floor shows what an export costs
// in all, and export / safe floor what porvane spends beyond its guarantees.
#ifndef PORVANE_EXPORT_FLOOR_H
#define PORVANE_EXPORT_FLOOR_H

#include <windows.h>

#include <stdint.h>
#include <chrono>
#include <string>
#include <vector>

// The pictures measured, and how many rounds each gets: enough for a median
// that holds still while single rounds spread by 15% and more.
struct BenchmarkCase {
    int16_t depth;
    int32_t width, height;
    int rounds;
};
extern const BenchmarkCase benchmarkCases[];
extern const int benchmarkCaseCount;
// What --brief runs instead: one round, the picture cut to 1024 x 1024 at
// most. The programs are exercised without taking long; the ratios are too
// rough to quote.
BenchmarkCase briefCase(BenchmarkCase full);

enum FloorKind {
    FLOOR,       // straight to the destination
    SAFE_FLOOR,  // the setting read, and a new temporary file renamed over the destination
    FLOOR_KINDS
};

// The host's rows as the export finds them once both handles are locked, and
// the destination of every export, floor or real.
struct FloorJob {
    const uint8_t* bits;
    int32_t stride;    // bytes per host row
    int32_t rows;
    int32_t rowBytes;  // bytes per cel row
    std::string folder;  // with its trailing separator
    std::string path;    // a file in it
};

// One export the way `kind` says; false when a call failed.
bool exportAtTheFloor(FloorKind kind, const FloorJob& job);

template <typename Work>
double secondsFor(Work work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times of one round: seconds[kind] for each floor kind, seconds[FLOOR_KINDS]
// for the export (`exportOnce` returns true when it succeeded).
struct RoundTimes {
    double seconds[FLOOR_KINDS + 1];
    bool ok;
};

// Each floor kind and the export once, in an order shuffled by `round`, so
// that none of them always comes first or follows the same neighbour. Each
// writes a new file: the destination is deleted, untimed, before it. (How
// much replacing an existing file costs depends on the file system, not on
// the export: on Linux, truncating a file and writing it again can take
// longer than writing a new one and renaming it over the old.)
template <typename Export>
RoundTimes measureRound(int round, const FloorJob& job, Export exportOnce)
{
    int order[FLOOR_KINDS + 1] = {0};
    uint32_t random = (uint32_t)round * 2654435761u + 1;
    for (int i = 0; i <= FLOOR_KINDS; ++i) {
        random = random * 1103515245u + 12345u;
        int j = (int)((random >> 16) % (uint32_t)(i + 1));
        order[i] = order[j];
        order[j] = i;
    }
    RoundTimes times = {{}, true};
    for (int kind : order) {
        DeleteFileA(job.path.c_str());
        bool ok = false;
        times.seconds[kind] = secondsFor([&] {
            ok = kind == FLOOR_KINDS ? exportOnce() : exportAtTheFloor((FloorKind)kind, job);
        });
        times.ok = times.ok && ok;
    }
    return times;
}

// What the rounds of one picture come to. Each round's export is set against
// the floors timed in the same round, which cancels what the machine's load
// does to all three alike; the medians over the rounds are reported, with
// the middle half of the rounds' ratios around them.
struct RoundSummary {
    double floorMilliseconds;   // median of the floor's times
    double exportToFloor;       // median of the rounds' export / floor
    double exportToSafeFloor;   // median of the rounds' export / safe floor
    double safeFloorToFloor;    // median of the rounds' safe floor / floor: what the guarantees cost
    double exportToFloorQuartiles[2];
    double exportToSafeFloorQuartiles[2];
};
RoundSummary summarize(const std::vector<RoundTimes>& rounds);

#endif
