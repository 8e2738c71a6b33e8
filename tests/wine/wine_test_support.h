// What the tests of the real porvane.xpi share: the module loaded as a host
// loads it, pictures handed over as the host hands them, a recording
// progress callback, a scratch folder and the palette-mode setting.
//
// Nothing here includes the plug-in's own headers: the tests see only what a
// host sees, so the types below are written from the host's side.
#ifndef PORVANE_WINE_TEST_SUPPORT_H
#define PORVANE_WINE_TEST_SUPPORT_H

#include <windows.h>

#include <stdint.h>
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../shared/palette_renames.h"

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

// The KiSS file porvane should write for `pixels`, computed independently of
// the plug-in: 32-byte header with `mark`, then packed rows, top row first.
enum { MARK_CEL = 0x20, MARK_PALETTE = 0x10 };
std::vector<uint8_t> expectedKissFile(const Pixels& pixels, uint8_t mark);

// The picture in movable memory handles (BITMAPINFOHEADER, rows) plus the
// 32-byte information record with the depth at offset 20.
struct HostPicture {
    // `headerHeight` as the header says it (negative: top row first).
    HostPicture(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& rows);
    // The rows of `pixels`, with `junk` in the bits and bytes past each row's
    // last pixel, as a host may leave them.
    HostPicture(const Pixels& pixels, bool topDown, uint8_t junk = 0xEE);
    ~HostPicture();
    HostPicture(const HostPicture&) = delete;
    HostPicture& operator=(const HostPicture&) = delete;

    HLOCAL header;
    HLOCAL bits;
    uint8_t info[32];
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

typedef std::vector<std::string> Names;

// A fresh folder under GetTempPath, removed with its contents at the end.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder + "\\" + name; }
    Names names() const;
    std::string folder;  // no trailing separator
};

Names folderEntries(const std::string& folder);  // sorted, without "." and ".."
Names fileEntries(const std::string& folder);    // the same without the folders in it
// `path` for the wide file functions: with "\\?\" when it is too long for the ANSI ones.
std::wstring wholePath(const std::string& path);
// Bytes up to and including the last \\ or / that is a character of its own
// in the ANSI code page (the second byte of a Japanese character may be 0x5C).
size_t folderPartLength(const std::string& path);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// The message names the sizes and the first differing offset.
::testing::AssertionResult fileHolds(const std::string& path, const std::vector<uint8_t>& expected);

// ---------------------------------------------------------------------------
// Palette names (paletteRenames), relative to a folder in which
// makePaletteRenameFolders made the dotted folders the names use.

bool makePaletteRenameFolders(const ScratchFolder& folder);

// ---------------------------------------------------------------------------
// The palette-mode setting: HKCU\Software\brovald\porvane, value "ChengePallet"

extern const char settingsKeyPath[];
bool storeSetting(DWORD type, const std::vector<uint8_t>& bytes);
bool storeSettingDword(DWORD value);
bool deleteSetting();  // true also when it was not there; never creates the key
bool settingsKeyExists();
bool readSetting(DWORD* type, std::vector<uint8_t>* bytes);  // false when absent

#endif
