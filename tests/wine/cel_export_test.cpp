// Saving pictures as KiSS cels through the real CreatePicture: the files on
// disk byte for byte, the progress reports, stopping, refusals, and that
// nothing but the finished file is left in the folder.
#include "wine_test_support.h"

#include <algorithm>

namespace {

typedef std::vector<ProgressCall> Calls;
typedef std::vector<std::string> Names;

class CelExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_PORVANE_READY();
        // Palette mode would turn a 256 x 1 24-bit picture into a palette;
        // none of these tests wants that.
        ASSERT_TRUE(deleteSetting());
        ASSERT_FALSE(scratch.folder.empty());
    }

    // Exports `pixels` to `name` in the scratch folder and checks the file,
    // the untouched path, the two progress reports and that the only change
    // in the folder is the new file.
    void expectCel(const Pixels& pixels, bool topDown, const std::string& name = "picture.cel")
    {
        Names after = scratch.names();
        if (std::find(after.begin(), after.end(), name) == after.end())
            after.push_back(name);
        std::sort(after.begin(), after.end());
        HostPicture picture(pixels, topDown);
        std::string path = scratch.path(name);
        const std::string asGiven = path;
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, asGiven);
        EXPECT_TRUE(fileHolds(asGiven, expectedKissFile(pixels, MARK_CEL)));
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 77}, {1, 1, 77}}));
        EXPECT_EQ(scratch.names(), after);
    }

    ScratchFolder scratch;
};

TEST_F(CelExport, HostHandlesShowTheirLocks)
{
    // Every export is checked for handles left locked; that check relies on
    // the lock count being visible.
    HostPicture picture(patternPixels(8, 2, 2, 0), false);
    ASSERT_EQ(lockCount(picture.header), 0u);
    ASSERT_NE(LocalLock(picture.header), nullptr);
    EXPECT_EQ(lockCount(picture.header), 1u);
    LocalUnlock(picture.header);
    EXPECT_EQ(lockCount(picture.header), 0u);
}

TEST_F(CelExport, EightBitRowsOfOddWidthsDropTheHostPadding)
{
    const int32_t widths[] = {1, 2, 3, 5, 7, 13, 4};
    for (int32_t width : widths) {
        for (int32_t height : {1, 3}) {
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            expectCel(patternPixels(8, width, height, width * 10 + height), false);
        }
    }
}

TEST_F(CelExport, TwentyFourBitRowsBecomeRedGreenBlueTopRowFirst)
{
    const int32_t widths[] = {1, 3, 5, 7, 4};
    for (int32_t width : widths) {
        for (int32_t height : {1, 2, 5}) {
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            expectCel(patternPixels(24, width, height, width * 100 + height), false);
        }
    }
}

TEST_F(CelExport, NegativeHeightMeansTopRowFirst)
{
    for (int16_t depth : {8, 24, 4, 1}) {
        SCOPED_TRACE(depth);
        Pixels pixels = patternPixels(depth, 5, 4, depth);
        HostPicture picture(pixels, true);
        std::string path = scratch.path("top-down.cel");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        // The header holds the row count, never the sign.
        std::vector<uint8_t> expected = expectedKissFile(pixels, MARK_CEL);
        ASSERT_EQ(expected[10], 4);
        ASSERT_EQ(expected[11], 0);
        EXPECT_TRUE(fileHolds(path, expected));
        EXPECT_EQ(scratch.names(), Names{"top-down.cel"});
    }
}

TEST_F(CelExport, PackedRowsKeepTheirBitsAndLoseTheUnusedOnes)
{
    // The host's junk (0xEE, and 0xFF below) in the bits past the last pixel
    // must come out as zero; the pixels' own bits as they stand.
    for (int16_t depth : {1, 4}) {
        const int32_t widths[] = {1, 2, 3, 5, 7, 8, 9, 13, 16, 17};
        for (int32_t width : widths) {
            SCOPED_TRACE(::testing::Message() << depth << " bits, width " << width);
            Pixels pixels = patternPixels(depth, width, 3, width + depth);
            for (uint8_t junk : {0xEE, 0xFF}) {
                HostPicture picture(depth, width, 3, hostRows(pixels, false, junk));
                std::string path = scratch.path("packed.cel");
                ASSERT_EQ(exportPicture(&path, picture), 0);
                EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
            }
        }
    }
    // All pixels set: only the unused bits differ between the host row and
    // the cel row, so a missing mask cannot hide behind the pattern.
    Pixels ones = {1, 3, 2, std::vector<uint32_t>(6, 1)};
    HostPicture picture(1, 3, 2, hostRows(ones, false, 0xFF));
    std::string path = scratch.path("ones.cel");
    ASSERT_EQ(exportPicture(&path, picture), 0);
    std::vector<uint8_t> expected = expectedKissFile(ones, MARK_CEL);
    ASSERT_EQ(expected.size(), 34u);
    ASSERT_EQ(expected[32], 0xE0);
    EXPECT_TRUE(fileHolds(path, expected));
    EXPECT_EQ(scratch.names(), (Names{"ones.cel", "packed.cel"}));
}

TEST_F(CelExport, DepthsWithoutACelFormGiveZeroRowsOfOneByteAPixel)
{
    struct Case {
        int16_t depth;
        int32_t width, height;
    };
    // 280: the header keeps only the low byte (24), the rows stay zero.
    const Case cases[] = {{16, 5, 3}, {32, 3, 2}, {2, 7, 2}, {15, 1, 1}, {280, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        Pixels pixels = patternPixels(c.depth, c.width, c.height, c.depth);
        HostPicture picture(pixels, false);
        std::string path = scratch.path("other.cel");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        std::vector<uint8_t> expected = expectedKissFile(pixels, MARK_CEL);
        ASSERT_EQ(expected.size(), 32u + (size_t)c.width * c.height);
        EXPECT_TRUE(fileHolds(path, expected));
        EXPECT_EQ(scratch.names(), Names{"other.cel"});
    }
}

TEST_F(CelExport, LineEndAndEndOfFileBytesAreWrittenAsThey)
{
    // The bytes a text-mode stream would translate: LF, CR, Ctrl-Z, CR LF.
    Pixels pixels = {8, 6, 2, {0x0A, 0x0D, 0x1A, 0x0D, 0x0A, 0x00, 0x1A, 0x1A, 0x0A, 0x0A, 0x0D, 0x0D}};
    expectCel(pixels, false, "control.cel");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readFile(scratch.path("control.cel"), &bytes));
    EXPECT_EQ(bytes.size(), 32u + 12u);

    Pixels colours = {24, 3, 1, {0x0A0D1A, 0x0D0A0D, 0x1A1A0A}};
    expectCel(colours, false, "control24.cel");
    ASSERT_TRUE(readFile(scratch.path("control24.cel"), &bytes));
    EXPECT_EQ(bytes.size(), 32u + 9u);
    // A header field can hold them too: width 10, height 13.
    expectCel(patternPixels(8, 10, 13, 3), false, "header.cel");
}

TEST_F(CelExport, PictureWithoutRowsGivesTheHeaderAlone)
{
    for (int16_t depth : {8, 24}) {
        SCOPED_TRACE(depth);
        HostPicture picture(depth, 7, 0, {});
        std::string path = scratch.path("empty.cel");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        Pixels none = {depth, 7, 0, {}};
        std::vector<uint8_t> expected = expectedKissFile(none, MARK_CEL);
        ASSERT_EQ(expected.size(), 32u);
        EXPECT_TRUE(fileHolds(path, expected));
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 77}, {1, 1, 77}}));
        EXPECT_EQ(scratch.names(), Names{"empty.cel"});
    }
    // No columns either way: rows of zero bytes.
    HostPicture narrow(8, 0, 3, std::vector<uint8_t>(4, 0x55));
    std::string path = scratch.path("narrow.cel");
    ASSERT_EQ(exportPicture(&path, narrow), 0);
    EXPECT_TRUE(fileHolds(path, expectedKissFile(Pixels{8, 0, 3, {}}, MARK_CEL)));
}

TEST_F(CelExport, ExistingLongerFileIsReplacedWhole)
{
    const std::string path = scratch.path("old.cel");
    ASSERT_TRUE(writeFile(path, std::vector<uint8_t>(5000, 0xEE)));
    Pixels pixels = patternPixels(8, 3, 2, 9);
    expectCel(pixels, false, "old.cel");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readFile(path, &bytes));
    EXPECT_EQ(bytes.size(), 32u + 6u);
}

TEST_F(CelExport, MissingFolderGives109AndCreatesNothing)
{
    Pixels pixels = patternPixels(8, 5, 2, 1);
    HostPicture picture(pixels, false);
    const std::string missing = scratch.path("missing");
    std::string path = missing + "\\picture.cel";
    const std::string asGiven = path;
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 4242), 109);
    EXPECT_EQ(path, asGiven);
    // No file was created, so there is no closing report.
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 4242}}));
    EXPECT_FALSE(fileExists(missing));
    EXPECT_EQ(scratch.names(), Names{});
}

TEST_F(CelExport, ProgressIsReportedAtStartAndEndWithTheHostsValue)
{
    Pixels pixels = patternPixels(24, 3, 3, 5);
    const LONG userValues[] = {0, -1, 0x7FFFFFFF, (LONG)0x80000000, 0x12345678};
    for (LONG userValue : userValues) {
        SCOPED_TRACE(userValue);
        HostPicture picture(pixels, false);
        std::string path = scratch.path("progress.cel");
        ASSERT_EQ(exportPicture(&path, picture, recordProgress, userValue), 0);
        EXPECT_EQ(progressCalls, (Calls{{0, 1, userValue}, {1, 1, userValue}}));
        EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
    }
    EXPECT_EQ(scratch.names(), Names{"progress.cel"});
}

TEST_F(CelExport, WorksWithoutAProgressCallback)
{
    Pixels pixels = patternPixels(8, 7, 3, 11);
    HostPicture picture(pixels, false);
    std::string path = scratch.path("quiet.cel");
    ASSERT_EQ(exportPicture(&path, picture, NULL), 0);
    EXPECT_TRUE(progressCalls.empty());
    EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
    EXPECT_EQ(scratch.names(), Names{"quiet.cel"});
}

TEST_F(CelExport, StopAtStartWritesNothing)
{
    Pixels pixels = patternPixels(8, 5, 2, 2);
    HostPicture picture(pixels, false);
    std::string path = scratch.path("stopped.cel");
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 55, 0), 101);
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 55}}));
    EXPECT_EQ(scratch.names(), Names{});

    // A file already there stays as it was.
    const std::vector<uint8_t> old(100, 0x42);
    ASSERT_TRUE(writeFile(path, old));
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 55, 0), 101);
    EXPECT_TRUE(fileHolds(path, old));
    EXPECT_EQ(scratch.names(), Names{"stopped.cel"});
}

TEST_F(CelExport, StopAtEndKeepsTheCompleteFile)
{
    Pixels pixels = patternPixels(24, 5, 3, 3);
    HostPicture picture(pixels, false);
    std::string path = scratch.path("late.cel");
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, -7, 1), 101);
    EXPECT_EQ(progressCalls, (Calls{{0, 1, -7}, {1, 1, -7}}));
    EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
    EXPECT_EQ(scratch.names(), Names{"late.cel"});
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

TEST_F(CelExport, LargestDimensionsAreAccepted)
{
    {
        Pixels wide = patternPixels(8, 65535, 1, 21);
        expectCel(wide, false, "wide.cel");
    }
    ASSERT_TRUE(DeleteFileA(scratch.path("wide.cel").c_str()));
    {
        Pixels tall = patternPixels(8, 1, 65535, 22);
        expectCel(tall, true, "tall.cel");
    }
}

}  // namespace
