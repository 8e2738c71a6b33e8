// The export path on the native build: file bytes, row conversion, the exact
// order of platform calls, the size refusals and palette mode's renaming.
#include <gtest/gtest.h>

#include <string.h>

#include "../../cel/cel_format.h"
#include "../../cel/palette_mode.h"
#include "../../settings/settings_store.h"
#include "native_test_support.h"

using Bytes = std::vector<uint8_t>;

static Bytes header(uint8_t mark, uint8_t depth, uint16_t width, uint16_t height)
{
    Bytes bytes = {'K', 'i', 'S', 'S', mark, depth, 0, 0,
                   (uint8_t)width, (uint8_t)(width >> 8), (uint8_t)height, (uint8_t)(height >> 8)};
    bytes.resize(32, 0);
    return bytes;
}

static Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

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

TEST_F(CelExport, HeaderFieldsAreLittleEndianAndEverythingElseZero)
{
    uint8_t bytes[CEL_HEADER_BYTES];
    encodeCelHeader(CelHeader{CEL_MARK_CEL, 8, 320, 200}, bytes);
    EXPECT_EQ(header(0x20, 8, 320, 200), Bytes(bytes, bytes + 32));
    EXPECT_EQ(Bytes({0x4B, 0x69, 0x53, 0x53, 0x20, 0x08, 0, 0, 0x40, 0x01, 0xC8, 0x00}), Bytes(bytes, bytes + 12));
    encodeCelHeader(CelHeader{CEL_MARK_PALETTE, 24, 256, 1}, bytes);
    EXPECT_EQ(Bytes({0x4B, 0x69, 0x53, 0x53, 0x10, 0x18, 0, 0, 0x00, 0x01, 0x01, 0x00}), Bytes(bytes, bytes + 12));
}

TEST_F(CelExport, RowBytesFollowTheColourDepth)
{
    EXPECT_EQ(1, celRowBytes(1, 5));
    EXPECT_EQ(3, celRowBytes(4, 5));
    EXPECT_EQ(5, celRowBytes(8, 5));
    EXPECT_EQ(15, celRowBytes(24, 5));
    EXPECT_EQ(5, celRowBytes(16, 5));
    EXPECT_EQ(5, celRowBytes(-3, 5));
}

TEST_F(CelExport, EightBitRowsArePackedTopDown)
{
    // Bottom row x1 x2 x3, top row y1 y2 y3, each padded to 4 bytes.
    HostPicture picture(8, 3, 2, {0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE});
    Bytes file = exportAndRead(picture, "small.cel");
    EXPECT_EQ(concat(header(0x20, 8, 3, 2), {0x21, 0x22, 0x23, 0x11, 0x12, 0x13}), file);
    EXPECT_EQ(38u, file.size());
}

TEST_F(CelExport, TwentyFourBitPixelsBecomeRedGreenBlue)
{
    HostPicture picture(24, 2, 1, {0xB1, 0x61, 0xA1, 0xB2, 0x62, 0xA2, 0xEE, 0xEE});
    EXPECT_EQ(concat(header(0x20, 24, 2, 1), {0xA1, 0x61, 0xB1, 0xA2, 0x62, 0xB2}),
              exportAndRead(picture, "pair.cel"));
}

TEST_F(CelExport, NegativeHeightIsATopDownPicture)
{
    HostPicture picture(8, 3, -2, {0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE});
    EXPECT_EQ(concat(header(0x20, 8, 3, 2), {0x11, 0x12, 0x13, 0x21, 0x22, 0x23}),
              exportAndRead(picture, "topdown.cel"));
}

TEST_F(CelExport, PackedRowsKeepTheirOrderWithUnusedBitsCleared)
{
    HostPicture fourBit(4, 3, 1, {0x12, 0x3F, 0xEE, 0xEE});  // pixels 1 2 3, then a stray nibble
    EXPECT_EQ(concat(header(0x20, 4, 3, 1), {0x12, 0x30}), exportAndRead(fourBit, "four.cel"));
    HostPicture oneBit(1, 10, 1, {0xA5, 0xFF, 0xEE, 0xEE});  // 10 pixels: 6 stray bits in the 2nd byte
    EXPECT_EQ(concat(header(0x20, 1, 10, 1), {0xA5, 0xC0}), exportAndRead(oneBit, "one.cel"));
}

TEST_F(CelExport, OtherDepthsGetAZeroBlockOfOneBytePerPixel)
{
    HostPicture picture(16, 3, 2, patternBits(16, 3, 2, 9));
    EXPECT_EQ(concat(header(0x20, 16, 3, 2), Bytes(6, 0)), exportAndRead(picture, "sixteen.cel"));
}

TEST_F(CelExport, EmptyPictureIsTheHeaderAlone)
{
    HostPicture picture(8, 40, 0, {});
    EXPECT_EQ(header(0x20, 8, 40, 0), exportAndRead(picture, "empty.cel"));
}

TEST_F(CelExport, PlatformCallsComeInTheirFixedOrder)
{
    HostPicture picture(8, 5, 3, patternBits(8, 5, 3));
    NativePlatform::resetCalls();
    exportAndRead(picture, "order.cel");
    EXPECT_EQ(std::vector<std::string>({"LocalLock", "LocalLock", "LocalAlloc", "RegCreateKeyA", "RegQueryValueExA",
                                        "RegCloseKey", "GetTempFileNameA", "CreateFileA", "WriteFile", "WriteFile",
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

TEST_F(CelExport, StopAtTheEndKeepsTheCompleteFile)
{
    HostPicture picture(8, 3, 2, {0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE});
    progressAnswerAt = 1;
    EXPECT_EQ(38u, exportAndRead(picture, "late.cel", EXPORT_ABORTED).size());
}

TEST_F(CelExport, PicturesACelCannotHoldAreRefusedBeforeAnyAllocation)
{
    const struct {
        int16_t depth;
        int32_t width, height;
    } refused[] = {{8, 65536, 1}, {8, 1, 65536}, {8, 1, -65536}, {8, -1, 1}, {24, 65535, 65535},
                   {8, 1, INT32_MIN}, {8, INT32_MIN, 1}, {24, INT32_MAX, 1}};
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

TEST_F(CelExport, LargestAcceptedSizesStillFitTheHeader)
{
    HostPicture wide(8, 65535, 1, patternBits(8, 65535, 1));
    Bytes file = exportAndRead(wide, "wide.cel");
    ASSERT_EQ(32u + 65535u, file.size());
    EXPECT_EQ(header(0x20, 8, 65535, 1), Bytes(file.begin(), file.begin() + 32));
}

TEST_F(CelExport, ExistingFileIsReplacedWhole)
{
    writeFile(scratch.path("old.cel"), Bytes(5000, 0x55));
    HostPicture picture(8, 3, 2, {0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE});
    EXPECT_EQ(38u, exportAndRead(picture, "old.cel").size());
    EXPECT_EQ(std::vector<std::string>({"old.cel"}), scratch.names());
}

TEST_F(CelExport, MissingFolderCreatesNothing)
{
    HostPicture picture(8, 3, 2, patternBits(8, 3, 2));
    EXPECT_TRUE(exportAndRead(picture, "nowhere/file.cel", EXPORT_WRITE_ERROR).empty());
    EXPECT_EQ((std::vector<ProgressCall>{{0, 1, 77}}), progressCalls);
    EXPECT_TRUE(scratch.names().empty());
}

// Palette mode: the rename rule on its own, then through the export.

static std::string renamed(std::string path)
{
    std::vector<char> buffer(path.begin(), path.end());
    buffer.resize(path.size() + 5, '\0');
    PaletteMode::renameToPalette(buffer.data());
    return buffer.data();
}

TEST(PaletteRename, LastSixCharactersDecide)
{
    EXPECT_EQ("C:\\pics\\strip.kcf", renamed("C:\\pics\\strip.cel"));
    EXPECT_EQ("C:\\pics\\strip.kcf", renamed("C:\\pics\\strip"));
    EXPECT_EQ("C:\\pics\\strip.kcf", renamed("C:\\pics\\strip.jpeg"));
    EXPECT_EQ("C:\\pics\\strip.kcf", renamed("C:\\pics\\strip.tiff2"));
    EXPECT_EQ("C:\\pics\\colour", renamed("C:\\pics\\colour"));
    EXPECT_EQ("C:\\pics\\strip.backup", renamed("C:\\pics\\strip.backup"));
    EXPECT_EQ("a.kcf", renamed("a.b"));
    EXPECT_EQ("ab", renamed("ab"));
    EXPECT_EQ(".kcf", renamed("."));
    EXPECT_EQ("pics/strip", renamed("pics/strip"));  // only the backslash separates folders
}

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

struct PaletteExport : CelExport {
    Bytes strip()
    {
        Bytes rows;
        for (int i = 0; i < 256; ++i)
            rows.insert(rows.end(), {(uint8_t)i, (uint8_t)(255 - i), (uint8_t)(i * 3)});
        return rows;
    }
    Bytes stripAsRgb()
    {
        Bytes rgb;
        for (int i = 0; i < 256; ++i)
            rgb.insert(rgb.end(), {(uint8_t)(i * 3), (uint8_t)(255 - i), (uint8_t)i});
        return rgb;
    }
};

TEST_F(PaletteExport, SettingOneTurnsAStripIntoAPaletteFile)
{
    storeSetting(REG_DWORD, {1, 0, 0, 0});
    HostPicture picture(24, 256, 1, strip());
    std::string path = scratch.path("strip.cel");
    EXPECT_EQ(EXPORT_OK, exportTo(&path, picture));
    EXPECT_EQ(scratch.path("strip.kcf"), path);
    Bytes file = readFile(path);
    EXPECT_EQ(800u, file.size());
    EXPECT_EQ(concat(header(0x10, 24, 256, 1), stripAsRgb()), file);
    EXPECT_EQ(std::vector<std::string>({"strip.kcf"}), scratch.names());
}

TEST_F(PaletteExport, OnlyExactlyOneAndExactlyAStripCount)
{
    const struct {
        DWORD type;
        Bytes value;
        int16_t depth;
        int32_t width, height;
        bool palette;
    } cases[] = {
        {REG_DWORD, {1, 0, 0, 0}, 24, 256, 1, true},    {REG_BINARY, {1}, 24, 256, 1, true},
        {REG_BINARY, {1, 0, 0, 0}, 24, 256, 1, true},   {REG_DWORD, {0, 0, 0, 0}, 24, 256, 1, false},
        {REG_DWORD, {2, 0, 0, 0}, 24, 256, 1, false},   {REG_DWORD, {1, 0, 0, 1}, 24, 256, 1, false},
        {REG_SZ, {'1', '2', '3', '4', 0}, 24, 256, 1, false},
        {REG_DWORD, {1, 0, 0, 0}, 24, 256, 2, false},   {REG_DWORD, {1, 0, 0, 0}, 8, 256, 1, false},
        {REG_DWORD, {1, 0, 0, 0}, 24, 256, -1, false},  {REG_DWORD, {1, 0, 0, 0}, 24, 255, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.value.size() << " bytes, " << c.depth
                                        << " bits " << c.width << " x " << c.height);
        storeSetting(c.type, c.value);
        HostPicture picture(c.depth, c.width, c.height, patternBits(c.depth, c.width, c.height));
        std::string path = scratch.path("try.cel");
        EXPECT_EQ(EXPORT_OK, exportTo(&path, picture));
        EXPECT_EQ(scratch.path(c.palette ? "try.kcf" : "try.cel"), path);
        Bytes file = readFile(path);
        ASSERT_GE(file.size(), 32u);
        EXPECT_EQ(c.palette ? 0x10 : 0x20, file[4]);
        remove(path.c_str());
    }
}

TEST_F(PaletteExport, MissingFolderStillRewritesTheHostsBuffer)
{
    storeSetting(REG_DWORD, {1, 0, 0, 0});
    HostPicture picture(24, 256, 1, strip());
    std::string path = scratch.path("nofolder\\strip.cel");
    EXPECT_EQ(EXPORT_WRITE_ERROR, exportTo(&path, picture));
    EXPECT_EQ(scratch.path("nofolder\\strip.kcf"), path);
    EXPECT_TRUE(scratch.names().empty());
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
