// The floor an export is measured against, and the measuring round, shared by
// the native benchmark and the one that drives the real porvane.xpi under Wine.
//
// The floor is what any export of this design must spend: allocate a fresh
// block of the output's size, copy the picture's rows into it, create the
// file, write the header and the block, close it, free the block. It makes the
// same Windows calls the plug-in makes, so that the ratio export / floor shows
// what the plug-in spends beyond them. The other kinds add, one at a time,
// the steps a real export takes on top of the floor, to break that down.
#ifndef PORVANE_EXPORT_FLOOR_H
#define PORVANE_EXPORT_FLOOR_H

#include <windows.h>

#include <stdint.h>
#include <chrono>
#include <string>

// The pictures measured, and how many rounds each gets.
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
    FLOOR,                // the floor itself, straight to the destination
    FLOOR_AND_SETTING,    // and the palette setting's read: create or open the key, query the value, close it
    FLOOR_VIA_OWN_NAME,   // through a temporary file named here and created once, then renamed
    FLOOR_KINDS
};
// Short labels for result tables: "floor", "+setting", "+ownname".
extern const char* const floorKindNames[FLOOR_KINDS];

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

#endif
