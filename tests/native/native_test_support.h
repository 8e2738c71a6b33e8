// Helpers of the native tests, the fuzz targets and the native benchmark,
// beside the ones both builds share (tests/shared: pictures as the host hands
// them and the KiSS file they must become, the scratch folder, the stored
// setting): the progress calls an export made, and plain file access. Free
// of gtest, so that the fuzz targets can link it.
#ifndef PORVANE_NATIVE_TEST_SUPPORT_H
#define PORVANE_NATIVE_TEST_SUPPORT_H

#include <windows.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "../../plugin/plugin_api.h"
#include "../shared/host_picture.h"
#include "../shared/scratch_folder.h"
#include "../shared/stored_setting.h"
#include "../../platform/native_platform.h"

// The host's picture information record as the plug-in's own type.
inline const PictureInfoRecord* infoRecord(const HostPicture& picture)
{
    static_assert(sizeof(PictureInfoRecord) <= sizeof picture.info, "the record fits the host's 32 bytes");
    return (const PictureInfoRecord*)picture.info;
}

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

bool isFolder(const std::string& path);
std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

#endif
