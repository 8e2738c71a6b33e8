// What the tests of the real porvane.xpi share, beside the helpers of both
// builds (tests/shared: pictures as the host hands them and the KiSS file
// they must become, the scratch folder, the stored setting): the module
// loaded as a host loads it, pictures made from pixel values, a recording
// progress callback, file access, and the palette-mode setting's key.
//
// The tests see what a host sees: the only code of the plug-in they use is
// its path helper (cel/path_text.h), to split the paths they expect.
#ifndef PORVANE_WINE_TEST_SUPPORT_H
#define PORVANE_WINE_TEST_SUPPORT_H

#include <windows.h>

#include <stdint.h>
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../cel/path_text.h"
#include "../shared/host_picture.h"
#include "../shared/palette_renames.h"
#include "../shared/scratch_folder.h"
#include "../shared/stored_setting.h"

typedef LONG(WINAPI* ProgressFn)(LONG numerator, LONG denominator, LONG userValue);

struct Porvane {
    HMODULE module;
    LONG(WINAPI* GetPluginInfo)(LONG index, LPSTR buffer, LONG bufferLength);
    LONG(WINAPI* IsSupported)(LONG value);
    LONG(WINAPI* CreatePicture)(LPSTR path, DWORD flags, HLOCAL* bitmapInfo, HLOCAL* bits, const void* info,
                                ProgressFn progress, LONG userValue);
    LONG(WINAPI* ConfigurationDlg)(HWND parent, LONG function);
    std::string error;  // why loading failed; empty when all four exports are there
};

// PORVANE_XPI from the folder the program starts in (the DLL's), loaded
// before the first test and kept for the program's life, as in the host.
const Porvane& porvane();
#define ASSERT_PORVANE_READY() ASSERT_TRUE(porvane().error.empty()) << porvane().error

// ---------------------------------------------------------------------------
// Pictures

// One value per pixel, top row first: a colour index for depths up to 8,
// 0xRRGGBB for 24, 0xAARRGGBB for 32, the raw pixel otherwise.
struct Pixels {
    int16_t depth;
    int32_t width;
    int32_t height;  // >= 0
    std::vector<uint32_t> values;
    uint32_t at(int32_t x, int32_t y) const { return values[(size_t)y * width + x]; }
};

// Values that differ from pixel to pixel and from seed to seed (at 32 bits,
// alpha too).
Pixels patternPixels(int16_t depth, int32_t width, int32_t height, uint32_t seed);

// The host's rows for `pixels`, bottom row first unless `topDown`, with
// `junk` in the bits and bytes past each row's last pixel, as a host may
// leave them.
std::vector<uint8_t> hostRows(const Pixels& pixels, bool topDown, uint8_t junk = 0xEE);

// The KiSS file porvane should write for `pixels` (expectedKissFile of their
// host rows).
std::vector<uint8_t> expectedKissFile(const Pixels& pixels, uint8_t mark);

// The picture of `pixels` as the host hands it over.
struct PixelPicture : HostPicture {
    PixelPicture(const Pixels& pixels, bool topDown, uint8_t junk = 0xEE)
        : HostPicture(pixels.depth, pixels.width, topDown ? -pixels.height : pixels.height,
                      hostRows(pixels, topDown, junk))
    {
    }
};

inline UINT lockCount(HLOCAL handle) { return LocalFlags(handle) & LMEM_LOCKCOUNT; }

// ---------------------------------------------------------------------------
// Progress: the calls recordProgress received since the last export, as
// (numerator, denominator, userValue).

typedef std::array<LONG, 3> ProgressCall;
typedef std::vector<ProgressCall> Calls;
extern Calls progressCalls;
LONG WINAPI recordProgress(LONG numerator, LONG denominator, LONG userValue);
// Clears progressCalls; recordProgress answers "stop" at `stopAtNumerator`.
void resetProgress(LONG stopAtNumerator = -1);

// CreatePicture with `*path` in a buffer that has room for four more
// characters, as the host gives it; `*path` is updated from the buffer. Fails
// the current test if the buffer is overrun or left unterminated, or a handle
// is left locked.
LONG exportPicture(std::string* path, HostPicture& picture, ProgressFn progress = recordProgress,
                   LONG userValue = 77, LONG stopAtNumerator = -1);

// ---------------------------------------------------------------------------
// Files

typedef std::vector<std::string> Names;  // sorted, as folderEntries gives them

Names fileEntries(const std::string& folder);  // folderEntries without the folders
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// The message names the sizes and the first differing offset.
::testing::AssertionResult fileHolds(const std::string& path, const std::vector<uint8_t>& expected);

// ---------------------------------------------------------------------------
// Palette names (paletteRenames), relative to a folder in which
// makePaletteRenameFolders made the dotted folders the names use.

bool makePaletteRenameFolders(const ScratchFolder& folder);

// ---------------------------------------------------------------------------
// The palette-mode setting: HKCU\Software\brovald\porvane, value "ChengePallet"
// (tests/shared/stored_setting.h stores and reads it)

bool deleteSetting();  // true also when it was not there; never creates the key
bool settingsKeyExists();

#endif
