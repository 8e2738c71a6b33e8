// Speed of the real porvane.xpi, loaded as the host loads it, as a ratio to
// the floor of this design (export_floor.h) timed in the same process on the
// same picture. Every round runs each kind of floor export and CreatePicture
// once (measureRound); the best time of each over the rounds is kept, and the
// table shows the floor's best time and, for the export and for each step
// beyond the floor, best time / best floor time. Under emulation absolute
// times mean little; the ratios are what to compare.
//
//   porvane-wine-benchmark [--brief]   (from the DLL's folder)
//
// --brief: see briefCase. Exits 1 when an export fails.
#include <stdio.h>
#include <string.h>

#include "../wine/wine_test_support.h"
#include "export_floor.h"

namespace {

int32_t celRowBytes(int16_t depth, int32_t width)
{
    return depth == 24 ? 3 * width : depth == 32 ? 4 * width : width;
}

// False when an export failed; prints the case's line.
bool measure(const BenchmarkCase& c, const ScratchFolder& scratch)
{
    const int32_t stride = (c.width * (c.depth / 8) + 3) & ~3;
    std::vector<uint8_t> rows((size_t)stride * c.height);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = (uint8_t)(i * 7 + (i >> 8));
    HostPicture picture(c.depth, c.width, c.height, rows);
    rows = std::vector<uint8_t>();
    const FloorJob job = {(const uint8_t*)LocalLock(picture.bits), stride, c.height, celRowBytes(c.depth, c.width),
                          scratch.folder + "\\", scratch.path("picture.cel")};
    auto exportOnce = [&] {
        char path[MAX_PATH + 8];
        strcpy(path, job.path.c_str());
        return porvane().CreatePicture(path, 0, &picture.header, &picture.bits, picture.info, NULL, 0) == 0;
    };
    double best[FLOOR_KINDS + 1];
    for (double& seconds : best)
        seconds = 1e30;

    bool ok = job.bits != NULL;
    for (int round = 0; round < c.rounds && ok; ++round) {
        RoundTimes times = measureRound(round, job, exportOnce);
        ok = times.ok;
        for (int kind = 0; kind <= FLOOR_KINDS; ++kind)
            best[kind] = times.seconds[kind] < best[kind] ? times.seconds[kind] : best[kind];
    }
    LocalUnlock(picture.bits);
    if (!ok) {
        printf("%2d-bit %4d x %-4d  an export failed\n", c.depth, c.width, c.height);
        return false;
    }
    printf("%2d-bit %4d x %-4d %6d %10.2f %8.3f", c.depth, c.width, c.height, c.rounds, best[FLOOR] * 1e3,
           best[FLOOR_KINDS] / best[FLOOR]);
    for (int kind = FLOOR + 1; kind < FLOOR_KINDS; ++kind)
        printf(" %9.3f", best[kind] / best[FLOOR]);
    printf("\n");
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool brief = argc > 1 && strcmp(argv[1], "--brief") == 0;
    if (!porvane().error.empty()) {
        fprintf(stderr, "%s\n", porvane().error.c_str());
        return 1;
    }
    ScratchFolder scratch;
    if (scratch.folder.empty())
        return 1;
    printf("picture            rounds   floor ms   export");
    for (int kind = FLOOR + 1; kind < FLOOR_KINDS; ++kind)
        printf(" %9s", floorKindNames[kind]);
    printf("\n");
    bool ok = true;
    for (int i = 0; i < benchmarkCaseCount; ++i)
        ok = measure(brief ? briefCase(benchmarkCases[i]) : benchmarkCases[i], scratch) && ok;
    return ok ? 0 : 1;
}
