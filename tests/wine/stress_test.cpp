// Thousands of exports of random pictures to random names in one host
// process, through the real porvane.xpi: every file must be what the test's
// own encoder expects, and the process's handles and private memory must not
// grow.
#include <windows.h>
#include <psapi.h>

#include "wine_test_support.h"

namespace {

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

struct Usage {
    uintptr_t nextHandle;  // the value a new handle gets: handles take the lowest free slot
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
    ASSERT_PORVANE_READY();
    ScratchFolder scratch;
    const int exports = 3000, warmUp = 300;
    const int16_t depths[] = {1, 4, 8, 8, 24, 24, 16, 32};
    const char nameCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-.";
    Random random = {20261209};
    Usage before = {0, 0};
    int mismatches = 0, palettes = 0;
    DWORD setting = 0;
    ASSERT_TRUE(storeSettingDword(setting));

    for (int n = 0; n < exports; ++n) {
        if (n == warmUp)
            before = usage();
        bool strip = random.range(0, 9) == 0;
        Pixels pixels = patternPixels(strip ? 24 : depths[random.range(0, 7)], strip ? 256 : random.range(0, 97),
                                      strip ? 1 : random.range(0, 40), random.next());
        bool topDown = !strip && random.range(0, 1) == 1;
        if (random.range(0, 19) == 0)
            ASSERT_TRUE(storeSettingDword(setting = random.range(0, 2)));

        std::string name;
        for (int length = random.range(1, 12); length > 0; --length)
            name += nameCharacters[random.range(0, (int)sizeof nameCharacters - 2)];
        if (name.back() == '.')
            name += 'z';  // Windows drops trailing full stops from file names
        const std::string path = scratch.path(name);

        HostPicture picture(pixels, topDown);
        std::string written = path;
        LONG status = exportPicture(&written, picture, nullptr);

        bool palette = setting == 1 && pixels.depth == 24 && pixels.width == 256 && pixels.height == 1 && !topDown;
        std::string expectedPath = palette ? paletteName(path) : path;
        palettes += palette;
        if (status != 0 || written != expectedPath ||
            !fileHolds(expectedPath, expectedKissFile(pixels, palette ? MARK_PALETTE : MARK_CEL))) {
            if (++mismatches <= 5)
                ADD_FAILURE() << "export " << n << ": " << pixels.depth << " bits " << pixels.width << " x "
                              << pixels.height << (topDown ? " top-down" : "") << " to " << path << ": status "
                              << status << ", name " << written;
        }
        DeleteFileA(expectedPath.c_str());
    }
    Usage after = usage();

    printf("%d exports (%d palettes), %d mismatches; next handle %#lx -> %#lx, private bytes %lu -> %lu\n", exports,
           palettes, mismatches, (unsigned long)before.nextHandle, (unsigned long)after.nextHandle,
           (unsigned long)before.privateBytes, (unsigned long)after.privateBytes);
    EXPECT_EQ(0, mismatches);
    EXPECT_LE(after.nextHandle, before.nextHandle);
    EXPECT_LE(after.privateBytes, before.privateBytes + 512 * 1024);
    EXPECT_TRUE(scratch.names().empty()) << "files left behind";
}

}
