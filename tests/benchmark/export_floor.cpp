#include "export_floor.h"

#include <string.h>

#include <algorithm>

const BenchmarkCase benchmarkCases[] = {
    {8, 640, 480, 101}, {24, 640, 480, 101}, {8, 4096, 4096, 21}, {24, 4096, 4096, 21}, {32, 4096, 4096, 21},
};
const int benchmarkCaseCount = sizeof benchmarkCases / sizeof benchmarkCases[0];

BenchmarkCase briefCase(BenchmarkCase full)
{
    const int32_t largest = 1024;
    return {full.depth, full.width < largest ? full.width : largest, full.height < largest ? full.height : largest, 1};
}

static bool readTheSetting()
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\brovald\\porvane", &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 4;
    BYTE data[4] = {0, 0, 0, 0};
    RegQueryValueExA(key, "ChengePallet", NULL, &type, data, &size);  // absent is as good as present
    RegCloseKey(key);
    return true;
}

static bool writeFile(const std::string& path, DWORD creation, const uint8_t* block, DWORD blockBytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, creation, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static const uint8_t header[32] = {'K', 'i', 'S', 'S'};
    DWORD written = 0;
    bool ok = WriteFile(file, header, sizeof header, &written, NULL) && WriteFile(file, block, blockBytes, &written, NULL);
    return CloseHandle(file) && ok;
}

// A new file under a name of its own beside the destination, renamed over
// the destination once written.
static bool replaceSafely(const FloorJob& job, const uint8_t* block, DWORD blockBytes)
{
    char temporary[MAX_PATH];
    static unsigned counter = 0;
    wsprintfA(temporary, "%sflr%X.tmp", job.folder.c_str(), ++counter & 0xFFFF);
    if (!writeFile(temporary, CREATE_NEW, block, blockBytes) ||
        !MoveFileExA(temporary, job.path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

bool exportAtTheFloor(FloorKind kind, const FloorJob& job)
{
    if (kind == SAFE_FLOOR && !readTheSetting())
        return false;
    const DWORD blockBytes = (DWORD)job.rowBytes * (DWORD)job.rows;
    uint8_t* block = (uint8_t*)LocalAlloc(LMEM_FIXED, blockBytes > 0 ? blockBytes : 1);
    if (block == NULL)
        return false;
    for (int32_t row = 0; row < job.rows; ++row)  // bottom row first in the host, top row first in the file
        memcpy(block + (size_t)row * job.rowBytes, job.bits + (size_t)(job.rows - 1 - row) * job.stride, job.rowBytes);
    bool written = kind == SAFE_FLOOR ? replaceSafely(job, block, blockBytes)
                                      : writeFile(job.path, CREATE_ALWAYS, block, blockBytes);
    LocalFree(block);
    return written;
}

// The value at `fraction` (0 to 1) of the sorted values, between neighbours.
static double quantile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    double at = fraction * (double)(values.size() - 1);
    size_t below = (size_t)at;
    if (below + 1 >= values.size())
        return values.back();
    return values[below] + (at - (double)below) * (values[below + 1] - values[below]);
}

RoundSummary summarize(const std::vector<RoundTimes>& rounds)
{
    std::vector<double> floors, toFloor, toSafeFloor, safeToFloor;
    for (const RoundTimes& round : rounds) {
        const double floor = round.seconds[FLOOR], safe = round.seconds[SAFE_FLOOR], exported = round.seconds[FLOOR_KINDS];
        floors.push_back(floor);
        toFloor.push_back(exported / floor);
        toSafeFloor.push_back(exported / safe);
        safeToFloor.push_back(safe / floor);
    }
    RoundSummary summary;
    summary.floorMilliseconds = quantile(floors, 0.5) * 1e3;
    summary.exportToFloor = quantile(toFloor, 0.5);
    summary.exportToSafeFloor = quantile(toSafeFloor, 0.5);
    summary.safeFloorToFloor = quantile(safeToFloor, 0.5);
    summary.exportToFloorQuartiles[0] = quantile(toFloor, 0.25);
    summary.exportToFloorQuartiles[1] = quantile(toFloor, 0.75);
    summary.exportToSafeFloorQuartiles[0] = quantile(toSafeFloor, 0.25);
    summary.exportToSafeFloorQuartiles[1] = quantile(toSafeFloor, 0.75);
    return summary;
}
