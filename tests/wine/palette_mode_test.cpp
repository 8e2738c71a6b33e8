// Palette mode through the real CreatePicture and the real registry of the
// Wine prefix: which settings turn it on, which pictures it applies to, how
// the destination name is rewritten in the host's buffer, and that long
// names neither overrun the buffer nor get mangled.
#include "wine_test_support.h"

#include <algorithm>

namespace {

class PaletteMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_PORVANE_READY();
        ASSERT_FALSE(scratch.folder.empty());
        DWORD length = GetCurrentDirectoryA(sizeof startFolder, startFolder);
        ASSERT_TRUE(length > 0 && length < sizeof startFolder);
    }

    // Runs before the scratch folder (a member) is removed: it must not be the current folder then.
    void TearDown() override
    {
        EXPECT_TRUE(SetCurrentDirectoryA(startFolder));
        EXPECT_TRUE(deleteSetting());
    }

    // A strip of 256 colours: what palette mode turns into a palette.
    static Pixels strip() { return patternPixels(24, 256, 1, 256); }

    // Exports `pixels` to `path` and expects `expected` in the host's buffer,
    // the file there with `mark`, both progress reports, and no other file in
    // its folder. Removes the file again.
    static void expectExport(std::string path, const std::string& expected, uint8_t mark,
                             const Pixels& pixels = strip(), bool topDown = false)
    {
        PixelPicture picture(pixels, topDown);
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, expected);
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 77}, {1, 1, 77}}));
        size_t cut = (size_t)folderPartLength(expected.c_str());
        EXPECT_EQ(fileEntries(cut == 0 ? "." : expected.substr(0, cut - 1)), Names{expected.substr(cut)});
        EXPECT_TRUE(fileHolds(expected, expectedKissFile(pixels, mark)));
        DeleteFileA(expected.c_str());
    }

    ScratchFolder scratch;
    char startFolder[MAX_PATH];
};

TEST_F(PaletteMode, WithoutKeyTheExportCreatesTheKeyButNoValue)
{
    // The maker's key goes too (RegDeleteKey keeps it if it has other
    // subkeys), so that the export has to create both.
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\brovald");
    ASSERT_FALSE(settingsKeyExists());
    expectExport(scratch.path("strip.cel"), scratch.path("strip.cel"), MARK_CEL);
    EXPECT_TRUE(settingsKeyExists());
    EXPECT_EQ(noValue, readStoredSetting()) << "the export stored a setting";
}

TEST_F(PaletteMode, OnlyAStoredOneTurnsItOn)
{
    struct Case {
        const char* what;
        DWORD type;
        std::vector<uint8_t> bytes;
        bool on;
    };
    // One after another in the same process: the setting is read afresh at
    // every export, so on and off must follow the registry each time.
    const Case cases[] = {
        {"REG_DWORD 0", REG_DWORD, {0, 0, 0, 0}, false},
        {"REG_DWORD 1", REG_DWORD, {1, 0, 0, 0}, true},
        {"REG_DWORD 2", REG_DWORD, {2, 0, 0, 0}, false},
        {"REG_BINARY 01", REG_BINARY, {1}, true},
        {"REG_DWORD 0x101", REG_DWORD, {1, 1, 0, 0}, false},
        {"REG_BINARY 01 00", REG_BINARY, {1, 0}, true},
        {"REG_DWORD 0x01000001", REG_DWORD, {1, 0, 0, 1}, false},
        {"REG_BINARY 01 00 00 00 (type not checked)", REG_BINARY, {1, 0, 0, 0}, true},
        {"REG_SZ \"1111\"", REG_SZ, {'1', '1', '1', '1', 0}, false},
        {"REG_DWORD 1 again", REG_DWORD, {1, 0, 0, 0}, true},
        {"REG_SZ \"0001\"", REG_SZ, {'0', '0', '0', '1', 0}, false},
        {"REG_BINARY 01 00 00 00 00 (too long to read)", REG_BINARY, {1, 0, 0, 0, 0}, false},
        {"REG_QWORD 1 (too long to read)", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"REG_BINARY of no bytes", REG_BINARY, {}, false},
        {"REG_DWORD 0xFFFFFFFF", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(storeSetting(c.type, c.bytes));
        expectExport(scratch.path("strip.cel"), scratch.path(c.on ? "strip.kcf" : "strip.cel"),
                     c.on ? MARK_PALETTE : MARK_CEL);
        // Reading the setting leaves it as the user stored it.
        EXPECT_EQ((Stored{true, c.type, c.bytes}), readStoredSetting());
    }
}

TEST_F(PaletteMode, DestinationNameIsRewrittenWhereItsEndAllows)
{
    ASSERT_TRUE(storeSettingDword(1));
    // The dotted folders the table's names use.
    ASSERT_TRUE(makePaletteRenameFolders(scratch));
    for (const PaletteRename& r : paletteRenames) {
        SCOPED_TRACE(r.given);
        expectExport(scratch.path(r.given), scratch.path(r.result), MARK_PALETTE);
    }
    std::string slashed = scratch.folder;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    expectExport(slashed + "/strip", slashed + "/strip.kcf", MARK_PALETTE);

    // Relative to the current folder: no backslash to find.
    const PaletteRename bare[] = {{"a.b", "a.kcf"}, {"ab", "ab"}, {"strip", "strip"}, {"strip.cel", "strip.kcf"}};
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.folder.c_str()));
    for (const PaletteRename& r : bare) {
        SCOPED_TRACE(std::string("bare ") + r.given);
        expectExport(r.given, r.result, MARK_PALETTE);
    }
}

// The host hands over its path in the ANSI code page, 932 for Japanese users.
// There each of these characters is two bytes, the second one 0x5C, the byte
// of a backslash. Cels and palettes named with them land where they were asked.
TEST_F(PaletteMode, JapaneseNamesLandWhereTheyWereAsked)
{
    ASSERT_EQ(GetACP(), 932u) << "needs a Japanese locale, as scripts/wine-session.sh sets";
    ASSERT_TRUE(storeSettingDword(1));
    const char* const characters[] = {"\x83\x5C" /* so */, "\x95\x5C" /* hyou */, "\x94\x5C" /* nou */,
                                      "\x8F\x5C" /* juu */, "\x97\x5C" /* yo */, "\x90\x5C" /* shin */,
                                      "\x8D\x5C" /* kou */};
    struct Place {
        const char* folder;  // created in the scratch folder first, "" for none; @ is the character
        const char* name;
        const char* asPalette;
    } places[] = {
        {"", "@ab.cel", "@ab.kcf"},
        {"", "a@b.cel", "a@b.kcf"},
        {"", "ab@.cel", "ab@.kcf"},
        {"", "ab@", "ab@.kcf"},          // the backslash in reach is the folder's own
        {"", "a.@", "a.kcf"},            // the full stop starts the extension
        {"", "abc@def", "abc@def"},      // no separator, no full stop in reach
        {"@", "@\\x.cel", "@\\x.kcf"},
        {"d@", "d@\\strip", "d@\\strip.kcf"},
    };
    auto with = [](std::string text, const char* character) {
        for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 2))
            text.replace(at, 1, character);
        return text;
    };
    for (const char* character : characters) {
        for (const Place& place : places) {
            const std::string folder = with(place.folder, character), name = with(place.name, character);
            SCOPED_TRACE(::testing::Message() << "name " << ::testing::PrintToString(name));
            if (!folder.empty()) {
                ASSERT_TRUE(CreateDirectoryA(scratch.path(folder).c_str(), NULL));
            }
            expectExport(scratch.path(name), scratch.path(name), MARK_CEL, patternPixels(8, 3, 2, 1));
            expectExport(scratch.path(name), scratch.path(with(place.asPalette, character)), MARK_PALETTE);
            if (!folder.empty()) {
                EXPECT_TRUE(RemoveDirectoryA(scratch.path(folder).c_str()));
            }
        }
    }
}

TEST_F(PaletteMode, MissingFolderStillRewritesTheName)
{
    ASSERT_TRUE(storeSettingDword(1));
    PixelPicture picture(strip(), false);
    std::string path = scratch.path("missing\\strip.cel");
    EXPECT_EQ(exportPicture(&path, picture, recordProgress, 31), 109);
    EXPECT_EQ(path, scratch.path("missing\\strip.kcf"));
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 31}}));
    EXPECT_EQ(scratch.names(), Names{});
}

TEST_F(PaletteMode, OtherPicturesStayCelsUnderTheirOwnName)
{
    ASSERT_TRUE(storeSettingDword(1));
    struct Case {
        int16_t depth;
        int32_t width, height;
        bool topDown;  // height -1 in the header
    };
    const Case cases[] = {{24, 256, 2, false}, {8, 256, 1, false}, {24, 255, 1, false}, {24, 257, 1, false},
                          {24, 256, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.depth << " bits, " << c.width << " x " << c.height
                                          << (c.topDown ? " top-down" : ""));
        expectExport(scratch.path("strip.cel"), scratch.path("strip.cel"), MARK_CEL,
                     patternPixels(c.depth, c.width, c.height, 5), c.topDown);
    }
}

// The host's buffer has room for the name, its zero and four more
// characters. The rewrite is done only when the old name has fewer than 256
// characters and the new one at most 255; otherwise the name stays.
TEST_F(PaletteMode, LongNamesAreRewrittenOnlyWhenTheResultFits)
{
    ASSERT_TRUE(storeSettingDword(1));
    struct Ending {
        const char* what;
        std::string tail, rewritten;  // after a run of filler characters
        bool folderExists;
    };
    // A missing folder fails the write, but the name is rewritten first.
    const Ending endings[] = {{"name.cel", ".cel", ".kcf", true},
                              {"name.c", ".c", ".kcf", true},
                              {"long folder\\abc", "\\abc", "\\abc.kcf", false},
                              {"no extension in reach", "", "", true}};
    for (const Ending& e : endings) {
        for (size_t length : {250, 251, 252, 253, 254, 255, 256, 257, 259, 260, 300}) {
            SCOPED_TRACE(::testing::Message() << e.what << ", " << length << " characters");
            ScratchFolder folder;
            const std::string prefix = folder.folder + "\\";
            ASSERT_LT(prefix.size() + 16, 250u) << "the temporary folder is too long for this test: " << prefix;
            const std::string filler(length - prefix.size() - e.tail.size(), 'n');
            const std::string given = prefix + filler + e.tail, rewritten = prefix + filler + e.rewritten;
            const std::string expected = length < 256 && rewritten.size() <= 255 ? rewritten : given;
            PixelPicture picture(strip(), false);
            std::string path = given;
            LONG status = exportPicture(&path, picture, recordProgress, 3);
            EXPECT_EQ(path, expected);

            const Names created = {expected.substr(prefix.size())};
            if (!e.folderExists) {
                EXPECT_EQ(status, 109);
                EXPECT_EQ(folder.names(), Names{});
            } else if (expected.size() <= 255) {
                EXPECT_EQ(status, 0);
                EXPECT_EQ(folder.names(), created);
                EXPECT_TRUE(fileHolds(expected, expectedKissFile(strip(), MARK_PALETTE)));
            } else {
                // Past 255 characters the file system may or may not take
                // the name; either way the outcome must be consistent.
                EXPECT_TRUE(status == 0 || status == 109) << "status " << status;
                EXPECT_EQ(folder.names(), status == 0 ? created : Names{});
                if (status == 0) {
                    EXPECT_EQ(progressCalls, (Calls{{0, 1, 3}, {1, 1, 3}}));
                }
            }
        }
    }
}

}  // namespace
