// Palette mode through the real CreatePicture and the real registry of the
// Wine prefix: which settings turn it on, which pictures it applies to, how
// the destination name is rewritten in the host's buffer, and that long
// names neither overrun the buffer nor get mangled.
#include "wine_test_support.h"

#include <string.h>

namespace {

typedef std::vector<ProgressCall> Calls;
typedef std::vector<std::string> Names;

const uint8_t canary = 0xA5;

// The current folder for one case; left again before the scratch folder in
// it is removed (declare it after the folder).
struct WorkingFolder {
    WorkingFolder(const std::string& folder, const char* back) : back(back)
    {
        entered = SetCurrentDirectoryA(folder.c_str()) != FALSE;
    }
    ~WorkingFolder() { SetCurrentDirectoryA(back); }
    const char* back;
    bool entered;
};

class PaletteMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_PORVANE_READY();
        DWORD length = GetCurrentDirectoryA(sizeof startFolder, startFolder);
        ASSERT_TRUE(length > 0 && length < sizeof startFolder);
    }

    void TearDown() override
    {
        EXPECT_TRUE(SetCurrentDirectoryA(startFolder));
        EXPECT_TRUE(deleteSetting());
    }

    // A strip of 256 colours: what palette mode turns into a palette.
    static Pixels strip() { return patternPixels(24, 256, 1, 256); }

    static void expectPaletteFile(const std::string& path)
    {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readFile(path, &bytes)) << path;
        ASSERT_EQ(bytes.size(), 800u) << path;
        EXPECT_EQ(bytes[4], MARK_PALETTE) << path;
        EXPECT_TRUE(sameBytes(bytes, expectedKissFile(strip(), MARK_PALETTE))) << path;
    }

    char startFolder[MAX_PATH];
};

TEST_F(PaletteMode, WithoutKeyTheExportCreatesTheKeyButNoValue)
{
    ASSERT_TRUE(deleteSettingsKey());
    ASSERT_FALSE(settingsKeyExists());
    ScratchFolder scratch;
    HostPicture picture(strip(), false);
    std::string path = scratch.path("strip.cel");
    ASSERT_EQ(exportPicture(&path, picture), 0);
    EXPECT_EQ(path, scratch.path("strip.cel"));
    EXPECT_TRUE(fileHolds(path, expectedKissFile(strip(), MARK_CEL)));
    EXPECT_EQ(scratch.names(), Names{"strip.cel"});

    EXPECT_TRUE(settingsKeyExists());
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(readSetting(&type, &bytes)) << "the export stored a setting of type " << type;
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
        ScratchFolder scratch;
        HostPicture picture(strip(), false);
        std::string path = scratch.path("strip.cel");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(progressCalls, (Calls{{0, 1, 77}, {1, 1, 77}}));
        if (c.on) {
            EXPECT_EQ(path, scratch.path("strip.kcf"));
            EXPECT_EQ(scratch.names(), Names{"strip.kcf"});
            expectPaletteFile(scratch.path("strip.kcf"));
        } else {
            EXPECT_EQ(path, scratch.path("strip.cel"));
            EXPECT_EQ(scratch.names(), Names{"strip.cel"});
            EXPECT_TRUE(fileHolds(scratch.path("strip.cel"), expectedKissFile(strip(), MARK_CEL)));
        }
        // Reading the setting leaves it as the user stored it.
        DWORD type = 0;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readSetting(&type, &bytes));
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST_F(PaletteMode, DestinationNameIsRewrittenWhereItsEndAllows)
{
    ASSERT_TRUE(storeSettingDword(1));
    struct Rename {
        const char* given;
        const char* result;
    };
    // Within the scratch folder: the backslash before a short name counts.
    const Rename inFolder[] = {
        {"strip.cel", "strip.kcf"},
        {"strip", "strip.kcf"},          // backslash six from the end: no extension, append
        {"strip.jpeg", "strip.kcf"},
        {"strip.tiff2", "strip.kcf"},    // full stop six from the end
        {"colour", "colour"},            // backslash seven from the end: out of reach
        {"strip.backup", "strip.backup"},// full stop seven from the end
        {"a.b", "a.kcf"},
        {"ab", "ab.kcf"},
        {"ab.c.d", "ab.c.kcf"},          // the last full stop starts the extension
        {"strip.", "strip.kcf"},
        {"STRIP.CEL", "STRIP.kcf"},
    };
    for (const Rename& r : inFolder) {
        SCOPED_TRACE(r.given);
        ScratchFolder scratch;
        HostPicture picture(strip(), false);
        std::string path = scratch.path(r.given);
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, scratch.path(r.result));
        EXPECT_EQ(scratch.names(), Names{r.result});
        expectPaletteFile(scratch.path(r.result));
    }

    // Looking back from the end, a backslash met before any full stop ends
    // the search: the full stop in the folder name is not an extension.
    {
        ScratchFolder scratch;
        ASSERT_TRUE(CreateDirectoryA(scratch.path("v1.2").c_str(), NULL));
        HostPicture picture(strip(), false);
        std::string path = scratch.path("v1.2\\abc");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, scratch.path("v1.2\\abc.kcf"));
        EXPECT_EQ(folderEntries(scratch.path("v1.2")), Names{"abc.kcf"});
        expectPaletteFile(path);
    }

    // Bare names, relative to the current folder: no backslash to find.
    const Rename bare[] = {
        {"a.b", "a.kcf"},
        {"ab", "ab"},
        {"strip", "strip"},
        {"strip.cel", "strip.kcf"},
    };
    for (const Rename& r : bare) {
        SCOPED_TRACE(std::string("bare ") + r.given);
        ScratchFolder scratch;
        WorkingFolder inside(scratch.folder, startFolder);
        ASSERT_TRUE(inside.entered);
        HostPicture picture(strip(), false);
        std::string path = r.given;
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, r.result);
        EXPECT_EQ(scratch.names(), Names{r.result});
        expectPaletteFile(scratch.path(r.result));
    }
}

TEST_F(PaletteMode, MissingFolderStillRewritesTheName)
{
    ASSERT_TRUE(storeSettingDword(1));
    ScratchFolder scratch;
    HostPicture picture(strip(), false);
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
        const char* what;
        int16_t depth;
        int32_t width, height;
        bool topDown;
    };
    const Case cases[] = {
        {"256 x 2, 24 bits", 24, 256, 2, false},
        {"256 x 1, 8 bits", 8, 256, 1, false},
        {"255 x 1, 24 bits", 24, 255, 1, false},
        {"257 x 1, 24 bits", 24, 257, 1, false},
        {"256 x 1 given top row first (height -1), 24 bits", 24, 256, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        Pixels pixels = patternPixels(c.depth, c.width, c.height, 5);
        HostPicture picture(pixels, c.topDown);
        std::string path = scratch.path("strip.cel");
        ASSERT_EQ(exportPicture(&path, picture), 0);
        EXPECT_EQ(path, scratch.path("strip.cel"));
        EXPECT_EQ(scratch.names(), Names{"strip.cel"});
        EXPECT_TRUE(fileHolds(path, expectedKissFile(pixels, MARK_CEL)));
    }
}

// Long names: the host's buffer has room for the name, its zero and four
// more characters. The rewrite is done only when the old name has fewer than
// 256 characters and the new one at most 255; otherwise the name stays.
TEST_F(PaletteMode, LongNamesAreRewrittenOnlyWhenTheResultFits)
{
    ASSERT_TRUE(storeSettingDword(1));

    enum Ending { DOT_CEL, DOT_C, SHORT_NAME_IN_LONG_FOLDER, NO_EXTENSION };
    const char* const endingNames[] = {"name.cel", "name.c", "long folder\\abc", "no extension in reach"};
    const size_t lengths[] = {250, 251, 252, 253, 254, 255, 256, 257, 259, 260, 300};

    for (int ending = DOT_CEL; ending <= NO_EXTENSION; ++ending) {
        for (size_t length : lengths) {
            SCOPED_TRACE(::testing::Message() << endingNames[ending] << ", " << length << " characters");
            ScratchFolder scratch;
            const std::string prefix = scratch.folder + "\\";
            ASSERT_LT(prefix.size() + 16, 250u) << "the temporary folder is too long for this test: " << prefix;
            const size_t room = length - prefix.size();

            std::string path, rewritten;
            bool folderExists = true;
            switch (ending) {
            case DOT_CEL:
                path = prefix + std::string(room - 4, 'n') + ".cel";
                rewritten = prefix + std::string(room - 4, 'n') + ".kcf";
                break;
            case DOT_C:
                path = prefix + std::string(room - 2, 'n') + ".c";
                rewritten = prefix + std::string(room - 2, 'n') + ".kcf";
                break;
            case SHORT_NAME_IN_LONG_FOLDER:
                // The folder does not exist: the write fails, but the name is
                // rewritten first and the buffer shows it.
                path = prefix + std::string(room - 4, 'd') + "\\abc";
                rewritten = path + ".kcf";
                folderExists = false;
                break;
            case NO_EXTENSION:
                path = prefix + std::string(room, 'n');
                rewritten = path;
                break;
            }
            ASSERT_EQ(path.size(), length);
            const bool fits = path.size() < 256 && rewritten.size() <= 255;
            const std::string expected = fits ? rewritten : path;

            // The path, its zero, then nothing but canary bytes.
            std::vector<char> buffer(512, (char)canary);
            memcpy(buffer.data(), path.c_str(), path.size() + 1);
            HostPicture picture(strip(), false);
            resetProgress();
            LONG status = porvane().CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, picture.info,
                                                  recordProgress, 3);

            size_t end = 0;
            while (end < buffer.size() && buffer[end] != '\0')
                ++end;
            ASSERT_LT(end, buffer.size()) << "no terminating zero left in the buffer";
            EXPECT_EQ(std::string(buffer.data(), end), expected);
            for (size_t i = length + 5; i < buffer.size(); ++i) {
                if ((uint8_t)buffer[i] != canary) {
                    ADD_FAILURE() << "byte " << i << " changed: past the name, its zero and four more";
                    break;
                }
            }
            EXPECT_EQ(lockCount(picture.header), 0u);
            EXPECT_EQ(lockCount(picture.bits), 0u);

            const std::string finalName = expected.substr(prefix.size());
            if (!folderExists) {
                EXPECT_EQ(status, 109);
                EXPECT_EQ(scratch.names(), Names{});
            } else if (expected.size() <= 255) {
                // Well within what the ANSI file functions take.
                EXPECT_EQ(status, 0);
                EXPECT_EQ(scratch.names(), Names{finalName});
                if (status == 0)
                    expectPaletteFile(expected);
            } else {
                // Past 255 characters the file system may or may not take
                // the name; either way the outcome must be consistent.
                EXPECT_TRUE(status == 0 || status == 109) << "status " << status;
                if (status == 0) {
                    EXPECT_EQ(scratch.names(), Names{finalName});
                    EXPECT_EQ(progressCalls, (Calls{{0, 1, 3}, {1, 1, 3}}));
                } else {
                    EXPECT_EQ(scratch.names(), Names{});
                }
            }
        }
    }
}

}  // namespace
