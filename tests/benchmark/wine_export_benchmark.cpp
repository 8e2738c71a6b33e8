// Speed of the real porvane.xpi, loaded as the host loads it, as ratios to
// the floors of export_floor.h timed in the same process on the same
// picture. Every round runs both floors and CreatePicture once
// (measureRound); the table shows, as medians over the rounds, the floor's
// time, each round's export time over that round's floor and safe floor
// (with the quartiles of those ratios), and the safe floor over the floor,
// which is what porvane's guarantees cost. Under emulation absolute times
// mean little; the ratios are what to compare.
//
//   porvane-wine-benchmark [--brief]   (from the DLL's folder)
//
// --brief: see briefCase. Exits 1 when an export fails.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "../wine/wine_test_support.h"
#include "export_floor.h"

namespace {

// False when an export failed; prints the case's line.
bool measure(const BenchmarkCase& c, const ScratchFolder& scratch)
{
    HostPicture picture(c.depth, c.width, c.height, patternBits(c.depth, c.width, c.height));
    const FloorJob job = {(const uint8_t*)LocalLock(picture.bits), hostStride(c.depth, c.width), c.height,
                          (int32_t)kissRowBytes(c.depth, c.width), scratch.folder + "\\", scratch.path("picture.cel")};
    auto exportOnce = [&] {
        char path[MAX_PATH + 8];
        strcpy(path, job.path.c_str());
        return porvane().CreatePicture(path, 0, &picture.header, &picture.bits, picture.info, NULL, 0) == 0;
    };

    std::vector<RoundTimes> rounds;
    bool ok = job.bits != NULL;
    for (int round = 0; round < c.rounds && ok; ++round) {
        rounds.push_back(measureRound(round, job, exportOnce));
        ok = rounds.back().ok;
    }
    LocalUnlock(picture.bits);
    if (!ok) {
        printf("%2d-bit %4d x %-4d  an export failed\n", c.depth, c.width, c.height);
        return false;
    }
    const RoundSummary s = summarize(rounds);
    printf("%2d-bit %4d x %-4d %6d %9.2f %7.2f (%4.2f-%4.2f) %7.2f (%4.2f-%4.2f) %7.2f\n", c.depth, c.width, c.height,
           c.rounds, s.floorMilliseconds, s.exportToFloor, s.exportToFloorQuartiles[0], s.exportToFloorQuartiles[1],
           s.exportToSafeFloor, s.exportToSafeFloorQuartiles[0], s.exportToSafeFloorQuartiles[1], s.safeFloorToFloor);
    fflush(stdout);
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
    printf("medians over the rounds (quartiles of the ratio in brackets)\n");
    printf("picture            rounds  floor ms     export / floor      export / safe floor  safe / floor\n");
    bool ok = true;
    for (int i = 0; i < benchmarkCaseCount; ++i)
        ok = measure(brief ? briefCase(benchmarkCases[i]) : benchmarkCases[i], scratch) && ok;
    return ok ? 0 : 1;
}
