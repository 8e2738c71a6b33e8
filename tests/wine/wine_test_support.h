// What the tests of the real porvane.xpi share: the module loaded once per
// program as a host loads it, pictures handed over as the host hands them
// (movable memory handles and a 32-byte picture information record), a
// progress callback that records its calls, a scratch folder, and the
// palette-mode setting in the registry.
//
// Nothing here includes the plug-in's own headers: the tests see only what a
// host sees, so the types below are written from the host's side.
#ifndef PORVANE_WINE_TEST_SUPPORT_H
#define PORVANE_WINE_TEST_SUPPORT_H

#include <windows.h>

#include <stdint.h>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

typedef LONG(WINAPI* ProgressFn)(LONG numerator, LONG denominator, LONG userValue);
typedef LONG(WINAPI* GetPluginInfoFn)(LONG index, LPSTR buffer, LONG bufferLength);
typedef LONG(WINAPI* IsSupportedFn)(LONG value);
typedef LONG(WINAPI* CreatePictureFn)(LPSTR path, DWORD flags, HLOCAL* bitmapInfo, HLOCAL* bits, const void* info,
                                      ProgressFn progress, LONG userValue);
typedef LONG(WINAPI* ConfigurationDlgFn)(HWND parent, LONG function);

// The loaded module and its four exports, found by name.
struct Porvane {
    HMODULE module;
    GetPluginInfoFn GetPluginInfo;
    IsSupportedFn IsSupported;
    CreatePictureFn CreatePicture;
    ConfigurationDlgFn ConfigurationDlg;
    std::string error;  // why loading failed; empty when all is there
    bool ready() const { return error.empty(); }
};

// Loads PORVANE_XPI from the current folder at the first call (the program
// starts in the DLL's folder) and keeps it for the program's life.
const Porvane& porvane();

// For fixtures: fails the current test when the module is not usable.
#define ASSERT_PORVANE_READY() ASSERT_TRUE(porvane().ready()) << porvane().error

// ---------------------------------------------------------------------------
// Pictures

// Bytes per host row: the row's packed bytes rounded up to a multiple of 4.
int32_t hostStride(int32_t depth, int32_t width);

// A picture as the user sees it: one value per pixel, top row first. For
// depths up to 8 a value is a colour index, for 24 it is 0xRRGGBB; for other
// depths it is the raw pixel (the low depth/8 bytes are stored).
struct Pixels {
    int16_t depth;
    int32_t width;
    int32_t height;  // rows, >= 0
    std::vector<uint32_t> values;
    uint32_t at(int32_t x, int32_t y) const { return values[(size_t)y * width + x]; }
};

// Pixels whose values differ from pixel to pixel and from seed to seed.
Pixels patternPixels(int16_t depth, int32_t width, int32_t height, uint32_t seed);

// The host's rows for `pixels`, bottom row first unless `topDown`. Bits past
// the last pixel of a row and the padding bytes are filled with `junk`, as a
// host may leave them.
std::vector<uint8_t> hostRows(const Pixels& pixels, bool topDown, uint8_t junk = 0xEE);

// The KiSS file porvane should write for `pixels`: the 32-byte header with
// the given mark, then the packed rows, top row first.
enum { MARK_CEL = 0x20, MARK_PALETTE = 0x10 };
std::vector<uint8_t> expectedKissFile(const Pixels& pixels, uint8_t mark);

// A picture in movable memory handles, as the host passes it: a
// BITMAPINFOHEADER in one handle, the rows in another, and the picture
// information record with the colour depth at offset 20. `headerHeight` is
// what the header says (negative: top row first).
struct HostPicture {
    HostPicture(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& bits);
    // The usual case: the rows of `pixels`, bottom-up or top-down.
    HostPicture(const Pixels& pixels, bool topDown);
    ~HostPicture();
    HostPicture(const HostPicture&) = delete;
    HostPicture& operator=(const HostPicture&) = delete;

    HLOCAL header;
    HLOCAL bits;
    uint8_t info[32];

private:
    void build(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& bits);
};

// How often a movable handle is locked at the moment.
UINT lockCount(HLOCAL handle);

// ---------------------------------------------------------------------------
// Progress

struct ProgressCall {
    LONG numerator, denominator, userValue;
    bool operator==(const ProgressCall& other) const
    {
        return numerator == other.numerator && denominator == other.denominator && userValue == other.userValue;
    }
};
void PrintTo(const ProgressCall& call, std::ostream* out);

// The calls recordProgress received since the last resetProgress, and the
// numerator at which it answers "stop" (-1: never).
extern std::vector<ProgressCall> progressCalls;
void resetProgress(LONG stopAtNumerator = -1);
LONG WINAPI recordProgress(LONG numerator, LONG denominator, LONG userValue);

// Calls CreatePicture for `picture` with `*path` in a buffer that has room
// for four more characters (as the host gives it) and copies the buffer back
// into `*path`. Resets the progress record first. Afterwards both handles
// must be unlocked again; a handle left locked fails the current test.
LONG exportPicture(std::string* path, HostPicture& picture, ProgressFn progress = recordProgress,
                   LONG userValue = 77, LONG stopAtNumerator = -1);

// ---------------------------------------------------------------------------
// Files

// A fresh folder under the user's temporary folder (GetTempPath), removed
// with everything in it at the end.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder + "\\" + name; }
    std::vector<std::string> names() const;  // what it holds, sorted
    std::string folder;                     // no trailing separator
};

std::vector<std::string> folderEntries(const std::string& folder);  // sorted, without "." and ".."
bool fileExists(const std::string& path);
bool readFile(const std::string& path, std::vector<uint8_t>* bytes);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Compares two byte strings; the message names the sizes and the first
// differing offset instead of printing both in full.
::testing::AssertionResult sameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected);

// The file at `path` holds exactly `expected`.
::testing::AssertionResult fileHolds(const std::string& path, const std::vector<uint8_t>& expected);

// ---------------------------------------------------------------------------
// The palette-mode setting: HKCU\Software\brovald\porvane, value "ChengePallet"

extern const char settingsKeyPath[];
extern const char paletteSettingName[];

bool storeSetting(DWORD type, const std::vector<uint8_t>& bytes);
bool storeSettingDword(DWORD value);
bool deleteSetting();      // the value only; true also when it was not there
bool deleteSettingsKey();  // the key (and "brovald" if that is left empty); true also when absent
bool settingsKeyExists();
// Reads the value back; false when it does not exist.
bool readSetting(DWORD* type, std::vector<uint8_t>* bytes);

#endif
