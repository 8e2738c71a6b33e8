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
    ASSERT_TRUE(makePaletteRenameFolders(scratch));
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

        // A strip is named from the hand-written table of palette names, so
        // that a palette lands where the table says; other pictures get
        // random names, some in a dotted folder reached by a slash.
        const PaletteRename& row = paletteRenames[random.range(0, paletteRenameCount - 1)];
        std::string name = strip ? row.given : "";
        for (int length = strip ? 0 : random.range(1, 12); length > 0; --length)
            name += nameCharacters[random.range(0, (int)sizeof nameCharacters - 2)];
        if (!strip && name.back() == '.')
            name += 'z';  // Windows drops trailing full stops from file names
        if (!strip && random.range(0, 3) == 0)
            name = (random.range(0, 1) ? "v1.2/" : "v1.2\\w.x/") + name;
        const std::string path = scratch.path(name);

        PixelPicture picture(pixels, topDown);
        std::string written = path;
        LONG status = exportPicture(&written, picture, nullptr);

        bool palette = setting == 1 && pixels.depth == 24 && pixels.width == 256 && pixels.height == 1 && !topDown;
        std::string expectedPath = palette ? scratch.path(row.result) : path;
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
    EXPECT_EQ(scratch.names(), Names{"v1.2"}) << "files left behind";
    EXPECT_EQ(folderEntries(scratch.path("v1.2")), Names{"w.x"}) << "files left behind";
    EXPECT_TRUE(folderEntries(scratch.path("v1.2\\w.x")).empty()) << "files left behind";
}

// A host that breaks its promise of one call at a time: several threads
// exporting strips in palette mode, and cels, at once. Each export must come
// out as if the calls had been made one after another.
struct Worker {
    std::string folder;
    int exports;
    int mismatches;
    std::string firstMismatch;
};

DWORD WINAPI exportInTurn(LPVOID argument)
{
    Worker* worker = (Worker*)argument;
    const Pixels strip = patternPixels(24, 256, 1, 11), cel = patternPixels(8, 13, 5, 12);
    for (int n = 0; n < worker->exports; ++n) {
        const bool palette = n % 2 == 0;
        const PaletteRename& row = paletteRenames[n % paletteRenameCount];
        const std::string given = worker->folder + "\\" + (palette ? row.given : "cel.cel");
        const std::string expected = palette ? worker->folder + "\\" + row.result : given;
        // CreatePicture itself: the shared helper keeps its checks in globals.
        PixelPicture picture(palette ? strip : cel, false);
        std::vector<char> buffer(given.begin(), given.end());
        buffer.resize(given.size() + 5, '\0');
        LONG status = porvane().CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, picture.info, NULL, 0);
        const std::string written = buffer.data();
        if (status != 0 || written != expected ||
            !fileHolds(expected, expectedKissFile(palette ? strip : cel, palette ? MARK_PALETTE : MARK_CEL))) {
            if (worker->mismatches++ == 0)
                worker->firstMismatch = given + ": status " + std::to_string(status) + ", name " + written;
        }
        DeleteFileA(expected.c_str());
    }
    return 0;
}

TEST(Stress, ExportsFromSeveralThreadsAtOnceDoNotDisturbEachOther)
{
    ASSERT_PORVANE_READY();
    ASSERT_TRUE(storeSettingDword(1));
    const int threads = 4;
    std::vector<ScratchFolder> folders(threads);
    std::vector<Worker> workers(threads);
    std::vector<HANDLE> running;
    for (int t = 0; t < threads; ++t) {
        ASSERT_TRUE(makePaletteRenameFolders(folders[t]));
        workers[t] = Worker{folders[t].folder, 150, 0, ""};
        running.push_back(CreateThread(NULL, 0, exportInTurn, &workers[t], 0, NULL));
        ASSERT_NE(running.back(), (HANDLE)NULL);
    }
    WaitForMultipleObjects(threads, running.data(), TRUE, INFINITE);
    for (int t = 0; t < threads; ++t) {
        CloseHandle(running[t]);
        EXPECT_EQ(workers[t].mismatches, 0) << "thread " << t << ", first: " << workers[t].firstMismatch;
        EXPECT_EQ(folders[t].names(), Names{"v1.2"}) << "files left behind";
    }
    EXPECT_TRUE(deleteSetting());
}

}
