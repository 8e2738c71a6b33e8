// porvane-host run as a doll maker runs it: a process of its own, started in
// another folder than its own, on BMP files written here, with the real
// porvane.xpi beside it. What it prints, the files it leaves, its exit status.
//
// A cel is expected to be what the plug-in makes of the rows a host should
// hand over: worked out here for the kinds the converter hands over as they
// are, and through the real CreatePicture for 32-bit pictures.
#include "wine_test_support.h"

#include <math.h>
#include <string.h>

#include <algorithm>

namespace {

// ---------------------------------------------------------------------------
// Running the program

struct HostRun {
    DWORD status;
    std::string output;  // standard output and error as written (ANSI code page text), lines ending in LF
};

// porvane-host beside the plug-in, in the folder the tests start in.
const std::string& hostProgram()
{
    static std::string program;
    if (program.empty()) {
        char folder[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
        program = std::string(folder, length < sizeof folder ? length : 0) + "\\" PORVANE_HOST;
    }
    return program;
}

HostRun runHost(const std::vector<std::string>& arguments, const std::string& folder)
{
    std::string commandLine = "\"" + hostProgram() + "\"";
    for (const std::string& argument : arguments)
        commandLine += " \"" + argument + "\"";
    HostRun run = {~0u, ""};
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        ADD_FAILURE() << "CreatePipe failed";
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;  // no input: nothing can wait for Enter
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
    BOOL started = CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, folder.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, NULL) && got > 0)
            for (DWORD i = 0; i < got; ++i)
                if (chunk[i] != '\r')  // lines end in CR LF, as Windows programs write them
                    run.output += chunk[i];
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << commandLine;
    }
    CloseHandle(readEnd);
    return run;
}

// ---------------------------------------------------------------------------
// BMP files

void put16(std::vector<uint8_t>* out, uint32_t value)
{
    out->insert(out->end(), {(uint8_t)value, (uint8_t)(value >> 8)});
}
void put32(std::vector<uint8_t>* out, uint32_t value)
{
    out->insert(out->end(), {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16), (uint8_t)(value >> 24)});
}

// Masks go into an info header of 52 bytes or more, after one of 40 bytes.
std::vector<uint8_t> bmpFile(uint32_t infoSize, int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                             const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& colourTable = {},
                             const std::vector<uint32_t>& masks = {})
{
    const uint32_t tableStart = 14 + infoSize + (infoSize == 40 ? 4 * (uint32_t)masks.size() : 0);
    const uint32_t pixelStart = tableStart + (uint32_t)colourTable.size();
    std::vector<uint8_t> file = {'B', 'M'};
    for (uint32_t value : {pixelStart + (uint32_t)pixels.size(), 0u, pixelStart, infoSize, (uint32_t)width,
                           (uint32_t)height})
        put32(&file, value);
    put16(&file, 1);
    put16(&file, bits);
    for (uint32_t value : {compression, (uint32_t)pixels.size(), 2835u, 2835u, (uint32_t)colourTable.size() / 4, 0u})
        put32(&file, value);
    if (infoSize == 40)
        for (uint32_t mask : masks)
            put32(&file, mask);
    for (size_t i = 0; infoSize > 40 && i < masks.size(); ++i)
        put32(&file, masks[i]);
    file.resize(tableStart, 0);
    file.insert(file.end(), colourTable.begin(), colourTable.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// The rows as a host (and an uncompressed BMP) stores them.
std::vector<uint8_t> storedRows(const Pixels& pixels, bool topDown)
{
    PixelPicture picture(pixels, topDown, 0);
    const size_t size = (size_t)(((int64_t)pixels.width * pixels.depth + 31) / 32 * 4) * pixels.height;
    const uint8_t* bits = (const uint8_t*)LocalLock(picture.bits);
    std::vector<uint8_t> rows(bits, bits + size);
    LocalUnlock(picture.bits);
    return rows;
}

std::vector<uint8_t> colourTable(size_t entries, uint8_t seed)
{
    std::vector<uint8_t> table;
    for (size_t i = 0; i < entries; ++i)
        table.insert(table.end(), {(uint8_t)(i * 3 + seed), (uint8_t)(i * 5 + 1), (uint8_t)(i * 7 + seed * 2), 0});
    return table;
}

std::vector<uint8_t> expectedPalette(const std::vector<uint8_t>& table)
{
    std::vector<uint8_t> file = {'K', 'i', 'S', 'S', MARK_PALETTE, 24, 0, 0, 0, 1, 1, 0};
    file.resize(32, 0);
    for (size_t i = 0; i < 256; ++i) {
        if (4 * i < table.size())
            file.insert(file.end(), {table[4 * i + 2], table[4 * i + 1], table[4 * i]});
        else
            file.insert(file.end(), {0, 0, 0});
    }
    return file;
}

// BI_RLE8 or BI_RLE4 data, bottom row first, with every kind of code: runs
// of one index, indices one by one, moves over leading zeros and over a row
// of zeros, the end of a row before its trailing zeros, and the end of the
// picture before rows of zeros.
std::vector<uint8_t> runLengthData(const Pixels& pixels)
{
    const bool four = pixels.depth == 4;
    std::vector<uint8_t> out;
    for (int32_t y = pixels.height - 1; y >= 0; --y) {
        std::vector<uint8_t> v;
        for (int32_t x = 0; x < pixels.width; ++x)
            v.push_back((uint8_t)pixels.at(x, y));
        bool restIsZero = true;
        for (int32_t above = y; above >= 0; --above)
            for (int32_t x = 0; x < pixels.width; ++x)
                restIsZero = restIsZero && pixels.at(x, above) == 0;
        if (restIsZero)
            break;
        if (std::all_of(v.begin(), v.end(), [](uint8_t index) { return index == 0; })) {
            out.insert(out.end(), {0, 2, 0, 1});
            continue;
        }
        int32_t end = pixels.width, x = 0;
        while (end > 0 && v[end - 1] == 0)
            --end;
        while (x < end && v[x] == 0)
            ++x;
        if (x >= 3)
            out.insert(out.end(), {0, 2, (uint8_t)x, 0});
        else
            x = 0;
        while (x < end) {
            int32_t same = 1;
            while (x + same < end && v[x + same] == v[x])
                ++same;
            int32_t single = 0;  // pixels before the next run of three
            while (x + single < end && !(x + single + 2 < end && v[x + single] == v[x + single + 1] &&
                                         v[x + single] == v[x + single + 2]))
                ++single;
            if (same >= 3 || single < 3) {
                int32_t n = same >= 3 ? same : 1;
                out.insert(out.end(), {(uint8_t)n, (uint8_t)(four ? v[x] * 17 : v[x])});
                x += n;
                continue;
            }
            out.insert(out.end(), {0, (uint8_t)single});
            size_t start = out.size();
            for (int32_t i = 0; i < single; ++i) {
                if (!four)
                    out.push_back(v[x + i]);
                else if (i % 2 == 0)
                    out.push_back((uint8_t)(v[x + i] << 4));
                else
                    out.back() |= v[x + i];
            }
            if ((out.size() - start) % 2)
                out.push_back(0);
            x += single;
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

// A channel of `bits` bits scaled to 0-255.
uint32_t scaled(uint32_t value, int bits)
{
    return (uint32_t)lround(value * 255.0 / ((1 << bits) - 1));
}

// The cel the plug-in writes for rows handed over as they are.
std::vector<uint8_t> celThroughThePlugin(int16_t depth, int32_t width, int32_t height, const std::vector<uint8_t>& rows)
{
    ScratchFolder scratch;
    std::string path = scratch.path("direct.cel");
    HostPicture picture(depth, width, height, rows);
    EXPECT_EQ(exportPicture(&path, picture), 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::vector<uint8_t> bytes(32 + 4 * (size_t)width * height + 1);
    DWORD got = 0;
    ReadFile(file, bytes.data(), (DWORD)bytes.size(), &got, NULL);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// ---------------------------------------------------------------------------

class Converter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_PORVANE_READY();
        ASSERT_TRUE(deleteSetting());
        ASSERT_FALSE(scratch.folder.empty());
    }
    ScratchFolder scratch;
};

// The pictures a doll maker may have, in one run: lines, files, status.
TEST_F(Converter, AFolderOfMixedPicturesConvertsInOneRun)
{
    struct Picture {
        std::string name;          // ANSI code page text
        std::vector<uint8_t> bmp;
        std::string line;          // after "[i/n] name"
        std::vector<uint8_t> cel;  // empty: none expected
        std::vector<uint8_t> kcf;
    };
    const std::string to = "\x95\x5C";  // a folder whose name (表) ends in the byte of a backslash
    const Pixels doll = patternPixels(8, 5, 3, 1), mono = patternPixels(1, 9, 2, 2), small = patternPixels(4, 7, 2, 3);
    const Pixels sky = patternPixels(24, 3, 2, 4), top = patternPixels(8, 4, 2, 5), figure = patternPixels(8, 2, 2, 6);
    const std::vector<uint8_t> table200 = colourTable(200, 1), table2 = colourTable(2, 2), table16 = colourTable(16, 3);
    const std::vector<uint8_t> table256 = colourTable(256, 4);
    // Runs, moves and rows of zeros for the run-length pictures (top row first).
    Pixels runs = {8, 13, 5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0, 0, 0, 0, 5, 5, 5, 5, 5, 1, 2, 3, 0,
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              9, 4, 7, 1, 14, 2, 6, 6, 3, 8, 11, 12, 15,
                              7, 7, 1, 2, 2, 2, 2, 10, 0, 13, 0, 0, 0}};
    Pixels runs4 = runs;
    runs4.depth = 4;

    // 16 bits: red, green and blue fields of 5 bits (5-5-5, the top bit
    // ignored) or of 5, 6 and 5 bits (masks); expected as 24 bits.
    Pixels sixteen = {24, 3, 2, {}}, sixteen565 = {24, 3, 2, {}};
    std::vector<uint8_t> rows555, rows565;
    for (int32_t y = 0; y < 2; ++y) {
        std::vector<uint8_t> row555, row565;
        for (uint32_t x = 0; x < 3; ++x) {
            const uint32_t r = (7 * x + 11 * y + 3) % 32, g = (13 * x + 5 * y + 30) % 64, b = (x * 29 + y * 17) % 32;
            put16(&row555, r << 10 | (g % 32) << 5 | b | (x == 1 ? 0x8000 : 0));
            put16(&row565, r << 11 | g << 5 | b);
            sixteen.values.push_back(scaled(r, 5) << 16 | scaled(g % 32, 5) << 8 | scaled(b, 5));
            sixteen565.values.push_back(scaled(r, 5) << 16 | scaled(g, 6) << 8 | scaled(b, 5));
        }
        row555.resize(8, 0);  // padded to 4 bytes, and bottom row first
        row565.resize(8, 0);
        rows555.insert(rows555.begin(), row555.begin(), row555.end());
        rows565.insert(rows565.begin(), row565.begin(), row565.end());
    }

    // 32 bits: plain ones go over as they are, alpha and all; with colour
    // masks (here red, green, blue, alpha from the lowest byte up) they go
    // over as blue, green, red, alpha.
    std::vector<uint8_t> plain32, masked32, handedOver32;
    for (uint32_t i = 0; i < 3 * 2; ++i) {
        const uint8_t blue = (uint8_t)(i * 40 + 1), green = (uint8_t)(i * 30 + 2), red = (uint8_t)(i * 20 + 3);
        const uint8_t alpha = (uint8_t)(i % 3 == 0 ? 0 : i * 50);
        plain32.insert(plain32.end(), {blue, green, red, alpha});
        masked32.insert(masked32.end(), {red, green, blue, alpha});
        handedOver32.insert(handedOver32.end(), {blue, green, red, alpha});
    }

    const Picture pictures[] = {
        {"doll.bmp", bmpFile(40, 5, 3, 8, 0, storedRows(doll, false), table200),
         " -> " + to + "\\doll.cel  5 x 3, 8 bits, palette " + to + "\\doll.kcf", expectedKissFile(doll, MARK_CEL),
         expectedPalette(table200)},
        {"mono.bmp", bmpFile(124, 9, 2, 1, 0, storedRows(mono, false), table2),
         " -> " + to + "\\mono.cel  9 x 2, 1 bit, palette " + to + "\\mono.kcf", expectedKissFile(mono, MARK_CEL),
         expectedPalette(table2)},
        {"small.BMP", bmpFile(40, 7, 2, 4, 0, storedRows(small, false), table16),
         " -> " + to + "\\small.cel  7 x 2, 4 bits, palette " + to + "\\small.kcf", expectedKissFile(small, MARK_CEL),
         expectedPalette(table16)},
        {"sky.bmp", bmpFile(40, 3, 2, 24, 0, storedRows(sky, false)),
         " -> " + to + "\\sky.cel  3 x 2, 24 bits, no palette (truecolour picture)", expectedKissFile(sky, MARK_CEL), {}},
        {"top.bmp", bmpFile(40, 4, -2, 8, 0, storedRows(top, true), table256),
         " -> " + to + "\\top.cel  4 x 2, top row first, 8 bits, palette " + to + "\\top.kcf",
         expectedKissFile(top, MARK_CEL), expectedPalette(table256)},
        {"runs.bmp", bmpFile(40, 13, 5, 8, 1, runLengthData(runs), table256),
         " -> " + to + "\\runs.cel  13 x 5, 8 bits, run-length compressed, palette " + to + "\\runs.kcf",
         expectedKissFile(runs, MARK_CEL), expectedPalette(table256)},
        {"runs4.bmp", bmpFile(40, 13, 5, 4, 2, runLengthData(runs4), table16),
         " -> " + to + "\\runs4.cel  13 x 5, 4 bits, run-length compressed, palette " + to + "\\runs4.kcf",
         expectedKissFile(runs4, MARK_CEL), expectedPalette(table16)},
        {"high.bmp", bmpFile(40, 3, 2, 16, 0, rows555),
         " -> " + to + "\\high.cel  3 x 2, 16 bits turned into 24 bits, no palette (truecolour picture)",
         expectedKissFile(sixteen, MARK_CEL), {}},
        {"high565.bmp", bmpFile(40, 3, 2, 16, 3, rows565, {}, {0xF800, 0x07E0, 0x001F}),
         " -> " + to + "\\high565.cel  3 x 2, 16 bits turned into 24 bits, no palette (truecolour picture)",
         expectedKissFile(sixteen565, MARK_CEL), {}},
        {"alpha.bmp", bmpFile(40, 3, 2, 32, 0, plain32),
         " -> " + to + "\\alpha.cel  3 x 2, 32 bits, no palette (truecolour picture)",
         celThroughThePlugin(32, 3, 2, plain32), {}},
        {"masks.bmp", bmpFile(56, 3, 2, 32, 3, masked32, {}, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}),
         " -> " + to + "\\masks.cel  3 x 2, 32 bits with colour masks, rearranged, no palette (truecolour picture)",
         celThroughThePlugin(32, 3, 2, handedOver32), {}},
        // ソックス: ソ's second byte is a backslash's.
        {"\x83\x5C\x83\x62\x83\x4E\x83\x58.bmp", bmpFile(40, 2, 2, 8, 0, storedRows(figure, false), table16),
         " -> " + to + "\\\x83\x5C\x83\x62\x83\x4E\x83\x58.cel  2 x 2, 8 bits, palette " + to +
             "\\\x83\x5C\x83\x62\x83\x4E\x83\x58.kcf",
         expectedKissFile(figure, MARK_CEL), expectedPalette(table16)},
        {"cut.bmp", bmpFile(40, 5, 3, 8, 0, std::vector<uint8_t>(23), table16),
         ": not converted: the pixel data is shorter than the header says", {}, {}},
        {"photo.bmp", bmpFile(40, 5, 3, 0, 5, {0x89, 'P', 'N', 'G'}),
         ": not converted: a BMP that holds a PNG or JPEG image", {}, {}},
        {"wide.bmp", bmpFile(40, 65536, 1, 8, 0, std::vector<uint8_t>(65536), table16),
         ": not converted: too large for a KiSS cel (at most 65,535 pixels a side)", {}, {}},
    };

    std::vector<std::string> arguments = {"export"};
    std::string expectedOutput;
    Names expectedFiles;
    const size_t count = sizeof pictures / sizeof pictures[0];
    for (const Picture& picture : pictures) {
        ASSERT_TRUE(writeFile(scratch.path(picture.name), picture.bmp)) << picture.name;
        arguments.push_back(picture.name);
        expectedOutput += "[" + std::to_string(arguments.size() - 1) + "/" + std::to_string(count) + "] " +
                          picture.name + picture.line + "\n";
        const std::string name = picture.name.substr(0, picture.name.rfind('.'));
        for (const auto& file : {std::make_pair(".cel", picture.cel), std::make_pair(".kcf", picture.kcf)})
            if (!file.second.empty())
                expectedFiles.push_back(name + file.first);
    }
    arguments.insert(arguments.end(), {"--to", to, "--palette"});
    expectedOutput += "12 of 15 pictures converted; 3 failed.\n";

    HostRun run = runHost(arguments, scratch.folder);
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, expectedOutput);
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(folderEntries(scratch.path(to)), expectedFiles);
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const std::string name = scratch.path(to) + "\\" + picture.name.substr(0, picture.name.rfind('.'));
        if (!picture.cel.empty()) {
            EXPECT_TRUE(fileHolds(name + ".cel", picture.cel));
        }
        if (!picture.kcf.empty()) {
            EXPECT_TRUE(fileHolds(name + ".kcf", picture.kcf));
        }
    }
}

// Dropped on the program, pictures become cels and palettes beside
// themselves, but never over a picture that is being converted.
TEST_F(Converter, DroppedPicturesAreSavedBesideThemselvesWithPalettes)
{
    const Pixels face = patternPixels(8, 3, 3, 7);
    const std::vector<uint8_t> table = colourTable(256, 9), bmp = bmpFile(40, 3, 3, 8, 0, storedRows(face, false), table);
    ASSERT_TRUE(writeFile(scratch.path("face.bmp"), bmp));
    ASSERT_TRUE(writeFile(scratch.path("odd.cel"), bmp));  // a BMP under a cel's name
    HostRun run = runHost({scratch.path("face.bmp"), scratch.path("odd.cel")}, scratch.folder);
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, "[1/2] " + scratch.path("face.bmp") + " -> " + scratch.path("face.cel") +
                              "  3 x 3, 8 bits, palette " + scratch.path("face.kcf") + "\n[2/2] " +
                              scratch.path("odd.cel") + " -> " + scratch.path("odd.cel") +
                              ": not written: it is one of the pictures being converted\n"
                              "1 of 2 pictures converted; 1 failed.\n");
    EXPECT_TRUE(fileHolds(scratch.path("face.cel"), expectedKissFile(face, MARK_CEL)));
    EXPECT_TRUE(fileHolds(scratch.path("face.kcf"), expectedPalette(table)));
    EXPECT_TRUE(fileHolds(scratch.path("odd.cel"), bmp));
    EXPECT_EQ(scratch.names(), (Names{"face.bmp", "face.cel", "face.kcf", "odd.cel"}));
}

// The host's own form: one picture under the name given, with the plug-in's
// progress reports; never over the picture itself, however it is spelled.
TEST_F(Converter, OnePictureUnderTheNameGiven)
{
    const Pixels face = patternPixels(24, 2, 3, 8);
    const std::vector<uint8_t> bmp = bmpFile(40, 2, 3, 24, 0, storedRows(face, false));
    ASSERT_TRUE(writeFile(scratch.path("face.bmp"), bmp));
    HostRun run = runHost({"export", "face.bmp", "face.cel"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "face.bmp: 2 x 3, 24 bits\n  progress 0/1\n  progress 1/1\n  written (0): face.cel\n");
    EXPECT_TRUE(fileHolds(scratch.path("face.cel"), expectedKissFile(face, MARK_CEL)));

    run = runHost({"export", "face.bmp", ".\\FACE.Bmp."}, scratch.folder);
    EXPECT_EQ(run.status, 2u);
    EXPECT_EQ(run.output, "face.bmp: not written: .\\FACE.Bmp. is the picture itself: give the cel another name\n");
    EXPECT_TRUE(fileHolds(scratch.path("face.bmp"), bmp));
}

// A result of 109 comes with its likely cause, read from the destination.
TEST_F(Converter, AFailedWriteNamesItsCause)
{
    ASSERT_TRUE(writeFile(scratch.path("face.bmp"), bmpFile(40, 2, 2, 24, 0, std::vector<uint8_t>(16, 0x44))));
    ASSERT_TRUE(CreateDirectoryA(scratch.path("sub").c_str(), NULL));
    const std::vector<uint8_t> old(10, 0x11);
    ASSERT_TRUE(writeFile(scratch.path("held.cel"), old));
    ASSERT_TRUE(writeFile(scratch.path("locked.cel"), old));
    ASSERT_TRUE(SetFileAttributesA(scratch.path("locked.cel").c_str(), FILE_ATTRIBUTE_READONLY));
    struct Case {
        std::string destination, cause;
        bool held;  // another program has the file open meanwhile
    };
    const Case cases[] = {
        {"missing\\\x83\x5C.cel", "its folder missing does not exist", false},  // ソ: its second byte is a backslash's
        {"sub", "it is a folder: give a file name, or put the folder after --to", false},
        {"locked.cel", "it is read-only: clear its read-only setting, or choose another name", false},
        {"held.cel", "it is in use by another program: close it there first", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        HANDLE holder = c.held ? CreateFileA(scratch.path(c.destination).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL)
                               : NULL;
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        HostRun run = runHost({"export", "face.bmp", c.destination}, scratch.folder);
        if (holder != NULL)
            CloseHandle(holder);
        EXPECT_EQ(run.status, 1u);
        EXPECT_NE(run.output.find("  not written (109): " + c.destination + ": " + c.cause + "\n"), std::string::npos)
            << run.output;
    }
    SetFileAttributesA(scratch.path("locked.cel").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(fileHolds(scratch.path("held.cel"), old));
    EXPECT_TRUE(fileHolds(scratch.path("locked.cel"), old));
    EXPECT_EQ(scratch.names(), (Names{"face.bmp", "held.cel", "locked.cel", "sub"}));
}

// What the command line does not allow stops before anything is loaded or written.
TEST_F(Converter, CommandLinesItCannotTakeAreUsageErrors)
{
    ASSERT_TRUE(writeFile(scratch.path("a.bmp"), bmpFile(40, 1, 1, 24, 0, {1, 2, 3, 0})));
    const std::vector<std::vector<std::string>> commandLines = {
        {"info", "extra"},
        {"export", "a.bmp", "a.cel", "--palette", "--stop-at-end"},
        {"export", "--bogus", "a.bmp"},
        {"convert", "a.bmp"},
    };
    for (const auto& arguments : commandLines) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        HostRun run = runHost(arguments, scratch.folder);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.output.find("porvane-host --help lists the commands.\n"), std::string::npos) << run.output;
        EXPECT_EQ(scratch.names(), Names{"a.bmp"});
    }
}

}  // namespace
