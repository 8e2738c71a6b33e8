// Saving pictures as KiSS cels through the real CreatePicture: the files on
// disk byte for byte, the progress reports, stopping, refusals, and that
// nothing but the finished file is left in the folder.
#include "wine_test_support.h"

#include <algorithm>

namespace {

class CelExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_PORVANE_READY();
        // Palette mode would turn a 256 x 1 24-bit picture into a palette.
        ASSERT_TRUE(deleteSetting());
        ASSERT_FALSE(scratch.folder.empty());
    }

    // Exports `picture` to `name` and expects `file` there, the path left as
    // given, both progress reports, and no other change in the folder.
    void expectFile(HostPicture& picture, const std::vector<uint8_t>& file, const std::string& name = "picture.cel")
    {
        Names after = scratch.names();
        if (std::find(after.begin(), after.end(), name) == after.end())
            after.push_back(name);
        std::sort(after.begin(), after.end());
        std::string path = scratch.path(name);
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, scratch.path(name));
        EXPECT_TRUE(fileHolds(path, file));
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 77}, {1, 1, 77}}));
        EXPECT_EQ(scratch.names(), after);
    }

    ScratchFolder scratch;
};

TEST_F(CelExport, HostHandlesShowTheirLocks)
{
    // Every export is checked for handles left locked; that check relies on
    // the lock count being visible.
    PixelPicture picture(patternPixels(8, 2, 2, 0), false);
    ASSERT_NE(LocalLock(picture.header), nullptr);
    EXPECT_EQ(lockCount(picture.header), 1u);
    LocalUnlock(picture.header);
    EXPECT_EQ(lockCount(picture.header), 0u);
}

TEST_F(CelExport, RowsMatchTheEncoderAtEveryDepthWidthAndOrientation)
{
    struct Case {
        int16_t depth;
        std::vector<int32_t> widths, heights;
        uint32_t pixelBits = 0xFFFFFFFF;  // ANDed into every pixel
    };
    const Case cases[] = {
        {8, {1, 2, 3, 5, 7, 13, 4}, {1, 3}},
        {24, {1, 3, 5, 7, 4, 6, 17}, {1, 2, 5}},
        {1, {1, 2, 3, 5, 7, 8, 9, 13, 16, 17}, {3}},
        {4, {1, 2, 3, 5, 7, 8, 9, 13, 16, 17}, {3}},
        // 32 bits with alpha, and with every fourth byte zero: opaque.
        {32, {1, 2, 3, 5}, {1, 3}}, {32, {1, 2, 3, 5}, {1, 3}, 0x00FFFFFF},
        // No cel form: zero rows of one byte a pixel. The header keeps the
        // depth's low byte only (280: 24).
        {16, {5}, {3}}, {2, {7}, {2}}, {15, {1}, {1}}, {280, {3}, {2}},
        // No rows or no columns: the header alone, or rows of no bytes.
        {8, {0, 7}, {0, 3}}, {24, {7}, {0}},
        // The largest sizes a header can hold.
        {8, {65535}, {1}}, {8, {1}, {65535}},
    };
    for (const Case& c : cases) {
        for (int32_t width : c.widths) {
            for (int32_t height : c.heights) {
                Pixels pixels = patternPixels(c.depth, width, height, width * 100 + height + c.depth);
                for (uint32_t& value : pixels.values)
                    value &= c.pixelBits;
                for (bool topDown : {false, true}) {
                    // 0xFF also sets every unused bit of a packed row.
                    for (uint8_t junk : {0xEE, 0xFF}) {
                        SCOPED_TRACE(::testing::Message() << c.depth << " bits, " << width << " x " << height
                                                          << (topDown ? " top-down" : "") << ", junk " << (int)junk);
                        PixelPicture picture(pixels, topDown, junk);
                        expectFile(picture, expectedKissFile(pixels, MARK_CEL));
                    }
                }
            }
        }
    }
}

TEST_F(CelExport, FilesAsWrittenByHand)
{
    // These also hold the encoder to the format: 24 bits as red-green-blue,
    // unused bits of a packed row cleared, and the bytes a text-mode stream
    // would translate (LF, CR, Ctrl-Z) written as they are, in the rows and
    // in the header (10 x 13).
    auto expectHandWritten = [&](const Pixels& p, const std::vector<uint8_t>& rows) {
        SCOPED_TRACE(::testing::Message() << p.depth << " bits, " << p.width << " x " << p.height);
        std::vector<uint8_t> file = {'K', 'i', 'S', 'S', 0x20, (uint8_t)p.depth, 0, 0, (uint8_t)p.width, 0,
                                     (uint8_t)p.height, 0};
        file.resize(32, 0);
        file.insert(file.end(), rows.begin(), rows.end());
        EXPECT_EQ(expectedKissFile(p, MARK_CEL), file);
        PixelPicture picture(p, false, 0xFF);
        expectFile(picture, file);
    };
    expectHandWritten({8, 6, 2, {0x0A, 0x0D, 0x1A, 0x0D, 0x0A, 0x00, 0x1A, 0x1A, 0x0A, 0x0A, 0x0D, 0x0D}},
                      {0x0A, 0x0D, 0x1A, 0x0D, 0x0A, 0x00, 0x1A, 0x1A, 0x0A, 0x0A, 0x0D, 0x0D});
    expectHandWritten({24, 3, 1, {0x0A0D1A, 0x0D0A0D, 0x1A1A0A}}, {0x0A, 0x0D, 0x1A, 0x0D, 0x0A, 0x0D, 0x1A, 0x1A, 0x0A});
    expectHandWritten({1, 3, 2, {1, 1, 1, 1, 1, 1}}, {0xE0, 0xE0});
    expectHandWritten({4, 3, 1, {0xA, 0xD, 0x1}}, {0xAD, 0x10});
    expectHandWritten({8, 10, 13, std::vector<uint32_t>(130, 0x1A)}, std::vector<uint8_t>(130, 0x1A));
    // 32 bits as blue-green-red-alpha: with no alpha anywhere the picture is
    // opaque; one pixel's alpha (not the first's, in either row order) keeps
    // every pixel's as it is.
    expectHandWritten({32, 2, 1, {0x000A0D1A, 0x001A0A0D}}, {0x1A, 0x0D, 0x0A, 0xFF, 0x0D, 0x0A, 0x1A, 0xFF});
    expectHandWritten({32, 4, 2, {0x00112233, 0x00445566, 0x00778899, 0x80AABBCC, 0x00010203, 0x00040506, 0x00070809,
                                  0x000A0B0C}},
                      {0x33, 0x22, 0x11, 0x00, 0x66, 0x55, 0x44, 0x00, 0x99, 0x88, 0x77, 0x00, 0xCC, 0xBB, 0xAA, 0x80,
                       0x03, 0x02, 0x01, 0x00, 0x06, 0x05, 0x04, 0x00, 0x09, 0x08, 0x07, 0x00, 0x0C, 0x0B, 0x0A, 0x00});
}

TEST_F(CelExport, ExistingLongerFileIsReplacedWhole)
{
    ASSERT_TRUE(writeFile(scratch.path("old.cel"), std::vector<uint8_t>(5000, 0xEE)));
    Pixels pixels = patternPixels(8, 3, 2, 9);
    PixelPicture picture(pixels, false);
    expectFile(picture, expectedKissFile(pixels, MARK_CEL), "old.cel");
}

// What porvane cannot write is refused before anything is created: 109, the
// file that stood there (if any) as it was, and no closing progress report.
TEST_F(CelExport, DestinationsThatCannotBeWrittenAreRefusedBeforeAnythingIsCreated)
{
    const std::vector<uint8_t> earlier(100, 0x42);
    PixelPicture picture(patternPixels(8, 5, 2, 1), false);

    const std::string missing = scratch.path("missing\\picture.cel");
    std::string path = missing;
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 4242), 109);
    EXPECT_EQ(path, missing);
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 4242}}));
    EXPECT_EQ(scratch.names(), Names{});

    // Windows refuses to replace a read-only file; Wine would replace it.
    path = scratch.path("kept.cel");
    ASSERT_TRUE(writeFile(path, earlier));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 4242), 109);
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 4242}}));
    EXPECT_TRUE(fileHolds(path, earlier));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(scratch.names(), Names{"kept.cel"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The temporary file is made in the destination's folder, and
// GetTempFileNameA takes a folder of at most MAX_PATH - 14 characters: a
// longer one gets 109 with nothing created (Wine would write past its own
// buffer). Around that limit, and at the longest path Windows takes: past
// it the rename into place may or may not take the name (Windows does not,
// Wine does), and either way the outcome must be whole.
TEST_F(CelExport, LongFoldersAndPathsAroundTheLimits)
{
    struct Case {
        size_t folderLength;  // with its trailing backslash
        size_t pathLength;    // 0: "p.cel" in that folder
        LONG status;          // -1: 0 or 109
    } cases[] = {
        {240, 0, 0},   {246, 0, 0},   {247, 0, 0},   {248, 0, 109}, {249, 0, 109}, {250, 0, 109},
        {255, 0, 109}, {258, 0, 109}, {259, 0, 109}, {260, 0, 109}, {240, 259, 0}, {240, 260, -1},
    };
    const std::vector<uint8_t> earlier(64, 0x5A);
    Pixels pixels = patternPixels(8, 7, 3, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "folder of " << c.folderLength << " characters, path of "
                                          << c.pathLength);
        ScratchFolder outer;
        const std::string folder = outer.folder + "\\" + std::string(c.folderLength - outer.folder.size() - 2, 'f') + "\\";
        ASSERT_EQ(folder.size(), c.folderLength);
        ASSERT_TRUE(CreateDirectoryW(wholePath(folder).c_str(), NULL));
        const std::string name = c.pathLength == 0 ? "p.cel" : std::string(c.pathLength - folder.size(), 'p');
        const std::string destination = folder + name;
        ASSERT_TRUE(writeFile(destination, earlier));

        PixelPicture picture(pixels, false);
        std::string path = destination;
        const LONG status = exportPicture(&path, picture);
        if (c.status >= 0) {
            EXPECT_EQ(status, c.status);
        } else {
            EXPECT_TRUE(status == 0 || status == 109) << "status " << status;
        }
        EXPECT_EQ(path, destination);
        EXPECT_TRUE(fileHolds(destination, status == 0 ? expectedKissFile(pixels, MARK_CEL) : earlier));
        EXPECT_EQ(folderEntries(folder.substr(0, folder.size() - 1)), Names{name});
    }
}

struct Hold {
    HANDLE file;
    DWORD milliseconds;
};

DWORD WINAPI letGoLater(LPVOID held)
{
    Sleep(((Hold*)held)->milliseconds);
    return CloseHandle(((Hold*)held)->file);
}

// Another program holding the destination open (reading, sharing read and
// write but not delete, as a scanner does) blocks the rename into place;
// porvane tries again for about a second.
TEST_F(CelExport, ADestinationHeldForAMomentIsReplacedOnceLetGo)
{
    struct Case {
        DWORD holdMilliseconds;
        LONG status;
    } cases[] = {{200, 0}, {2500, 109}};
    const std::vector<uint8_t> earlier(10, 0x11);
    Pixels pixels = patternPixels(24, 3, 2, 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "held for " << c.holdMilliseconds << " ms");
        std::string path = scratch.path("held.cel");
        ASSERT_TRUE(writeFile(path, earlier));
        Hold hold = {CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                              NULL),
                  c.holdMilliseconds};
        ASSERT_NE(hold.file, INVALID_HANDLE_VALUE);
        HANDLE letGo = CreateThread(NULL, 0, letGoLater, &hold, 0, NULL);
        ASSERT_NE(letGo, (HANDLE)NULL);
        PixelPicture picture(pixels, false);
        EXPECT_EQ(exportPicture(&path, picture), c.status);
        WaitForSingleObject(letGo, INFINITE);
        CloseHandle(letGo);
        EXPECT_TRUE(fileHolds(path, c.status == 0 ? expectedKissFile(pixels, MARK_CEL) : earlier));
        EXPECT_EQ(scratch.names(), Names{"held.cel"});
    }
}

TEST_F(CelExport, ProgressCarriesTheHostsValueAndCanStopTheExport)
{
    Pixels pixels = patternPixels(24, 5, 3, 3);
    struct Case {
        ProgressFn progress;
        LONG userValue, stopAt;
    };
    const Case cases[] = {
        {recordProgress, 0, -1}, {recordProgress, -1, -1}, {recordProgress, 0x7FFFFFFF, -1},
        {recordProgress, (LONG)0x80000000, -1}, {recordProgress, 0x12345678, -1},
        {NULL, 5, -1},
        {recordProgress, 55, 0},  // stopped at the start: nothing is written
        {recordProgress, -7, 1},  // stopped at the end: the file is complete
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "user value " << c.userValue << ", stop at " << c.stopAt);
        std::string path = scratch.path("progress.cel");
        DeleteFileA(path.c_str());
        PixelPicture picture(pixels, false);
        EXPECT_EQ(exportPicture(&path, picture, c.progress, c.userValue, c.stopAt), c.stopAt < 0 ? 0 : 101);
        Calls calls = {{0, 1, c.userValue}, {1, 1, c.userValue}};
        calls.resize(c.progress == NULL ? 0 : c.stopAt == 0 ? 1 : 2);
        EXPECT_EQ(progressCalls, calls);
        if (c.stopAt == 0) {
            EXPECT_EQ(scratch.names(), Names{});
        } else {
            EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
        }
    }

    // Stopped at the start, a file already there stays as it was.
    const std::vector<uint8_t> old(100, 0x42);
    std::string path = scratch.path("progress.cel");
    ASSERT_TRUE(writeFile(path, old));
    PixelPicture picture(pixels, false);
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 55, 0), 101);
    EXPECT_TRUE(fileHolds(path, old));
    EXPECT_EQ(scratch.names(), Names{"progress.cel"});
}

TEST_F(CelExport, PicturesTooLargeForACelAreRefusedBeforeAnyFile)
{
    struct Case {
        int16_t depth;
        int32_t width, height;
    };
    // The 16-byte bits block is far smaller than any of these pictures: the
    // refusal has to come before a single row is read.
    const Case cases[] = {
        {8, 65536, 1},
        {8, 1, 65536},
        {8, 1, -65536},
        {8, -1, 1},
        {24, (int32_t)0x80000000, 1},
        {8, 1, (int32_t)0x80000000},
        {24, 65535, 65535},  // 12 GB: over the 31-bit block limit
        {8, 65535, 65535},   // 4 GB: likewise, and would wrap a 32-bit size
        {24, 65535, 10923},  // 3 * 65535 * 10923 just over 0x7FFFFFFF
        {32, 65535, 8193},   // 4 * 65535 * 8193 likewise
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.depth << " bits, " << c.width << " x " << c.height);
        HostPicture picture(c.depth, c.width, c.height, std::vector<uint8_t>(16, 0x33));
        std::string path = scratch.path("huge.cel");
        EXPECT_EQ(exportPicture(&path, picture, recordProgress, 9), 104);
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 9}}));
        EXPECT_EQ(scratch.names(), Names{});
    }
}

}  // namespace
