#include "export_floor.h"

#include <string.h>

const BenchmarkCase benchmarkCases[] = {
    {8, 640, 480, 100}, {24, 640, 480, 100}, {8, 4096, 4096, 15}, {24, 4096, 4096, 15}, {32, 4096, 4096, 15},
};
const int benchmarkCaseCount = sizeof benchmarkCases / sizeof benchmarkCases[0];

BenchmarkCase briefCase(BenchmarkCase full)
{
    const int32_t largest = 1024;
    return {full.depth, full.width < largest ? full.width : largest, full.height < largest ? full.height : largest, 1};
}

const char* const floorKindNames[FLOOR_KINDS] = {"floor", "+setting", "+ownname"};

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

static bool writeFile(const std::string& path, const uint8_t* block, DWORD blockBytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static const uint8_t header[32] = {'K', 'i', 'S', 'S'};
    DWORD written = 0;
    bool ok = WriteFile(file, header, sizeof header, &written, NULL) && WriteFile(file, block, blockBytes, &written, NULL);
    return CloseHandle(file) && ok;
}

static bool writeThroughTemporaryFile(const FloorJob& job, const uint8_t* block, DWORD blockBytes)
{
    // A name no file has, so creating it costs what CREATE_NEW would.
    char temporary[MAX_PATH];
    static unsigned counter = 0;
    wsprintfA(temporary, "%sflr%X.tmp", job.folder.c_str(), ++counter & 0xFFFF);
    if (!writeFile(temporary, block, blockBytes) ||
        !MoveFileExA(temporary, job.path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

bool exportAtTheFloor(FloorKind kind, const FloorJob& job)
{
    if (kind == FLOOR_AND_SETTING && !readTheSetting())
        return false;
    const DWORD blockBytes = (DWORD)job.rowBytes * (DWORD)job.rows;
    uint8_t* block = (uint8_t*)LocalAlloc(LMEM_FIXED, blockBytes > 0 ? blockBytes : 1);
    if (block == NULL)
        return false;
    for (int32_t row = 0; row < job.rows; ++row)  // bottom row first in the host, top row first in the file
        memcpy(block + (size_t)row * job.rowBytes, job.bits + (size_t)(job.rows - 1 - row) * job.stride, job.rowBytes);
    bool written = kind == FLOOR_VIA_OWN_NAME ? writeThroughTemporaryFile(job, block, blockBytes)
                                              : writeFile(job.path, block, blockBytes);
    LocalFree(block);
    return written;
}
