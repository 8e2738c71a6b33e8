// What the real DLL under Wine cannot show: the exact order of the platform
// calls an export makes, that nothing is touched before a refusal, both
// 24-bit row conversions where the DLL can run only one, that
// renaming never writes past a buffer (under the sanitizers and valgrind),
// and the settings store's handle discipline, counted in the native layer.
#include <gtest/gtest.h>

#include <string.h>

#include "../../cel/bgr_to_rgb.h"
#include "../../cel/palette_mode.h"
#include "../../cel/path_text.h"
#include "../../settings/settings_store.h"
#include "native_test_support.h"

using Bytes = std::vector<uint8_t>;

struct CelExport : ::testing::Test {
    ScratchFolder scratch;
    void SetUp() override
    {
        NativePlatform::resetCalls();
        progressAnswerAt = -1;
    }
    // Exports and returns the file written at `name` (empty when none).
    Bytes exportAndRead(HostPicture& picture, const std::string& name, LONG expected = EXPORT_OK)
    {
        std::string path = scratch.path(name);
        EXPECT_EQ(expected, exportTo(&path, picture));
        return readFile(path);
    }
};

TEST_F(CelExport, PlatformCallsComeInTheirFixedOrder)
{
    HostPicture picture(8, 5, 3, patternBits(8, 5, 3));
    NativePlatform::resetCalls();
    exportAndRead(picture, "order.cel");
    EXPECT_EQ(std::vector<std::string>({"LocalLock", "LocalLock", "LocalAlloc", "RegCreateKeyA", "RegQueryValueExA",
                                        "RegCloseKey", "GetFileAttributesA", "CreateFileA", "WriteFile", "WriteFile",
                                        "CloseHandle", "MoveFileExA", "LocalUnlock", "LocalUnlock", "LocalFree"}),
              NativePlatform::callLog());
    EXPECT_EQ((std::vector<ProgressCall>{{0, 1, 77}, {1, 1, 77}}), progressCalls);
    NativePlatform::Held held = NativePlatform::held();
    EXPECT_EQ(2, held.memoryBlocks);  // the picture's own two handles
    EXPECT_EQ(0, held.locks + held.files + held.registryKeys);
}

TEST_F(CelExport, StopAtTheStartTouchesNothing)
{
    HostPicture picture(8, 5, 3, patternBits(8, 5, 3));
    NativePlatform::resetCalls();
    progressAnswerAt = 0;
    EXPECT_TRUE(exportAndRead(picture, "stopped.cel", EXPORT_ABORTED).empty());
    EXPECT_TRUE(NativePlatform::callLog().empty());
    EXPECT_EQ((std::vector<ProgressCall>{{0, 1, 77}}), progressCalls);
}

TEST_F(CelExport, PicturesACelCannotHoldAreRefusedBeforeAnyAllocation)
{
    const struct {
        int16_t depth;
        int32_t width, height;
    } refused[] = {{8, 65536, 1}, {8, 1, 65536}, {8, 1, -65536}, {8, -1, 1}, {24, 65535, 65535},
                   {8, 1, INT32_MIN}, {8, INT32_MIN, 1}, {24, INT32_MAX, 1}, {32, 65535, 8193}};
    for (const auto& picture : refused) {
        SCOPED_TRACE(testing::Message() << picture.depth << " bits, " << picture.width << " x " << picture.height);
        HostPicture host(picture.depth, picture.width, picture.height, Bytes(16, 0xEE));
        NativePlatform::resetCalls();
        exportAndRead(host, "huge.cel", EXPORT_NO_MEMORY);
        EXPECT_EQ(std::vector<std::string>({"LocalLock", "LocalLock", "LocalUnlock", "LocalUnlock"}),
                  NativePlatform::callLog());
        EXPECT_EQ((std::vector<ProgressCall>{{0, 1, 77}}), progressCalls);
    }
    EXPECT_TRUE(scratch.names().empty());
}

// Both 24-bit conversions on the same rows: the real DLL runs only the one
// its CPU allows. Every tail length of both loops, and no byte written past
// the row.

TEST(BgrToRgb, BothConversionsGiveTheSameBytesAsTheEncoder)
{
    ASSERT_TRUE(cpuHasSsse3()) << "this CPU has no SSSE3: the vector conversion cannot be checked here";
    std::vector<int32_t> widths = {640, 641, 4099};
    for (int32_t width = 0; width <= 40; ++width)
        widths.push_back(width);
    for (int32_t width : widths) {
        const Bytes host = patternBits(24, width, 1, (uint8_t)width);
        const Bytes file = expectedKissFile(24, width, 1, host, 0x20);
        const Bytes expected(file.begin() + 32, file.end());
        for (BgrToRgbRow convert : {bgrToRgbWordwise, bgrToRgbSsse3}) {
            SCOPED_TRACE(testing::Message() << width << " pixels, "
                                            << (convert == bgrToRgbSsse3 ? "SSSE3" : "word at a time"));
            Bytes row(expected.size() + 16, 0xA5);
            convert(host.data(), row.data(), width);
            EXPECT_EQ(expected, Bytes(row.begin(), row.begin() + expected.size()));
            EXPECT_EQ(Bytes(16, 0xA5), Bytes(row.begin() + expected.size(), row.end()));
        }
    }
}

// Palette mode's renaming, at the limits of the 256-byte working name.

TEST(PaletteRename, LongNamesNeverOverrunEitherBuffer)
{
    for (size_t length = 250; length <= 300; ++length) {
        for (const char* ending : {".cel", "\\strip", "xxxxxx"}) {
            std::string path = std::string(length - strlen(ending), 'p') + ending;
            SCOPED_TRACE(testing::Message() << length << " characters ending " << ending);
            std::vector<char> buffer(400, '#');
            memcpy(buffer.data(), path.c_str(), path.size() + 1);
            int changed = PaletteMode::renameToPalette(buffer.data());
            std::string result = buffer.data();
            size_t newLength = ending[0] == '\\' ? length + 4 : length;
            bool fits = length < 256 && newLength <= 255 && strcmp(ending, "xxxxxx") != 0;
            EXPECT_EQ(fits ? 1 : 0, changed);
            EXPECT_EQ(fits ? newLength : length, result.size());
            for (size_t i = result.size() + 1; i < buffer.size(); ++i)
                ASSERT_EQ('#', buffer[i]) << "written past the name at " << i;
        }
    }
}

// Paths in code page 932: the second byte of a double-byte character (here
// ソ, 83 5C, and 表, 95 5C) is neither a separator nor a full stop, and a lead
// byte at the very end (a truncated character) stands alone.
TEST(PathText, FoldersAndPaletteNamesFollowCharactersNotBytes)
{
    const struct {
        const char* path;
        int folderPart;
        std::vector<int> starts;  // character starts met walking back from the end
        const char* asPalette;
    } cases[] = {
        {"", 0, {0}, ""},
        {"a.cel", 0, {4, 3, 2, 1, 0}, "a.kcf"},
        {"C:\\p\\a", 5, {5, 4, 3, 2, 1, 0}, "C:\\p\\a.kcf"},
        {"C:/p/ab", 5, {6, 5, 4, 3, 2, 1, 0}, "C:/p/ab.kcf"},
        {"d\\\x83\x5C.c", 2, {5, 4, 2, 1, 0}, "d\\\x83\x5C.kcf"},
        {"\x83\x5C\\x", 3, {3, 2, 0}, "\x83\x5C\\x.kcf"},
        {"a.\x83\x5C", 0, {2, 1, 0}, "a.kcf"},
        {"abc\x95\x5C" "def", 0, {7, 6, 5, 3, 2, 1, 0}, "abc\x95\x5C" "def"},
        {"d\\ab\x83", 2, {4, 3, 2, 1, 0}, "d\\ab\x83.kcf"},
        {"a\x83\\", 0, {1, 0}, "a\x83\\"},
    };
    for (const auto& c : cases) {
        const std::string path = c.path;
        SCOPED_TRACE(testing::PrintToString(path));
        EXPECT_EQ(c.folderPart, folderPartLength(c.path));
        std::vector<int> starts;
        for (const char* at = c.path + path.size(); starts.empty() || at != c.path; at = previousCharacter(c.path, at))
            starts.push_back((int)(previousCharacter(c.path, at) - c.path));
        EXPECT_EQ(c.starts, starts);
        char buffer[64];
        strcpy(buffer, c.path);
        PaletteMode::renameToPalette(buffer);
        EXPECT_EQ(std::string(c.asPalette), buffer);
    }
}

// The settings store's one-shot accesses.

TEST(SettingsStore, OneShotAccessesLeaveNoKeyOpen)
{
    ScratchFolder scratch;
    DWORD type = 0;
    BYTE data[4] = {0, 0, 0, 0};
    ASSERT_EQ(1, SettingsStore::createKey(HKEY_CURRENT_USER, SETTINGS_KEY_PATH));
    EXPECT_EQ(1, NativePlatform::held().registryKeys);
    EXPECT_EQ(0, SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, SettingsStore::ONE_SHOT));
    EXPECT_EQ(0, NativePlatform::held().registryKeys);

    // Reading created the key but not the value.
    Bytes stored = readFile(scratch.path("registry"));
    std::string registry(stored.begin(), stored.end());
    EXPECT_NE(std::string::npos, registry.find("Software\\brovald\\porvane"));
    EXPECT_EQ(std::string::npos, registry.find(PALETTE_SETTING_NAME));

    // A later write reopens the remembered key by itself.
    const DWORD one = 1;
    NativePlatform::resetCalls();
    EXPECT_EQ(1, SettingsStore::writeValue(PALETTE_SETTING_NAME, REG_DWORD, (const BYTE*)&one, 4, SettingsStore::ONE_SHOT));
    EXPECT_EQ(std::vector<std::string>({"RegOpenKeyExA", "RegSetValueExA", "RegCloseKey"}), NativePlatform::callLog());
    EXPECT_EQ(1, SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, SettingsStore::ONE_SHOT));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(0, memcmp(data, &one, 4));
    EXPECT_EQ(0, NativePlatform::held().registryKeys);
}

TEST(SettingsStore, ValuesLongerThanFourBytesFailTheRead)
{
    ScratchFolder scratch;
    storeSetting(REG_SZ, {'o', 'n', 'e', '!', 0});
    DWORD type = 0;
    BYTE data[4] = {0, 0, 0, 0};
    SettingsStore::createKey(HKEY_CURRENT_USER, SETTINGS_KEY_PATH);
    EXPECT_EQ(0, SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, SettingsStore::ONE_SHOT));
    EXPECT_EQ(0, NativePlatform::held().registryKeys);
}
