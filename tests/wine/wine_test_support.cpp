#include "wine_test_support.h"

#include <stdio.h>
#include <string.h>
#include <algorithm>

// ---------------------------------------------------------------------------
// The module

static Porvane loadPorvane()
{
    Porvane loaded = {};
    // A full name, so that the search order cannot pick up another copy and
    // a test that changes the current folder later cannot matter.
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) {
        loaded.error = "cannot read the current folder";
        return loaded;
    }
    std::string file = std::string(folder) + "\\" + PORVANE_XPI;
    loaded.module = LoadLibraryA(file.c_str());
    if (loaded.module == NULL) {
        loaded.error = "LoadLibraryA(" + file + ") failed, error " + std::to_string(GetLastError());
        return loaded;
    }
    loaded.GetPluginInfo = (GetPluginInfoFn)(void*)GetProcAddress(loaded.module, "GetPluginInfo");
    loaded.IsSupported = (IsSupportedFn)(void*)GetProcAddress(loaded.module, "IsSupported");
    loaded.CreatePicture = (CreatePictureFn)(void*)GetProcAddress(loaded.module, "CreatePicture");
    loaded.ConfigurationDlg = (ConfigurationDlgFn)(void*)GetProcAddress(loaded.module, "ConfigurationDlg");
    if (loaded.GetPluginInfo == NULL)
        loaded.error += "GetPluginInfo not exported by name; ";
    if (loaded.IsSupported == NULL)
        loaded.error += "IsSupported not exported by name; ";
    if (loaded.CreatePicture == NULL)
        loaded.error += "CreatePicture not exported by name; ";
    if (loaded.ConfigurationDlg == NULL)
        loaded.error += "ConfigurationDlg not exported by name; ";
    return loaded;
}

const Porvane& porvane()
{
    static const Porvane loaded = loadPorvane();
    return loaded;
}

namespace {
// Loads the module before the first test, while the current folder still is
// the DLL's. It stays loaded until the process ends, as in the host.
class ModuleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { porvane(); }
};
::testing::Environment* const moduleEnvironment = ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);
}

// ---------------------------------------------------------------------------
// Pictures

int32_t hostStride(int32_t depth, int32_t width)
{
    int64_t bits = (int64_t)width * depth;
    return (int32_t)((bits + 31) / 32 * 4);
}

Pixels patternPixels(int16_t depth, int32_t width, int32_t height, uint32_t seed)
{
    Pixels pixels = {depth, width, height, {}};
    pixels.values.resize((size_t)width * height);
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint32_t& value : pixels.values) {
        state = state * 1103515245u + 12345u;
        uint32_t random = state >> 8;
        if (depth == 1 || depth == 4 || depth == 8)
            value = random & ((1u << depth) - 1);
        else if (depth == 24)
            value = random & 0xFFFFFF;
        else
            value = random;
    }
    return pixels;
}

static void putBits(uint8_t* row, int32_t x, int32_t depth, uint32_t value)
{
    // Leftmost pixel in the high bits of a byte.
    int32_t perByte = 8 / depth;
    int32_t shift = 8 - depth * (x % perByte + 1);
    uint8_t mask = (uint8_t)(((1u << depth) - 1) << shift);
    uint8_t& byte = row[x / perByte];
    byte = (uint8_t)((byte & ~mask) | ((value << shift) & mask));
}

std::vector<uint8_t> hostRows(const Pixels& pixels, bool topDown, uint8_t junk)
{
    const int32_t stride = hostStride(pixels.depth, pixels.width);
    std::vector<uint8_t> bits((size_t)stride * pixels.height, junk);
    for (int32_t row = 0; row < pixels.height; ++row) {
        int32_t y = topDown ? row : pixels.height - 1 - row;
        uint8_t* out = bits.data() + (size_t)row * stride;
        for (int32_t x = 0; x < pixels.width; ++x) {
            uint32_t value = pixels.at(x, y);
            switch (pixels.depth) {
            case 1:
            case 4:
                putBits(out, x, pixels.depth, value);
                break;
            case 8:
                out[x] = (uint8_t)value;
                break;
            case 24:
                out[3 * x] = (uint8_t)value;              // blue
                out[3 * x + 1] = (uint8_t)(value >> 8);   // green
                out[3 * x + 2] = (uint8_t)(value >> 16);  // red
                break;
            default:
                break;
            }
        }
        if (pixels.depth != 1 && pixels.depth != 4 && pixels.depth != 8 && pixels.depth != 24) {
            // No KiSS form exists for these; any non-zero content shows that
            // none of it reaches the file.
            for (int32_t i = 0; i < stride; ++i)
                out[i] = (uint8_t)(junk + 31 * i + row);
        }
    }
    return bits;
}

std::vector<uint8_t> expectedKissFile(const Pixels& pixels, uint8_t mark)
{
    std::vector<uint8_t> file(32, 0);
    file[0] = 'K';
    file[1] = 'i';
    file[2] = 'S';
    file[3] = 'S';
    file[4] = mark;
    file[5] = (uint8_t)(pixels.depth & 0xFF);
    file[8] = (uint8_t)(pixels.width & 0xFF);
    file[9] = (uint8_t)(pixels.width >> 8);
    file[10] = (uint8_t)(pixels.height & 0xFF);
    file[11] = (uint8_t)(pixels.height >> 8);

    int32_t rowBytes;
    switch (pixels.depth) {
    case 1: rowBytes = (pixels.width + 7) / 8; break;
    case 4: rowBytes = (pixels.width + 1) / 2; break;
    case 24: rowBytes = 3 * pixels.width; break;
    default: rowBytes = pixels.width; break;
    }
    for (int32_t y = 0; y < pixels.height; ++y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int32_t x = 0; x < pixels.width; ++x) {
            uint32_t value = pixels.at(x, y);
            switch (pixels.depth) {
            case 1:
            case 4:
                putBits(row.data(), x, pixels.depth, value);
                break;
            case 8:
                row[x] = (uint8_t)value;
                break;
            case 24:
                row[3 * x] = (uint8_t)(value >> 16);     // red
                row[3 * x + 1] = (uint8_t)(value >> 8);  // green
                row[3 * x + 2] = (uint8_t)value;         // blue
                break;
            default:
                break;  // stays zero
            }
        }
        file.insert(file.end(), row.begin(), row.end());
    }
    return file;
}

HostPicture::HostPicture(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& rows)
{
    build(depth, width, headerHeight, rows);
}

HostPicture::HostPicture(const Pixels& pixels, bool topDown)
{
    build(pixels.depth, pixels.width, topDown ? -pixels.height : pixels.height, hostRows(pixels, topDown));
}

void HostPicture::build(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& rows)
{
    header = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 40);
    // A movable block of 0 bytes is "discarded" and cannot be locked; the
    // host always hands over a real block.
    bits = LocalAlloc(LMEM_MOVEABLE, rows.empty() ? 4 : rows.size());
    if (header == NULL || bits == NULL) {
        ADD_FAILURE() << "LocalAlloc failed for a " << rows.size() << "-byte picture";
        return;
    }
    BITMAPINFOHEADER* bitmapHeader = (BITMAPINFOHEADER*)LocalLock(header);
    bitmapHeader->biSize = sizeof(BITMAPINFOHEADER);
    bitmapHeader->biWidth = width;
    bitmapHeader->biHeight = headerHeight;
    bitmapHeader->biPlanes = 1;
    bitmapHeader->biBitCount = (WORD)depth;
    bitmapHeader->biCompression = BI_RGB;
    bitmapHeader->biSizeImage = (DWORD)rows.size();
    LocalUnlock(header);
    uint8_t* out = (uint8_t*)LocalLock(bits);
    if (!rows.empty())
        memcpy(out, rows.data(), rows.size());
    LocalUnlock(bits);

    // The host's own fields around the colour depth are not the plug-in's
    // business; filling them shows that it reads only offset 20.
    memset(info, 0xC3, sizeof info);
    info[20] = (uint8_t)(depth & 0xFF);
    info[21] = (uint8_t)((uint16_t)depth >> 8);
}

HostPicture::~HostPicture()
{
    if (header != NULL)
        LocalFree(header);
    if (bits != NULL)
        LocalFree(bits);
}

UINT lockCount(HLOCAL handle)
{
    return LocalFlags(handle) & LMEM_LOCKCOUNT;
}

// ---------------------------------------------------------------------------
// Progress

std::vector<ProgressCall> progressCalls;
static LONG stopAt = -1;

void PrintTo(const ProgressCall& call, std::ostream* out)
{
    *out << "(" << call.numerator << ", " << call.denominator << ", " << call.userValue << ")";
}

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
    // Room for ".kcf" past the name, then a guard zone the plug-in must not
    // write to.
    const size_t guard = 32;
    std::vector<char> buffer(path->size() + 1 + 4 + guard, (char)0xA5);
    memcpy(buffer.data(), path->c_str(), path->size() + 1);

    LONG status = porvane().CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, picture.info, progress,
                                          userValue);

    for (size_t i = path->size() + 5; i < buffer.size(); ++i) {
        if (buffer[i] != (char)0xA5) {
            ADD_FAILURE() << "CreatePicture wrote past the room the host left, at offset " << i << " of the path buffer";
            break;
        }
    }
    size_t end = std::find(buffer.begin(), buffer.begin() + path->size() + 5, '\0') - buffer.begin();
    if (end == path->size() + 5)
        ADD_FAILURE() << "the path buffer holds no terminating zero after CreatePicture";
    path->assign(buffer.data(), end);

    if (lockCount(picture.header) != 0 || lockCount(picture.bits) != 0)
        ADD_FAILURE() << "CreatePicture left a handle locked: header " << lockCount(picture.header) << ", bits "
                      << lockCount(picture.bits);
    return status;
}

// ---------------------------------------------------------------------------
// Files

// Wide calls with the "\\?\" form, so that files whose names are too long
// for the ANSI calls (the long-name tests make such) go as well.
static void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0)
                continue;
            std::wstring path = folder + L"\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

static void removeTree(const std::string& folder)
{
    int length = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, NULL, 0);
    if (length <= 0)
        return;
    std::wstring wide(length - 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &wide[0], length);
    removeTree(L"\\\\?\\" + wide);
}

ScratchFolder::ScratchFolder()
{
    static unsigned counter = 0;
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        ADD_FAILURE() << "GetTempPathA failed";
        return;
    }
    std::string base(temp, length);
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        snprintf(name, sizeof name, "\\porvane-e2e-%lu-%u", (unsigned long)GetCurrentProcessId(), ++counter);
        std::string candidate = base + name;
        if (CreateDirectoryA(candidate.c_str(), NULL)) {
            folder = candidate;
            return;
        }
    }
    ADD_FAILURE() << "cannot create a scratch folder under " << base;
}

ScratchFolder::~ScratchFolder()
{
    if (!folder.empty())
        removeTree(folder);
}

std::vector<std::string> ScratchFolder::names() const
{
    return folderEntries(folder);
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool readFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, NULL)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return ok;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) &&
                                written == bytes.size());
    return CloseHandle(file) && ok;
}

::testing::AssertionResult sameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    size_t common = std::min(actual.size(), expected.size());
    size_t first = std::mismatch(actual.begin(), actual.begin() + common, expected.begin()).first - actual.begin();
    if (first == common && actual.size() == expected.size())
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << actual.size() << " bytes where " << expected.size() << " were expected";
    if (first < common) {
        char detail[80];
        snprintf(detail, sizeof detail, "; first difference at offset %u: 0x%02X instead of 0x%02X", (unsigned)first,
                 actual[first], expected[first]);
        failure << detail;
    } else {
        failure << "; the shorter one is a prefix of the other";
    }
    return failure;
}

::testing::AssertionResult fileHolds(const std::string& path, const std::vector<uint8_t>& expected)
{
    std::vector<uint8_t> actual;
    if (!readFile(path, &actual))
        return ::testing::AssertionFailure() << path << " cannot be read (error " << GetLastError() << ")";
    ::testing::AssertionResult same = sameBytes(actual, expected);
    if (!same)
        return ::testing::AssertionFailure() << path << ": " << same.message();
    return same;
}

// ---------------------------------------------------------------------------
// The palette-mode setting

const char settingsKeyPath[] = "Software\\brovald\\porvane";
const char paletteSettingName[] = "ChengePallet";
static const char makerKeyPath[] = "Software\\brovald";

bool storeSetting(DWORD type, const std::vector<uint8_t>& bytes)
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_CURRENT_USER, settingsKeyPath, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, paletteSettingName, 0, type, bytes.empty() ? NULL : bytes.data(),
                                 (DWORD)bytes.size());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool storeSettingDword(DWORD value)
{
    std::vector<uint8_t> bytes = {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16),
                                  (uint8_t)(value >> 24)};
    return storeSetting(REG_DWORD, bytes);
}

bool deleteSetting()
{
    // Opened, not created: deleting the value must not bring the key into being.
    HKEY key = NULL;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    LONG result = RegDeleteValueA(key, paletteSettingName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool deleteSettingsKey()
{
    LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, settingsKeyPath);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        return false;
    // The maker's key goes too, but only when nothing else lives in it.
    HKEY maker = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, makerKeyPath, 0, KEY_READ, &maker) == ERROR_SUCCESS) {
        DWORD subkeys = 0, values = 0;
        bool empty = RegQueryInfoKeyA(maker, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL,
                                      NULL) == ERROR_SUCCESS &&
                     subkeys == 0 && values == 0;
        RegCloseKey(maker);
        if (empty)
            RegDeleteKeyA(HKEY_CURRENT_USER, makerKeyPath);
    }
    return !settingsKeyExists();
}

bool settingsKeyExists()
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool readSetting(DWORD* type, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, paletteSettingName, NULL, type, NULL, &size);
    if (result == ERROR_SUCCESS) {
        bytes->resize(size);
        result = RegQueryValueExA(key, paletteSettingName, NULL, type, size ? bytes->data() : NULL, &size);
        bytes->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
