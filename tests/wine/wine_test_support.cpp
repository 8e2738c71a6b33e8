#include "wine_test_support.h"

#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <type_traits>

// ---------------------------------------------------------------------------
// The module

static Porvane loadPorvane()
{
    Porvane loaded = {};
    // A full name, so that the search order cannot pick up another copy.
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    std::string file = std::string(folder, length < sizeof folder ? length : 0) + "\\" + PORVANE_XPI;
    loaded.module = LoadLibraryA(file.c_str());
    if (loaded.module == NULL) {
        loaded.error = "LoadLibraryA(" + file + ") failed, error " + std::to_string(GetLastError());
        return loaded;
    }
    auto find = [&](auto& function, const char* name) {
        function = (std::remove_reference_t<decltype(function)>)(void*)GetProcAddress(loaded.module, name);
        if (function == NULL)
            loaded.error += std::string(name) + " not exported by name; ";
    };
    find(loaded.GetPluginInfo, "GetPluginInfo");
    find(loaded.IsSupported, "IsSupported");
    find(loaded.CreatePicture, "CreatePicture");
    find(loaded.ConfigurationDlg, "ConfigurationDlg");
    return loaded;
}

const Porvane& porvane()
{
    static const Porvane loaded = loadPorvane();
    return loaded;
}

namespace {
// Before the first test, while the current folder still is the DLL's.
struct ModuleEnvironment : ::testing::Environment {
    void SetUp() override { porvane(); }
};
::testing::Environment* const moduleEnvironment = ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);
}

// ---------------------------------------------------------------------------
// Pictures

Pixels patternPixels(int16_t depth, int32_t width, int32_t height, uint32_t seed)
{
    Pixels pixels = {depth, width, height, std::vector<uint32_t>((size_t)width * height)};
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint32_t& value : pixels.values) {
        state = state * 1103515245u + 12345u;
        value = depth == 32 ? state ^ state >> 16 : state >> 8;
        if (depth == 1 || depth == 4 || depth == 8)
            value &= (1u << depth) - 1;
        else if (depth == 24)
            value &= 0xFFFFFF;
    }
    return pixels;
}

// Row y of `pixels` into `out` as the host stores it: 1 and 4 bits with the
// leftmost pixel in the high bits, 24 bits blue-green-red, 32 bits
// blue-green-red-alpha. Bytes and bits that hold no pixel are left as they are.
static void packRow(const Pixels& pixels, int32_t y, uint8_t* out)
{
    for (int32_t x = 0; x < pixels.width; ++x) {
        uint32_t value = pixels.at(x, y);
        switch (pixels.depth) {
        case 1:
        case 4: {
            int32_t perByte = 8 / pixels.depth, shift = 8 - pixels.depth * (x % perByte + 1);
            uint8_t mask = (uint8_t)(((1u << pixels.depth) - 1) << shift);
            out[x / perByte] = (uint8_t)((out[x / perByte] & ~mask) | ((value << shift) & mask));
            break;
        }
        case 8:
            out[x] = (uint8_t)value;
            break;
        case 24:
            out[3 * x] = (uint8_t)value;  // blue
            out[3 * x + 1] = (uint8_t)(value >> 8);
            out[3 * x + 2] = (uint8_t)(value >> 16);
            break;
        case 32:
            for (int byte = 0; byte < 4; ++byte)
                out[4 * x + byte] = (uint8_t)(value >> 8 * byte);
            break;
        }
    }
}

std::vector<uint8_t> expectedKissFile(const Pixels& pixels, uint8_t mark)
{
    return expectedKissFile(pixels.depth, pixels.width, pixels.height, hostRows(pixels, false, 0), mark);
}

// Rows padded to 4 bytes.
std::vector<uint8_t> hostRows(const Pixels& pixels, bool topDown, uint8_t junk)
{
    const int32_t stride = (int32_t)(((int64_t)pixels.width * pixels.depth + 31) / 32 * 4);
    std::vector<uint8_t> bits((size_t)stride * pixels.height, junk);
    for (int32_t row = 0; row < pixels.height; ++row) {
        uint8_t* out = bits.data() + (size_t)row * stride;
        packRow(pixels, topDown ? row : pixels.height - 1 - row, out);
        // Depths without a cel form: any non-zero content shows that none
        // of it reaches the file.
        if (pixels.depth != 1 && pixels.depth != 4 && pixels.depth != 8 && pixels.depth != 24 && pixels.depth != 32)
            for (int32_t i = 0; i < stride; ++i)
                out[i] = (uint8_t)(junk + 31 * i + row);
    }
    return bits;
}

// ---------------------------------------------------------------------------
// Progress

Calls progressCalls;
static LONG stopAt = -1;

void resetProgress(LONG stopAtNumerator)
{
    progressCalls.clear();
    stopAt = stopAtNumerator;
}

LONG WINAPI recordProgress(LONG numerator, LONG denominator, LONG userValue)
{
    progressCalls.push_back({numerator, denominator, userValue});
    return numerator == stopAt ? 1 : 0;
}

LONG exportPicture(std::string* path, HostPicture& picture, ProgressFn progress, LONG userValue, LONG stopAtNumerator)
{
    resetProgress(stopAtNumerator);
    // The name, its zero and four more characters, then a guard zone.
    const size_t room = path->size() + 5;
    std::vector<char> buffer(room + 32, (char)0xA5);
    memcpy(buffer.data(), path->c_str(), path->size() + 1);

    LONG status = porvane().CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, picture.info, progress,
                                          userValue);

    if (std::any_of(buffer.begin() + room, buffer.end(), [](char c) { return c != (char)0xA5; }))
        ADD_FAILURE() << "CreatePicture wrote past the room the host left in the path buffer";
    size_t end = std::find(buffer.begin(), buffer.begin() + room, '\0') - buffer.begin();
    if (end == room)
        ADD_FAILURE() << "the path buffer holds no terminating zero after CreatePicture";
    path->assign(buffer.data(), end);
    if (lockCount(picture.header) != 0 || lockCount(picture.bits) != 0)
        ADD_FAILURE() << "CreatePicture left a handle locked: header " << lockCount(picture.header) << ", bits "
                      << lockCount(picture.bits);
    return status;
}

// ---------------------------------------------------------------------------
// Files

// The test's own file calls go through the wide functions (wholePath), so
// that the long-name tests' files can be made, read and removed whatever
// porvane makes of them.

Names fileEntries(const std::string& folder)
{
    Names files;
    for (const std::string& name : folderEntries(folder))
        if (!(GetFileAttributesW(wholePath(folder + "\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(name);
    return files;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(wholePath(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size();
    return CloseHandle(file) && ok;
}

::testing::AssertionResult fileHolds(const std::string& path, const std::vector<uint8_t>& expected)
{
    HANDLE file = CreateFileW(wholePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return ::testing::AssertionFailure() << path << " cannot be opened (error " << GetLastError() << ")";
    // One byte more than expected, so that a longer file shows.
    std::vector<uint8_t> actual(expected.size() + 1);
    DWORD got = 0;
    BOOL read = ReadFile(file, actual.data(), (DWORD)actual.size(), &got, NULL);
    CloseHandle(file);
    if (!read)
        return ::testing::AssertionFailure() << path << " cannot be read";
    actual.resize(got);
    size_t common = std::min(actual.size(), expected.size());
    size_t first = std::mismatch(actual.begin(), actual.begin() + common, expected.begin()).first - actual.begin();
    if (first == common && actual.size() == expected.size())
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << path << ": " << (got > expected.size() ? "more than " : "") << actual.size() << " bytes where "
            << expected.size() << " were expected";
    if (first < common) {
        char detail[80];
        snprintf(detail, sizeof detail, "; first difference at offset %u: 0x%02X instead of 0x%02X", (unsigned)first,
                 actual[first], expected[first]);
        failure << detail;
    }
    return failure;
}

// ---------------------------------------------------------------------------
// Palette names

bool makePaletteRenameFolders(const ScratchFolder& folder)
{
    for (const char* name : paletteRenameFolders)
        if (!CreateDirectoryA(folder.path(name).c_str(), NULL))
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// The palette-mode setting

bool deleteSetting()
{
    HKEY key = NULL;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return opened == ERROR_FILE_NOT_FOUND;
    LONG result = RegDeleteValueA(key, settingName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool settingsKeyExists()
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
