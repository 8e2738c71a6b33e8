// Helpers shared by the native tests, the fuzz target and the benchmarks:
// pictures handed over as a host hands them, the KiSS file they must become,
// a scratch folder with its own registry file, and the progress calls an
// export made. Free of gtest, so that the fuzz target can link it.
#ifndef PORVANE_NATIVE_TEST_SUPPORT_H
#define PORVANE_NATIVE_TEST_SUPPORT_H

#include <windows.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "../../plugin/plugin_api.h"
#include "native_platform.h"

// Bytes per host row (8 bits a pixel for a depth that makes no sense),
// padded to a multiple of 4 bytes.
int32_t hostStride(int32_t depth, int32_t width);
// Bytes per row of a KiSS file: packed, unpadded.
int64_t kissRowBytes(int32_t depth, int64_t width);

// A picture in movable memory handles, as the host passes it. `rows` are the
// host's rows as stored (bottom row first for a positive height).
struct HostPicture {
    HostPicture(int16_t depth, int32_t width, int32_t height, const std::vector<uint8_t>& rows);
    ~HostPicture();
    HostPicture(const HostPicture&) = delete;
    HostPicture& operator=(const HostPicture&) = delete;

    HLOCAL header;
    HLOCAL bits;
    PictureInfoRecord info;
};

// Host rows of the given size filled with a pattern that differs per byte.
std::vector<uint8_t> patternBits(int32_t depth, int32_t width, int32_t height, uint8_t seed = 0);

// The KiSS file the host rows must become, worked out pixel by pixel: the
// 32-byte header, then the rows top row first; depths with no conversion
// give zero rows. 32-bit pixels keep their bytes, and get alpha 255 when the
// picture has none at all.
std::vector<uint8_t> expectedKissFile(int16_t depth, int32_t width, int32_t height,
                                      const std::vector<uint8_t>& hostRows, uint8_t mark);

// The progress calls of one export, as (numerator, denominator, user value).
struct ProgressCall {
    LONG numerator, denominator, userValue;
    bool operator==(const ProgressCall& other) const
    {
        return numerator == other.numerator && denominator == other.denominator && userValue == other.userValue;
    }
};
extern std::vector<ProgressCall> progressCalls;
extern LONG progressAnswerAt;  // the numerator whose report answers "stop"; -1: never
LONG WINAPI recordProgress(LONG numerator, LONG denominator, LONG userValue);

// Calls CreatePicture with recordProgress and user value 77; `path` is
// copied into a buffer with room for the palette extension and copied back.
LONG exportTo(std::string* path, HostPicture& picture);

// A fresh folder under the system's temporary folder, removed with all it
// holds; the registry file of the native layer points into it meanwhile.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::string windowsPath(const std::string& name) const;  // as the host names it
    std::vector<std::string> names() const;  // the files in it but the registry, sorted
    std::string folder;
};

std::vector<std::string> folderEntries(const std::string& folder);  // sorted, without "." and ".."
bool isFolder(const std::string& path);
void removeTree(const std::string& path);
std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Stores "ChengePallet" in the native registry with the given type and bytes.
void storeSetting(DWORD type, const std::vector<uint8_t>& bytes);

#endif
