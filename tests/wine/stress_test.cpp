// Thousands of exports of random pictures to random names in one host
// process, through the real porvane.xpi: every file is compared with what an
// encoder written here independently expects, and the process's handle count
// and private memory must not grow.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

typedef LONG(WINAPI* ProgressFn)(LONG, LONG, LONG);
typedef LONG(WINAPI* CreatePictureFn)(LPSTR, DWORD, HLOCAL*, HLOCAL*, const void*, ProgressFn, LONG);

using Bytes = std::vector<uint8_t>;

// A fixed-seed generator, so that a failure can be replayed.
struct Random {
    uint32_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int range(int low, int high) { return low + (int)(next() % (uint32_t)(high - low + 1)); }
};

struct Picture {
    int16_t depth;
    int32_t width, height;
    Bytes bits;  // host rows, 4-byte aligned, bottom row first for a positive height
};

int32_t stride(int depth, int32_t width) { return (int32_t)(((int64_t)width * depth + 31) / 32 * 4); }

// What the file must hold, worked out from the KiSS format directly.
Bytes expectedFile(const Picture& p, bool palette)
{
    int32_t rows = p.height < 0 ? -p.height : p.height;
    int32_t rowBytes = p.depth == 1 ? (p.width + 7) / 8 : p.depth == 4 ? (p.width + 1) / 2
                       : p.depth == 24 ? p.width * 3 : p.width;
    Bytes file(32, 0);
    file[0] = 'K', file[1] = 'i', file[2] = 'S', file[3] = 'S';
    file[4] = palette ? 0x10 : 0x20;
    file[5] = (uint8_t)p.depth;
    file[8] = (uint8_t)p.width, file[9] = (uint8_t)(p.width >> 8);
    file[10] = (uint8_t)rows, file[11] = (uint8_t)(rows >> 8);
    int32_t sourceStride = stride(p.depth, p.width);
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* source = p.bits.data() + (size_t)(p.height < 0 ? y : rows - 1 - y) * sourceStride;
        for (int32_t i = 0; i < rowBytes; ++i) {
            uint8_t byte = 0;
            if (p.depth == 24)
                byte = source[i - i % 3 + 2 - i % 3];
            else if (p.depth == 8)
                byte = source[i];
            else if (p.depth == 1 || p.depth == 4) {
                int pixelsPerByte = 8 / p.depth;
                for (int k = 0; k < pixelsPerByte; ++k)
                    if (i * pixelsPerByte + k < p.width)
                        byte |= source[i] & (((1 << p.depth) - 1) << (8 - p.depth * (k + 1)));
            }
            file.push_back(byte);
        }
    }
    return file;
}

// The name a palette gets: ".kcf" in place of an extension among the last
// six characters, or after a name that a backslash there shows has none.
std::string paletteName(const std::string& path)
{
    for (size_t back = 1; back <= 6 && back <= path.size(); ++back) {
        size_t at = path.size() - back;
        if (path[at] == '\\')
            return path + ".kcf";
        if (path[at] == '.')
            return path.substr(0, at) + ".kcf";
    }
    return path;
}

HLOCAL movable(const void* bytes, size_t count)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, count ? count : 1);
    if (count)
        memcpy(LocalLock(handle), bytes, count), LocalUnlock(handle);
    return handle;
}

Bytes readAll(const std::string& path)
{
    Bytes bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    int c;
    while ((c = fgetc(file)) != EOF)
        bytes.push_back((uint8_t)c);
    fclose(file);
    return bytes;
}

void setPaletteMode(DWORD value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\brovald\\porvane", &key));
    RegSetValueExA(key, "ChengePallet", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
}

struct Usage {
    uintptr_t nextHandle;  // the value a new handle gets: handles are numbered from the lowest free slot
    SIZE_T privateBytes;
};
Usage usage()
{
    Usage now = {0, 0};
    HANDLE probe = CreateEventA(NULL, TRUE, FALSE, NULL);
    now.nextHandle = (uintptr_t)probe;
    CloseHandle(probe);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    now.privateBytes = counters.PagefileUsage;
    return now;
}

TEST(Stress, RandomPicturesAndNamesMatchAnIndependentEncoder)
{
    HMODULE plugin = LoadLibraryA(PORVANE_XPI);
    ASSERT_NE(nullptr, plugin);
    CreatePictureFn createPicture = (CreatePictureFn)GetProcAddress(plugin, "CreatePicture");
    ASSERT_NE(nullptr, createPicture);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "porvane-stress-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));

    const int exports = 3000, warmUp = 300;
    const int depths[] = {1, 4, 8, 8, 24, 24, 16, 32};
    const char nameCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-.";
    Random random = {20261209};
    Usage before = {0, 0};
    int mismatches = 0, palettes = 0;
    DWORD setting = 0;
    setPaletteMode(setting);

    for (int n = 0; n < exports; ++n) {
        if (n == warmUp)
            before = usage();
        Picture p;
        bool strip = random.range(0, 9) == 0;
        p.depth = (int16_t)(strip ? 24 : depths[random.range(0, 7)]);
        p.width = strip ? 256 : random.range(0, 97);
        p.height = strip ? 1 : random.range(-40, 40);
        p.bits.resize((size_t)stride(p.depth, p.width) * (size_t)(p.height < 0 ? -p.height : p.height));
        for (uint8_t& byte : p.bits)
            byte = (uint8_t)random.next();
        if (random.range(0, 19) == 0)
            setPaletteMode(setting = random.range(0, 2));

        std::string name;
        for (int length = random.range(1, 12); length > 0; --length)
            name += nameCharacters[random.range(0, (int)sizeof nameCharacters - 2)];
        if (name.back() == '.')
            name += 'z';  // Windows drops trailing full stops from file names
        std::string path = folder + "\\" + name;
        char buffer[MAX_PATH + 8] = {};
        strcpy(buffer, path.c_str());

        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = p.width;
        header.biHeight = p.height;
        header.biPlanes = 1;
        header.biBitCount = (WORD)p.depth;
        uint8_t info[32] = {};
        memcpy(info + 20, &p.depth, 2);
        HLOCAL headerHandle = movable(&header, sizeof header);
        HLOCAL bitsHandle = movable(p.bits.data(), p.bits.size());
        LONG status = createPicture(buffer, 0, &headerHandle, &bitsHandle, info, NULL, 0);
        LocalFree(headerHandle);
        LocalFree(bitsHandle);

        bool palette = setting == 1 && p.depth == 24 && p.width == 256 && p.height == 1;
        std::string expectedPath = palette ? paletteName(path) : path;
        Bytes expected = expectedFile(p, palette);
        Bytes written = readAll(expectedPath);
        palettes += palette;
        if (status != 0 || buffer != expectedPath || written != expected) {
            if (++mismatches <= 5)
                ADD_FAILURE() << "export " << n << ": " << p.depth << " bits " << p.width << " x " << p.height
                              << " to " << path << ": status " << status << ", name " << buffer << ", "
                              << written.size() << " bytes, expected " << expected.size();
        }
        DeleteFileA(expectedPath.c_str());
    }
    Usage after = usage();
    RemoveDirectoryA(folder.c_str());
    FreeLibrary(plugin);

    printf("%d exports (%d palettes), %d mismatches; next handle %#lx -> %#lx, private bytes %lu -> %lu\n", exports,
           palettes, mismatches, (unsigned long)before.nextHandle, (unsigned long)after.nextHandle,
           (unsigned long)before.privateBytes, (unsigned long)after.privateBytes);
    EXPECT_EQ(0, mismatches);
    EXPECT_LE(after.nextHandle, before.nextHandle);
    EXPECT_LE(after.privateBytes, before.privateBytes + 512 * 1024);
}

}
