// porvane-host run as a doll maker runs it: a process of its own, started in
// another folder than its own, on BMP files written here, with the real
// porvane.xpi beside it. What it prints, the files it leaves, its exit status.
//
// A cel is expected to be what a KiSS viewer should show of the picture,
// worked out here from the picture's own pixels.
#include "wine_test_support.h"
#include "../shared/psd_writer.h"

#include "../../host/doll/dress_up_layout.h"
#include "../../host/kiss_files/kiss_configuration.h"
#include "../../host/lzh/lzh_reader.h"
#include "../../host/pictures/read_picture.h"
#include "../../host/system/file_access.h"

#include <math.h>
#include <string.h>

#include <algorithm>

namespace {

// ---------------------------------------------------------------------------
// Running the program. Names and output are UTF-8 here: the converter takes
// its arguments in UTF-16 and writes UTF-8 to a pipe, so every name Windows
// allows can be given and read back, whatever the ANSI code page.

std::wstring wide(const std::string& utf8)
{
    std::wstring out(utf8.size(), L'\0');
    out.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], (int)out.size()));
    return out;
}

std::string utf8(const std::wstring& text)
{
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], (int)out.size(), NULL, NULL));
    return out;
}

struct HostRun {
    DWORD status;
    std::string output;  // standard output and error as written (UTF-8), lines ending in LF
};

// porvane-host beside the plug-in, in the folder the tests start in.
const std::wstring& hostProgram()
{
    static std::wstring program;
    if (program.empty()) {
        wchar_t folder[MAX_PATH];
        DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
        program = std::wstring(folder, length < MAX_PATH ? length : 0) + L"\\" + wide(PORVANE_HOST);
    }
    return program;
}

HostRun runHost(const std::vector<std::string>& arguments, const std::string& folder)
{
    std::wstring commandLine = L"\"" + hostProgram() + L"\"";
    for (const std::string& argument : arguments)
        commandLine += L" \"" + wide(argument) + L"\"";
    HostRun run = {~0u, ""};
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        ADD_FAILURE() << "CreatePipe failed";
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;  // no input: nothing can wait for Enter
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
    BOOL started = CreateProcessW(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, wide(folder).c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        // The output is read while the program runs and once more after it
        // ends: waiting for the pipe's end instead would wait on every
        // process that holds its other end, which Wine's console helpers may
        // do well after the program itself has ended.
        char chunk[4096];
        auto drain = [&] {
            DWORD waiting = 0, got = 0;
            while (PeekNamedPipe(readEnd, NULL, 0, NULL, &waiting, NULL) && waiting > 0 &&
                   ReadFile(readEnd, chunk, sizeof chunk, &got, NULL) && got > 0)
                for (DWORD i = 0; i < got; ++i)
                    if (chunk[i] != '\r')  // lines end in CR LF, as Windows programs write them
                        run.output += chunk[i];
        };
        while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT)
            drain();
        drain();
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << utf8(commandLine);
    }
    CloseHandle(readEnd);
    return run;
}

// The English text, or the Japanese, as the converter speaks to this user.
std::string inUserLanguage(const std::string& english, const std::string& japanese)
{
    return (GetUserDefaultUILanguage() & 0x3FF) == 0x11 ? japanese : english;
}

// Files by UTF-8 names, through the wide calls.
bool writeFileU(const std::string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size();
    return CloseHandle(file) && ok;
}

// A file's bytes by its UTF-8 name; empty when it cannot be read.
std::string readFileU(const std::string& path)
{
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        bytes.append(chunk, got);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return bytes;
}

::testing::AssertionResult holds(const std::string& path, const std::vector<uint8_t>& expected)
{
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return ::testing::AssertionFailure() << path << " cannot be opened";
    std::vector<uint8_t> bytes(expected.size() + 1);
    DWORD got = 0;
    ReadFile(file, bytes.data(), (DWORD)bytes.size(), &got, NULL);
    CloseHandle(file);
    bytes.resize(got);
    if (bytes == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < bytes.size() && at < expected.size() && bytes[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure() << path << ": " << bytes.size() << " bytes where " << expected.size()
                                         << " were expected; first difference at offset " << at;
}

// The names in `folder`, sorted, in UTF-8.
Names entries(const std::string& folder)
{
    Names names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = utf8(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
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

// The rows as a host (and an uncompressed BMP) stores them, padding zero.
std::vector<uint8_t> storedRows(const Pixels& pixels, bool topDown)
{
    return hostRows(pixels, topDown, 0);
}

std::vector<uint8_t> colourTable(size_t entries, uint8_t seed)
{
    std::vector<uint8_t> table;
    for (size_t i = 0; i < entries; ++i)
        table.insert(table.end(), {(uint8_t)(i * 3 + seed), (uint8_t)(i * 5 + 1), (uint8_t)(i * 7 + seed * 2), 0});
    return table;
}

// The palette of a BMP's colour table (blue, green, red, 0 an entry): the
// strip of its colours, black past its end.
std::vector<uint8_t> expectedPalette(const std::vector<uint8_t>& table)
{
    std::vector<uint8_t> strip(3 * 256, 0);
    for (size_t i = 0; i < 256 && 4 * i < table.size(); ++i)
        memcpy(&strip[3 * i], &table[4 * i], 3);
    return expectedKissFile(24, 256, 1, strip, MARK_PALETTE);
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

// PNG and GIF files, written here. PNG: chunks with their CRC-32, the rows
// (each after a filter byte of 0) in one zlib stream of stored deflate
// blocks. GIF: one image with a global colour table, its LZW codes all
// literals, the code table cleared before its codes would widen.
uint32_t crc32Of(const uint8_t* bytes, size_t count)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void pngChunk(std::vector<uint8_t>* png, const char* type, const std::vector<uint8_t>& data)
{
    const uint32_t length = (uint32_t)data.size();
    png->insert(png->end(), {(uint8_t)(length >> 24), (uint8_t)(length >> 16), (uint8_t)(length >> 8), (uint8_t)length});
    const size_t start = png->size();
    png->insert(png->end(), type, type + 4);
    png->insert(png->end(), data.begin(), data.end());
    const uint32_t crc = crc32Of(png->data() + start, png->size() - start);
    png->insert(png->end(), {(uint8_t)(crc >> 24), (uint8_t)(crc >> 16), (uint8_t)(crc >> 8), (uint8_t)crc});
}

// `rows`: each row's packed samples, top row first, without filter bytes.
std::vector<uint8_t> pngFile(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                             const std::vector<std::vector<uint8_t>>& rows, const std::vector<uint8_t>& plte = {},
                             const std::vector<uint8_t>& trns = {})
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header, raw, z = {0x78, 0x01};
    for (uint32_t value : {width, height})
        header.insert(header.end(), {(uint8_t)(value >> 24), (uint8_t)(value >> 16), (uint8_t)(value >> 8), (uint8_t)value});
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    pngChunk(&png, "IHDR", header);
    if (!plte.empty())
        pngChunk(&png, "PLTE", plte);
    if (!trns.empty())
        pngChunk(&png, "tRNS", trns);
    for (const std::vector<uint8_t>& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw)
        a = (a + byte) % 65521, b = (b + a) % 65521;
    const uint16_t length = (uint16_t)raw.size();  // one stored block: the pictures here are small
    z.insert(z.end(), {1, (uint8_t)length, (uint8_t)(length >> 8), (uint8_t)~length, (uint8_t)(~length >> 8)});
    z.insert(z.end(), raw.begin(), raw.end());
    z.insert(z.end(), {(uint8_t)(b >> 8), (uint8_t)b, (uint8_t)(a >> 8), (uint8_t)a});
    pngChunk(&png, "IDAT", z);
    pngChunk(&png, "IEND", {});
    return png;
}

// `colours`: red, green, blue, for 4 entries; `transparent`: an entry, or -1.
std::vector<uint8_t> gifFile(uint16_t width, uint16_t height, const std::vector<uint8_t>& colours, int transparent,
                             const std::vector<uint8_t>& indices)
{
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    put16(&gif, width);
    put16(&gif, height);
    gif.insert(gif.end(), {0x81, 0, 0});  // a global table of 4 entries
    gif.insert(gif.end(), colours.begin(), colours.end());
    if (transparent >= 0)
        gif.insert(gif.end(), {0x21, 0xF9, 4, 1, 0, 0, (uint8_t)transparent, 0});
    gif.push_back(0x2C);
    put16(&gif, 0);
    put16(&gif, 0);
    put16(&gif, width);
    put16(&gif, height);
    gif.push_back(0);
    // Codes of 3 bits: 4 is clear, 5 the end; after two literals the table
    // would widen to 4 bits, so a clear comes before every second literal.
    std::vector<uint8_t> data;
    uint32_t bits = 0, count = 0;
    auto code = [&](uint32_t value) {
        bits |= value << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8)
            data.push_back((uint8_t)bits);
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            code(4);
        code(indices[i]);
    }
    code(5);
    if (count > 0)
        data.push_back((uint8_t)bits);
    gif.push_back(2);  // the minimum code size
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t block = std::min<size_t>(255, data.size() - at);
        gif.push_back((uint8_t)block);
        gif.insert(gif.end(), data.begin() + at, data.begin() + at + block);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

// An OS/2 1.x BMP: a 12-byte header, 16-bit sizes, colour entries of three bytes.
std::vector<uint8_t> os2BmpFile(uint16_t width, uint16_t height, uint16_t bits, const std::vector<uint8_t>& table3,
                                const std::vector<uint8_t>& rows)
{
    const uint32_t pixelStart = 14 + 12 + (uint32_t)table3.size();
    std::vector<uint8_t> file = {'B', 'M'};
    for (uint32_t value : {pixelStart + (uint32_t)rows.size(), 0u, pixelStart, 12u})
        put32(&file, value);
    for (uint16_t value : {width, height, (uint16_t)1, bits})
        put16(&file, value);
    file.insert(file.end(), table3.begin(), table3.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

// `pixels` with its colour indices renumbered by `to`.
Pixels renumbered(Pixels pixels, const std::vector<uint32_t>& to)
{
    for (uint32_t& value : pixels.values)
        value = to[value];
    return pixels;
}

// A channel of `bits` bits scaled to 0-255.
uint32_t scaled(uint32_t value, int bits)
{
    return (uint32_t)lround(value * 255.0 / ((1 << bits) - 1));
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
        std::string name;          // UTF-8
        std::vector<uint8_t> bmp;
        std::string line;          // after "[i/n] name"
        std::vector<uint8_t> cel;  // empty: none expected
        std::vector<uint8_t> kcf;
    };
    const std::string to = "表";  // in code page 932 its second byte is a backslash's
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
    // ignored) or of 5, 6 and 5 bits (masks); expected as opaque 32 bits.
    Pixels sixteen = {32, 3, 2, {}}, sixteen565 = {32, 3, 2, {}};
    std::vector<uint8_t> rows555, rows565;
    for (int32_t y = 0; y < 2; ++y) {
        std::vector<uint8_t> row555, row565;
        for (uint32_t x = 0; x < 3; ++x) {
            const uint32_t r = (7 * x + 11 * y + 3) % 32, g = (13 * x + 5 * y + 30) % 64, b = (x * 29 + y * 17) % 32;
            put16(&row555, r << 10 | (g % 32) << 5 | b | (x == 1 ? 0x8000 : 0));
            put16(&row565, r << 11 | g << 5 | b);
            sixteen.values.push_back(0xFF000000u | scaled(r, 5) << 16 | scaled(g % 32, 5) << 8 | scaled(b, 5));
            sixteen565.values.push_back(0xFF000000u | scaled(r, 5) << 16 | scaled(g, 6) << 8 | scaled(b, 5));
        }
        row555.resize(8, 0);  // padded to 4 bytes, and bottom row first
        row565.resize(8, 0);
        rows555.insert(rows555.begin(), row555.begin(), row555.end());
        rows565.insert(rows565.begin(), row565.begin(), row565.end());
    }

    // 32 bits, plain (blue, green, red, alpha) or with colour masks (here
    // red, green, blue, alpha from the lowest byte up), keep their alpha.
    std::vector<uint8_t> plain32, masked32;
    Pixels alpha32 = {32, 3, 2, {}};
    for (uint32_t i = 0; i < 3 * 2; ++i) {
        const uint8_t blue = (uint8_t)(i * 40 + 1), green = (uint8_t)(i * 30 + 2), red = (uint8_t)(i * 20 + 3);
        const uint8_t alpha = (uint8_t)(i % 3 == 0 ? 0 : i * 50);
        plain32.insert(plain32.end(), {blue, green, red, alpha});
        masked32.insert(masked32.end(), {red, green, blue, alpha});
    }
    for (int32_t y = 1; y >= 0; --y)  // the file's rows are bottom row first
        for (int32_t x = 0; x < 3; ++x) {
            const uint8_t* pixel = plain32.data() + 4 * (3 * y + x);
            alpha32.values.push_back((uint32_t)pixel[3] << 24 | (uint32_t)pixel[2] << 16 | pixel[1] << 8 | pixel[0]);
        }
    Pixels sky32 = sky;
    sky32.depth = 32;
    for (uint32_t& value : sky32.values)
        value |= 0xFF000000u;
    Pixels mono4 = mono;
    mono4.depth = 4;

    // Pictures that say what is transparent, and ones from other programs.
    const std::vector<uint8_t> plte = {200, 0, 0, 0, 200, 0, 90, 90, 90, 0, 0, 200};  // red, green, grey, blue
    auto tableOf = [&](const std::vector<int>& order) {  // the BMP-order table of plte's entries in `order`
        std::vector<uint8_t> table;
        for (int entry : order)
            table.insert(table.end(), {plte[3 * entry + 2], plte[3 * entry + 1], plte[3 * entry], 0});
        return table;
    };
    const Pixels swapIn = {8, 4, 3, {0, 1, 2, 3, 2, 2, 1, 0, 3, 0, 2, 1}};
    const Pixels zeroIn = {8, 3, 2, {0, 1, 2, 0, 0, 1}};
    const Pixels twoIn = {4, 5, 2, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1}};
    const Pixels holeIn = {8, 4, 2, {0, 1, 2, 3, 3, 3, 1, 0}};
    const Pixels os2In = {4, 5, 2, {0, 1, 2, 1, 0, 2, 2, 1, 0, 0}};
    auto indexRows = [](const Pixels& pixels, int bits) {
        std::vector<std::vector<uint8_t>> rows;
        for (int32_t y = 0; y < pixels.height; ++y) {
            std::vector<uint8_t> row((pixels.width * bits + 7) / 8, 0);
            for (int32_t x = 0; x < pixels.width; ++x)
                row[x * bits / 8] |= (uint8_t)(pixels.at(x, y) << (8 - bits - x * bits % 8));
            rows.push_back(row);
        }
        return rows;
    };
    std::vector<uint8_t> os2Rows;
    for (int32_t y = 1; y >= 0; --y) {
        std::vector<uint8_t> row = indexRows(os2In, 4)[y];
        row.resize(4, 0);
        os2Rows.insert(os2Rows.end(), row.begin(), row.end());
    }
    const Pixels rgba = {32, 3, 1, {0x001E140Au, 0x803C2828u, 0xFF5A5046u}};
    const Pixels grey = {32, 3, 2, {0xFF000000u, 0xFF4D4D4Du, 0xFF808080u, 0xFFC8C8C8u, 0xFFFFFFFFu, 0xFF0D0D0Du}};
    std::vector<uint8_t> cutPng = pngFile(3, 2, 8, 0, {{0, 77, 128}, {200, 255, 13}});
    cutPng.resize(cutPng.size() - 20);

    const std::string pal = ", 8-bit cel and palette " + to + "\\";
    const std::string pal4 = ", 4-bit cel and palette " + to + "\\";
    auto swappedNote = [&](int entry) { return " (colours 0 and " + std::to_string(entry) +
                                               " changed places, so that colour 0 is the transparent one)"; };
    const Picture pictures[] = {
        {"doll.bmp", bmpFile(40, 5, 3, 8, 0, storedRows(doll, false), table200),
         " -> " + to + "\\doll.cel  5 x 3" + pal + "doll.kcf", expectedKissFile(doll, MARK_CEL),
         expectedPalette(table200)},
        {"mono.bmp", bmpFile(124, 9, 2, 1, 0, storedRows(mono, false), table2),
         " -> " + to + "\\mono.cel  9 x 2" + pal4 + "mono.kcf", expectedKissFile(mono4, MARK_CEL),
         expectedPalette(table2)},
        {"small.BMP", bmpFile(40, 7, 2, 4, 0, storedRows(small, false), table16),
         " -> " + to + "\\small.cel  7 x 2" + pal4 + "small.kcf", expectedKissFile(small, MARK_CEL),
         expectedPalette(table16)},
        {"sky.bmp", bmpFile(40, 3, 2, 24, 0, storedRows(sky, false)),
         " -> " + to + "\\sky.cel  3 x 2, 32-bit cel: full colour", expectedKissFile(sky32, MARK_CEL), {}},
        {"top.bmp", bmpFile(40, 4, -2, 8, 0, storedRows(top, true), table256),
         " -> " + to + "\\top.cel  4 x 2" + pal + "top.kcf", expectedKissFile(top, MARK_CEL),
         expectedPalette(table256)},
        {"runs.bmp", bmpFile(40, 13, 5, 8, 1, runLengthData(runs), table256),
         " -> " + to + "\\runs.cel  13 x 5" + pal + "runs.kcf", expectedKissFile(runs, MARK_CEL),
         expectedPalette(table256)},
        {"runs4.bmp", bmpFile(40, 13, 5, 4, 2, runLengthData(runs4), table16),
         " -> " + to + "\\runs4.cel  13 x 5" + pal4 + "runs4.kcf", expectedKissFile(runs4, MARK_CEL),
         expectedPalette(table16)},
        {"high.bmp", bmpFile(40, 3, 2, 16, 0, rows555),
         " -> " + to + "\\high.cel  3 x 2, 32-bit cel: full colour", expectedKissFile(sixteen, MARK_CEL), {}},
        {"high565.bmp", bmpFile(40, 3, 2, 16, 3, rows565, {}, {0xF800, 0x07E0, 0x001F}),
         " -> " + to + "\\high565.cel  3 x 2, 32-bit cel: full colour", expectedKissFile(sixteen565, MARK_CEL), {}},
        {"alpha.bmp", bmpFile(40, 3, 2, 32, 0, plain32),
         " -> " + to + "\\alpha.cel  3 x 2, 32-bit cel: full colour with transparency",
         expectedKissFile(alpha32, MARK_CEL), {}},
        {"masks.bmp", bmpFile(56, 3, 2, 32, 3, masked32, {}, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}),
         " -> " + to + "\\masks.cel  3 x 2, 32-bit cel: full colour with transparency",
         expectedKissFile(alpha32, MARK_CEL), {}},
        // ソックス: ソ's second byte is a backslash's.
        {"ソックス.bmp", bmpFile(40, 2, 2, 8, 0, storedRows(figure, false), table16),
         " -> " + to + "\\ソックス.cel  2 x 2" + pal +
             "ソックス.kcf",
         expectedKissFile(figure, MARK_CEL), expectedPalette(table16)},
        {"os2.bmp", os2BmpFile(5, 2, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9}, os2Rows),
         " -> " + to + "\\os2.cel  5 x 2" + pal4 + "os2.kcf", expectedKissFile(os2In, MARK_CEL),
         expectedPalette({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0})},
        // A transparent entry that is not 0 changes places with 0.
        {"swap.png", pngFile(4, 3, 8, 3, indexRows(swapIn, 8), plte, {255, 255, 0}),
         " -> " + to + "\\swap.cel  4 x 3" + pal + "swap.kcf" + swappedNote(2),
         expectedKissFile(renumbered(swapIn, {2, 1, 0, 3}), MARK_CEL), expectedPalette(tableOf({2, 1, 0, 3}))},
        // Nothing transparent, and colour 0 in use: it moves to a free entry.
        {"zero.png", pngFile(3, 2, 8, 3, indexRows(zeroIn, 8), {plte.begin(), plte.begin() + 9}),
         " -> " + to + "\\zero.cel  3 x 2" + pal +
             "zero.kcf (colour 0 moved to 3, as nothing in the picture is transparent)",
         expectedKissFile(renumbered(zeroIn, {3, 1, 2}), MARK_CEL), expectedPalette(tableOf({0, 1, 2, 0}))},
        {"two.png", pngFile(5, 2, 2, 3, indexRows(twoIn, 2), plte, {0}),
         " -> " + to + "\\two.cel  5 x 2" + pal4 + "two.kcf", expectedKissFile(twoIn, MARK_CEL),
         expectedPalette(tableOf({0, 1, 2, 3}))},
        {"rgba.png", pngFile(3, 1, 8, 6, {{30, 20, 10, 0, 60, 40, 40, 128, 90, 80, 70, 255}}),
         " -> " + to + "\\rgba.cel  3 x 1, 32-bit cel: full colour with transparency",
         expectedKissFile(rgba, MARK_CEL), {}},
        {"grey.png", pngFile(3, 2, 8, 0, {{0, 77, 128}, {200, 255, 13}}),
         " -> " + to + "\\grey.cel  3 x 2, 32-bit cel: full colour", expectedKissFile(grey, MARK_CEL), {}},
        {"hole.gif", gifFile(4, 2, plte, 3, {holeIn.values.begin(), holeIn.values.end()}),
         " -> " + to + "\\hole.cel  4 x 2" + pal + "hole.kcf" + swappedNote(3),
         expectedKissFile(renumbered(holeIn, {3, 1, 2, 0}), MARK_CEL), expectedPalette(tableOf({3, 1, 2, 0}))},
        {"cut.bmp", bmpFile(40, 5, 3, 8, 0, std::vector<uint8_t>(23), table16),
         ": not converted: a damaged BMP: the file ends before its last pixels", {}, {}},
        {"photo.bmp", bmpFile(40, 5, 3, 0, 5, {0x89, 'P', 'N', 'G'}),
         ": not converted: a BMP that holds a PNG or JPEG image: save it as PNG", {}, {}},
        {"wide.bmp", bmpFile(40, 65536, 1, 8, 0, std::vector<uint8_t>(65536), table16),
         ": not converted: too large for a KiSS cel (at most 65,535 pixels a side)", {}, {}},
        {"cut.png", cutPng, ": not converted: a damaged PNG picture: the file ends too early", {}, {}},
    };

    std::vector<std::string> arguments = {"export"};
    std::string expectedOutput;
    Names expectedFiles;
    const size_t count = sizeof pictures / sizeof pictures[0];
    for (const Picture& picture : pictures) {
        ASSERT_TRUE(writeFileU(scratch.path(picture.name), picture.bmp)) << picture.name;
        arguments.push_back(picture.name);
        expectedOutput += "[" + std::to_string(arguments.size() - 1) + "/" + std::to_string(count) + "] " +
                          picture.name + picture.line + "\n";
        const std::string name = picture.name.substr(0, picture.name.rfind('.'));
        for (const auto& file : {std::make_pair(".cel", picture.cel), std::make_pair(".kcf", picture.kcf)})
            if (!file.second.empty())
                expectedFiles.push_back(name + file.first);
    }
    arguments.insert(arguments.end(), {"--to", to, "--palette"});
    expectedOutput += "19 of 23 pictures converted; 4 failed.\n";

    HostRun run = runHost(arguments, scratch.folder);
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, expectedOutput);
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(entries(scratch.path(to)), expectedFiles);
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const std::string name = scratch.path(to) + "\\" + picture.name.substr(0, picture.name.rfind('.'));
        if (!picture.cel.empty()) {
            EXPECT_TRUE(holds(name + ".cel", picture.cel));
        }
        if (!picture.kcf.empty()) {
            EXPECT_TRUE(holds(name + ".kcf", picture.kcf));
        }
    }
}

// A BMP cannot say what is transparent: colour 0 is. When its corners share
// another colour, the line says so, and --transparent corner (or the
// colour's number) makes that colour colour 0.
TEST_F(Converter, ABmpsCornerColourIsMadeTransparentWhenAsked)
{
    const Pixels ribbon = {8, 4, 3, {2, 2, 2, 2, 2, 0, 1, 2, 2, 2, 2, 2}};  // a box of 2 with a knot of 0 and 1
    const std::vector<uint8_t> table = colourTable(3, 5);
    ASSERT_TRUE(writeFileU(scratch.path("ribbon.bmp"), bmpFile(40, 4, 3, 8, 0, storedRows(ribbon, false), table)));
    struct Case {
        std::vector<std::string> options;
        std::string note;
        std::vector<uint32_t> to;  // where each colour goes
    };
    const std::string swapped = " (colours 0 and 2 changed places, so that colour 0 is the transparent one)";
    const Case cases[] = {
        {{}, " (its corners are colour 2, which a viewer shows, as only colour 0 is transparent: --transparent "
             "corner makes them transparent)", {0, 1, 2}},
        {{"--transparent", "corner"}, swapped, {2, 1, 0}},
        {{"--transparent", "2"}, swapped, {2, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        std::vector<std::string> arguments = {"export", "ribbon.bmp"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        HostRun run = runHost(arguments, scratch.folder);
        EXPECT_EQ(run.status, 0u);
        EXPECT_EQ(run.output, "[1/1] ribbon.bmp -> ribbon.cel  4 x 3, 8-bit cel" + c.note + "\n1 picture converted.\n");
        EXPECT_TRUE(holds(scratch.path("ribbon.cel"), expectedKissFile(renumbered(ribbon, c.to), MARK_CEL)));
    }

    // The corners clear only the background they reach: a knot of their
    // colour inside a ring of 1 keeps showing, as colour 3, which the
    // palette gives their colour.
    const Pixels knot = {8, 5, 5, {2, 2, 2, 2, 2, 2, 1, 1, 1, 2, 2, 1, 2, 1, 2, 2, 1, 1, 1, 2, 2, 2, 2, 2, 2}};
    ASSERT_TRUE(writeFileU(scratch.path("knot.bmp"), bmpFile(40, 5, 5, 8, 0, storedRows(knot, false), table)));
    HostRun run = runHost({"export", "knot.bmp", "--transparent", "corner", "--palette"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "[1/1] knot.bmp -> knot.cel  5 x 5, 8-bit cel and palette knot.kcf (colours 0 and 2 changed "
                          "places, so that colour 0 is the transparent one; 16 pixels of the background, reached from "
                          "the corners, made transparent, and 1 of its colour that it does not reach left as they "
                          "are)\n1 picture converted.\n");
    Pixels knotOut = renumbered(knot, {2, 1, 0});
    knotOut.values[12] = 3;
    EXPECT_TRUE(holds(scratch.path("knot.cel"), expectedKissFile(knotOut, MARK_CEL)));
    std::vector<uint8_t> knotTable;
    for (int entry : {2, 1, 0, 2})
        for (int byte = 0; byte < 4; ++byte)
            knotTable.push_back(table[4 * entry + byte]);
    EXPECT_TRUE(holds(scratch.path("knot.kcf"), expectedPalette(knotTable)));
}

// With palette mode on, a strip of 256 x 1 opaque pixels goes to the
// plug-in as the 24-bit strip it makes a palette of, and the line says so.
TEST_F(Converter, AStripInPaletteModeBecomesAPalette)
{
    std::vector<uint8_t> rows;
    for (int i = 0; i < 256; ++i)
        rows.insert(rows.end(), {(uint8_t)(i * 7), (uint8_t)(255 - i), (uint8_t)i});  // blue, green, red
    const std::vector<uint8_t> palette = expectedKissFile(24, 256, 1, rows, MARK_PALETTE);
    ASSERT_TRUE(writeFileU(scratch.path("strip.bmp"), bmpFile(40, 256, 1, 24, 0, rows)));
    ASSERT_TRUE(storeSettingDword(1));
    HostRun run = runHost({"export", "strip.bmp", "--to", "out"}, scratch.folder);
    deleteSetting();
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "[1/1] strip.bmp -> out\\strip.kcf  KiSS palette of 256 colours\n1 picture converted.\n");
    EXPECT_TRUE(holds(scratch.path("out\\strip.kcf"), palette));
}

// Dropped on the program, pictures become cels and palettes beside
// themselves; a KiSS file among them is skipped, whatever it holds.
TEST_F(Converter, DroppedPicturesAreSavedBesideThemselvesWithPalettes)
{
    const Pixels face = patternPixels(8, 3, 3, 7);
    const std::vector<uint8_t> table = colourTable(256, 9), bmp = bmpFile(40, 3, 3, 8, 0, storedRows(face, false), table);
    ASSERT_TRUE(writeFileU(scratch.path("face.bmp"), bmp));
    ASSERT_TRUE(writeFileU(scratch.path("odd.cel"), bmp));  // a BMP under a cel's name
    HostRun run = runHost({scratch.path("face.bmp"), scratch.path("odd.cel")}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    // Given by their full names, as Explorer gives them, the pictures' lines
    // name them within their folder, said once.
    EXPECT_EQ(run.output, "in " + scratch.folder + ":\n[1/1] face.bmp -> face.cel  3 x 3, 8-bit cel and palette face.kcf"
                          "\n1 picture converted; 1 KiSS file skipped.\n");
    EXPECT_TRUE(holds(scratch.path("face.cel"), expectedKissFile(face, MARK_CEL)));
    EXPECT_TRUE(holds(scratch.path("face.kcf"), expectedPalette(table)));
    EXPECT_TRUE(holds(scratch.path("odd.cel"), bmp));
    EXPECT_EQ(entries(scratch.folder), (Names{"face.bmp", "face.cel", "face.kcf", "odd.cel"}));

    // Dropped again: the same palette is left as it is; one she has tuned
    // since is kept beside the new one.
    run = runHost({scratch.path("face.bmp")}, scratch.folder);
    EXPECT_EQ(entries(scratch.folder), (Names{"face.bmp", "face.cel", "face.kcf", "odd.cel"}));
    std::vector<uint8_t> tuned = expectedPalette(table);
    tuned[32] ^= 0xFF;
    ASSERT_TRUE(writeFileU(scratch.path("face.kcf"), tuned));
    run = runHost({scratch.path("face.bmp")}, scratch.folder);
    EXPECT_EQ(run.output, "in " + scratch.folder + ":\n[1/1] face.bmp -> face.cel  3 x 3, 8-bit cel and palette face.kcf; "
                          "the different palette that was there is kept as face-old.kcf\n1 picture converted.\n");
    EXPECT_TRUE(holds(scratch.path("face-old.kcf"), tuned));
    EXPECT_TRUE(holds(scratch.path("face.kcf"), expectedPalette(table)));
}

// The host's own form: one picture under the name given, with the same line
// as a run of many; never over the picture itself, however it is spelled;
// the plug-in's progress reports shown when one of them answers "stop".
TEST_F(Converter, OnePictureUnderTheNameGiven)
{
    const Pixels face = patternPixels(8, 2, 3, 8);
    const std::vector<uint8_t> bmp = bmpFile(40, 2, 3, 8, 0, storedRows(face, false), colourTable(256, 3));
    ASSERT_TRUE(writeFileU(scratch.path("face.bmp"), bmp));
    HostRun run = runHost({"export", "face.bmp", "face.cel"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "[1/1] face.bmp -> face.cel  2 x 3, 8-bit cel\n1 picture converted.\n");
    EXPECT_TRUE(holds(scratch.path("face.cel"), expectedKissFile(face, MARK_CEL)));

    run = runHost({"export", "face.bmp", ".\\FACE.Bmp."}, scratch.folder);
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, "[1/1] face.bmp -> .\\FACE.Bmp.: not written: it is one of the pictures being converted\n"
                          "0 of 1 pictures converted; 1 failed.\n");
    EXPECT_TRUE(holds(scratch.path("face.bmp"), bmp));

    run = runHost({"export", "face.bmp", "stopped.cel", "--stop-at-start"}, scratch.folder);
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, "  progress 0/1\n[1/1] face.bmp -> stopped.cel: not written: stopped when the progress "
                          "report answered \"stop\"\n0 of 1 pictures converted; 1 failed.\n");
    EXPECT_EQ(entries(scratch.folder), (Names{"face.bmp", "face.cel"}));
}

// A file that cannot be written comes with its likely cause, read from the destination.
TEST_F(Converter, AFailedWriteNamesItsCause)
{
    const Pixels face = patternPixels(8, 2, 2, 12);
    ASSERT_TRUE(writeFileU(scratch.path("face.bmp"), bmpFile(40, 2, 2, 8, 0, storedRows(face, false), colourTable(4, 1))));
    ASSERT_TRUE(CreateDirectoryW(wide(scratch.path("sub")).c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW(wide(scratch.path("sub\\face.cel")).c_str(), NULL));
    const std::vector<uint8_t> old(10, 0x11);
    for (const char* name : {"held.cel", "locked.cel", "顔.cel"})
        ASSERT_TRUE(writeFileU(scratch.path(name), old));
    for (const char* name : {"locked.cel", "顔.cel"})
        ASSERT_TRUE(SetFileAttributesW(wide(scratch.path(name)).c_str(), FILE_ATTRIBUTE_READONLY));
    struct Case {
        std::vector<std::string> arguments;  // after "export face.bmp"
        std::string destination, cause;
        bool held;  // another program has the file open meanwhile
    };
    const Case cases[] = {
        {{"missing\\ソ.cel"}, "missing\\ソ.cel", "its folder missing does not exist", false},
        {{"--to", "sub"}, "sub\\face.cel", "it is a folder: give a file name, or put the folder after --to", false},
        {{"locked.cel"}, "locked.cel", "it is read-only: clear its read-only setting, or choose another name", false},
        {{"顔.cel"}, "顔.cel", "it is read-only: clear its read-only setting, or choose another name", false},
        {{"held.cel"}, "held.cel", "it is in use by another program: close it there first", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        HANDLE holder = c.held ? CreateFileW(wide(scratch.path(c.destination)).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL)
                               : NULL;
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        std::vector<std::string> arguments = {"export", "face.bmp"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        HostRun run = runHost(arguments, scratch.folder);
        if (holder != NULL)
            CloseHandle(holder);
        EXPECT_EQ(run.status, 1u);
        EXPECT_EQ(run.output, "[1/1] face.bmp -> " + c.destination + ": not written: " + c.cause +
                                  "\n0 of 1 pictures converted; 1 failed.\n");
    }
    for (const char* name : {"locked.cel", "顔.cel"})
        SetFileAttributesW(wide(scratch.path(name)).c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const char* name : {"held.cel", "locked.cel", "顔.cel"})
        EXPECT_TRUE(holds(scratch.path(name), old)) << name;
    EXPECT_EQ(entries(scratch.folder), (Names{"face.bmp", "held.cel", "locked.cel", "sub", "顔.cel"}));
    EXPECT_EQ(entries(scratch.path("sub")), Names{"face.cel"});
}

// What the command line does not allow stops before anything is loaded or written.
TEST_F(Converter, CommandLinesItCannotTakeAreUsageErrors)
{
    ASSERT_TRUE(writeFileU(scratch.path("a.bmp"), bmpFile(40, 1, 1, 24, 0, {1, 2, 3, 0})));
    const std::vector<std::vector<std::string>> commandLines = {
        {"info", "extra"},
        {"export", "a.bmp", "a.cel", "--palette", "--stop-at-end"},
        {"export", "--bogus", "a.bmp"},
        {"export", "a.bmp", "--transparent", "256"},
        {"convert", "a.bmp"},
    };
    for (const auto& arguments : commandLines) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        HostRun run = runHost(arguments, scratch.folder);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.output.find("porvane-host --help lists the commands.\n"), std::string::npos) << run.output;
        EXPECT_EQ(entries(scratch.folder), Names{"a.bmp"});
    }
}

// Parts of a doll on one palette: every part an 8-bit cel whose colour 0 is
// exactly its transparent pixels (alpha below half) and whose other colours,
// read through the one palette written, are the part's own.
TEST_F(Converter, PartsShareOnePalette)
{
    const std::vector<uint8_t> arm = pngFile(3, 2, 8, 6, {{255, 0, 0, 255, 0, 255, 0, 127, 0, 0, 255, 200},
                                                          {255, 0, 0, 0, 10, 20, 30, 255, 255, 0, 0, 128}});
    const std::vector<uint8_t> plte = {10, 20, 30, 200, 100, 50, 7, 7, 7};
    const std::vector<uint8_t> leg = pngFile(2, 2, 8, 3, {{0, 1}, {2, 1}}, plte, {255, 255, 0});
    ASSERT_TRUE(writeFileU(scratch.path("arm.png"), arm));
    ASSERT_TRUE(writeFileU(scratch.path("leg.png"), leg));
    // 0xAARRGGBB a pixel, top row first, as the pictures say.
    const std::vector<uint32_t> armPixels = {0xFFFF0000u, 0x7F00FF00u, 0xC80000FFu, 0x00FF0000u, 0xFF0A141Eu, 0x80FF0000u};
    const std::vector<uint32_t> legPixels = {0xFF0A141Eu, 0xFFC86432u, 0x00070707u, 0xFFC86432u};

    HostRun run = runHost({"export", "arm.png", "leg.png", "--to", "doll", "--shared-palette", "doll.kcf"},
                          scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "[1/2] arm.png -> doll\\arm.cel  3 x 2, 8-bit cel on the shared palette (2 partly transparent "
                          "pixels made solid and 1 made clear, as 8-bit cels have no partial transparency: without "
                          "--shared-palette they stay as drawn, in 32-bit cels)\n"
                          "[2/2] leg.png -> doll\\leg.cel  2 x 2, 8-bit cel on the shared palette\n"
                          "shared palette doll\\doll.kcf: 4 colours, each exactly as in the parts\n"
                          "2 pictures converted.\n");
    HANDLE file = CreateFileW(wide(scratch.path("doll\\doll.kcf")).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    std::vector<uint8_t> palette(801);
    DWORD got = 0;
    ReadFile(file, palette.data(), (DWORD)palette.size(), &got, NULL);
    CloseHandle(file);
    ASSERT_EQ(got, 800u);
    for (const auto& part : {std::make_pair("doll\\arm.cel", armPixels), std::make_pair("doll\\leg.cel", legPixels)}) {
        SCOPED_TRACE(part.first);
        file = CreateFileW(wide(scratch.path(part.first)).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        std::vector<uint8_t> cel(64);
        ReadFile(file, cel.data(), (DWORD)cel.size(), &got, NULL);
        CloseHandle(file);
        ASSERT_EQ(got, 32 + part.second.size());
        EXPECT_EQ(cel[5], 8);  // bits a pixel
        for (size_t i = 0; i < part.second.size(); ++i) {
            const uint32_t pixel = part.second[i];
            const uint8_t index = cel[32 + i];
            if (pixel >> 24 < 128) {
                EXPECT_EQ(index, 0) << "pixel " << i;
                continue;
            }
            ASSERT_NE(index, 0) << "pixel " << i;
            const uint32_t colour = (uint32_t)palette[32 + 3 * index] << 16 | palette[33 + 3 * index] << 8 |
                                    palette[34 + 3 * index];
            EXPECT_EQ(colour, pixel & 0xFFFFFFu) << "pixel " << i;
        }
    }
    // Run again after she tuned the palette: hers is kept, and the line says where.
    std::vector<uint8_t> tuned(palette.begin(), palette.begin() + got);
    tuned[35] ^= 0xFF;
    ASSERT_TRUE(writeFileU(scratch.path("doll\\doll.kcf"), tuned));
    run = runHost({"export", "arm.png", "leg.png", "--to", "doll", "--shared-palette", "doll.kcf"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_NE(run.output.find("shared palette doll\\doll.kcf: 4 colours, each exactly as in the parts; the different "
                              "palette that was there is kept as doll\\doll-old.kcf\n"),
              std::string::npos)
        << run.output;
    EXPECT_TRUE(holds(scratch.path("doll\\doll-old.kcf"), tuned));
}

// A drawing's layers, bottom first, become a KiSS set: each layer that shows
// a cel cropped to its visible part, placed where it lay, the front one
// first in the configuration, the body fixed; a recoloured layer a palette
// group of its original, shown in a set of its own; one more set to dress
// up; its own palette or one shared by all. A second run keeps the
// configuration she edited; one that cannot write a file leaves the set as
// it was.
TEST_F(Converter, LayersBecomeAKissSet)
{
    const uint32_t skin = 0xFFF0C8A0u, cloth = 0xFF3060C0u;
    std::vector<std::vector<uint8_t>> body(5, std::vector<uint8_t>(6 * 4, 0));  // 6 x 5, clear but for a block
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 2; ++x) {
            const uint32_t c = y == 3 ? cloth : skin;
            uint8_t* p = &body[y][4 * x];
            p[0] = (uint8_t)(c >> 16), p[1] = (uint8_t)(c >> 8), p[2] = (uint8_t)c, p[3] = 255;
        }
    ASSERT_TRUE(writeFileU(scratch.path("Body.png"), pngFile(6, 5, 8, 6, body)));
    ASSERT_TRUE(writeFileU(scratch.path("empty.png"), pngFile(6, 5, 8, 6, std::vector<std::vector<uint8_t>>(5, body[0]))));
    std::vector<std::vector<uint8_t>> hat(5, std::vector<uint8_t>(6, 0));
    hat[0] = {0, 0, 1, 2, 1, 0};
    ASSERT_TRUE(writeFileU(scratch.path("hat.png"), pngFile(6, 5, 8, 3, hat, {0, 0, 0, 200, 0, 0, 0, 0, 200}, {0})));
    ASSERT_TRUE(writeFileU(scratch.path("hat-green.png"), pngFile(6, 5, 8, 3, hat, {0, 0, 0, 0, 150, 0, 0, 90, 0}, {0})));

    struct Case {
        std::vector<std::string> options;
        std::string cnf, palette;  // in the set
        uint32_t background;
        std::string before;        // lines before the layers'
        std::string set;           // the folder
    };
    const Case cases[] = {
        {{}, "doll.cnf", "hat.kcf", 0xFFFFFF, "", "set"},
        {{"--shared-palette", "Shared Colours.kcf", "--background", "#102030", "--cnf", "My Doll.cnf"}, "mydoll.cnf",
         "sharedco.kcf", 0x102030,
         "My Doll.cnf is named mydoll.cnf in the set, as viewers need names of at most 8 ASCII characters: spaces and "
         "characters other than letters, digits, - and _ left out\n"
         "Shared Colours.kcf is named sharedco.kcf in the set, as viewers need names of at most 8 ASCII characters: "
         "spaces and characters other than letters, digits, - and _ left out, shortened\n"
         "shared palette set2\\sharedco.kcf: 4 colours, each exactly as in the parts\n",
         "set2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cnf);
        std::vector<std::string> arguments = {"doll", "Body.png", "empty.png", "hat.png", "hat-green.png", "--to", c.set};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        HostRun run = runHost(arguments, scratch.folder);
        EXPECT_EQ(run.status, 0u);
        const bool shared = !c.options.empty();
        const std::string cel8 = shared ? "8-bit cel on the shared palette" : "8-bit cel and palette " + c.set + "\\hat.kcf";
        EXPECT_EQ(run.output,
                  c.before + "[1/4] Body.png -> " + c.set + "\\body.cel  2 x 3, " +
                      std::string(shared ? "8-bit cel on the shared palette" : "32-bit cel: full colour") +
                      ", placed at 1, 1 and fixed there: the body, which stays put\n"
                      "[2/4] empty.png: nothing in it shows, so it is left out\n"
                      "[3/4] hat.png -> " + c.set + "\\hat.cel  3 x 1, " + cel8 + ", placed at 2, 0\n"
                      "[4/4] hat-green.png: hat in other colours: no cel of its own, palette group 1, shown in set 1\n"
                      "set " + c.set + "\\" + c.cnf + ": 2 cels on a playfield of 17 x 5\n"
                      "sets 0 to 1 show the doll as drawn, each in its palette group's colours\n"
                      "set 2 keeps the body in place and lays the other parts beside it, to put on\n");
        const std::string cnf = readFileU(scratch.path(c.set + "\\" + c.cnf));
        EXPECT_EQ(cnf.substr(0, cnf.find("; made by porvane-host: ")),
                  "; A KiSS set made by porvane-host from 4 layers.\r\n"
                  "; Objects are listed front first, as viewers draw them.\r\n(17,5)\r\n[0\r\n%" + c.palette + "\r\n"
                  "#0 hat.cel *0 ; hat\r\n#1.9999 body.cel *0 ; Body\r\n"
                  "; set 0: the doll as drawn, palette group 0\r\n$0 2,0 1,1\r\n"
                  "; set 1: the doll as drawn, palette group 1: hat-green\r\n$1 2,0 1,1\r\n"
                  "; set 2: the body in place, the other parts beside it to put on\r\n$0 14,0 1,1\r\n");
        Names expected = {"body.cel", c.cnf, "hat.cel", c.palette};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entries(scratch.path(c.set)), expected);

        // The cels, read through the palette's two groups: colour 0 is the
        // background, the hat red and blue in group 0, green in group 1.
        const std::string palette = readFileU(scratch.path(c.set + "\\" + c.palette));
        ASSERT_EQ(palette.size(), 32u + 2 * 768);
        EXPECT_EQ(palette[10], 2);  // groups
        auto colour = [&](int group, uint8_t index) {
            const uint8_t* p = (const uint8_t*)palette.data() + 32 + 768 * group + 3 * index;
            return (uint32_t)p[0] << 16 | p[1] << 8 | p[2];
        };
        EXPECT_EQ(colour(0, 0), c.background);
        EXPECT_EQ(colour(1, 0), c.background);
        const struct {
            const char* name;
            int depth, width, height;
            std::vector<uint32_t> pixels, recoloured;
        } cels[] = {{"hat.cel", 8, 3, 1, {0xC80000u, 0x0000C8u, 0xC80000u}, {0x009600u, 0x005A00u, 0x009600u}},
                    {"body.cel", shared ? 8 : 32, 2, 3, {skin, skin, skin, skin, cloth, cloth}, {}}};
        for (const auto& want : cels) {
            SCOPED_TRACE(want.name);
            const std::string cel = readFileU(scratch.path(c.set + "\\" + want.name));
            const int bytes = want.depth / 8;
            ASSERT_EQ(cel.size(), 32u + bytes * want.pixels.size());
            EXPECT_EQ(std::vector<uint8_t>(cel.begin() + 5, cel.begin() + 12),
                      (std::vector<uint8_t>{(uint8_t)want.depth, 0, 0, (uint8_t)want.width, 0, (uint8_t)want.height, 0}));
            for (size_t i = 0; i < want.pixels.size(); ++i) {
                const uint8_t* p = (const uint8_t*)&cel[32 + bytes * i];
                if (bytes == 1) {
                    ASSERT_NE(p[0], 0) << "pixel " << i;
                    EXPECT_EQ(colour(0, p[0]), want.pixels[i] & 0xFFFFFFu) << "pixel " << i;
                    EXPECT_EQ(colour(1, p[0]), (want.recoloured.empty() ? want.pixels : want.recoloured)[i] & 0xFFFFFFu)
                        << "pixel " << i;
                } else {
                    EXPECT_EQ((uint32_t)p[3] << 24 | p[2] << 16 | p[1] << 8 | p[0], want.pixels[i]) << "pixel " << i;
                }
            }
        }
    }

    // Run again into the first set after an edit of its configuration: the
    // edit is kept beside the new set. Then a cel that cannot be replaced
    // (read-only) is said once, before anything is written, and the set
    // stays as it was.
    const std::string edited = readFileU(scratch.path("set\\doll.cnf")) + "; my own line\r\n";
    ASSERT_TRUE(writeFileU(scratch.path("set\\doll.cnf"), std::vector<uint8_t>(edited.begin(), edited.end())));
    HostRun again = runHost({"doll", "Body.png", "hat.png", "--to", "set"}, scratch.folder);
    EXPECT_EQ(again.status, 0u);
    EXPECT_NE(again.output.find("set\\doll.cnf had been edited by hand, so it is kept as doll-edited.cnf\n"),
              std::string::npos) << again.output;
    EXPECT_EQ(readFileU(scratch.path("set\\doll-edited.cnf")), edited);
    const Names before = entries(scratch.path("set"));
    const std::string cnfBefore = readFileU(scratch.path("set\\doll.cnf"));
    ASSERT_TRUE(SetFileAttributesW(wide(scratch.path("set\\body.cel")).c_str(), FILE_ATTRIBUTE_READONLY));
    HostRun refused = runHost({"doll", "hat.png", "Body.png", "--to", "set"}, scratch.folder);
    SetFileAttributesW(wide(scratch.path("set\\body.cel")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(refused.status, 1u);
    EXPECT_EQ(refused.output, "no set written: set\\body.cel cannot be replaced: it is read-only: clear its read-only "
                              "setting, or choose another name\n");
    EXPECT_EQ(entries(scratch.path("set")), before);
    EXPECT_EQ(readFileU(scratch.path("set\\doll.cnf")), cnfBefore);
}

// A finished doll as a doll maker shares and checks it: the set the doll
// command makes from two layers packed into one archive, which reads back
// as the set's files; checked from the archive; its set 0 previewed, which
// reads back through the converter's own picture reader as the layers
// stacked on the background; and its cels unpacked as pictures of their
// colours, a picture already there kept, and one that is the same left alone.
TEST_F(Converter, AFinishedDollIsPackedCheckedPreviewedAndUnpacked)
{
    // 0xAARRGGBB, bottom layer first; transparent pixels are 0.
    const uint32_t skin = 0xFFF0C8A0u, red = 0xFFC80000u, blue = 0xFF0000C8u, white = 0xFFFFFFFFu;
    std::vector<std::vector<uint32_t>> layers(2, std::vector<uint32_t>(6 * 5, 0));
    for (int y = 1; y <= 3; ++y)
        layers[0][y * 6 + 1] = layers[0][y * 6 + 2] = skin;
    layers[1][2] = layers[1][4] = red, layers[1][3] = blue;
    std::vector<std::vector<uint8_t>> bodyRows(5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint32_t c = layers[0][y * 6 + x];
            bodyRows[y].insert(bodyRows[y].end(), {(uint8_t)(c >> 16), (uint8_t)(c >> 8), (uint8_t)c, (uint8_t)(c >> 24)});
        }
    std::vector<std::vector<uint8_t>> hatRows(5, std::vector<uint8_t>(6, 0));
    hatRows[0] = {0, 0, 1, 2, 1, 0};
    ASSERT_TRUE(writeFileU(scratch.path("body.png"), pngFile(6, 5, 8, 6, bodyRows)));
    ASSERT_TRUE(writeFileU(scratch.path("hat.png"), pngFile(6, 5, 8, 3, hatRows, {0, 0, 0, 200, 0, 0, 0, 0, 200}, {0})));
    ASSERT_EQ(runHost({"doll", "body.png", "hat.png", "--to", "set"}, scratch.folder).status, 0u);
    const Names files = {"body.cel", "doll.cnf", "hat.cel", "hat.kcf"};
    ASSERT_EQ(entries(scratch.path("set")), files);
    auto fileBytes = [&](const std::string& name) {
        FileBytes file;
        std::vector<uint8_t> bytes;
        if (readWholeFile(wide(scratch.path(name)).c_str(), &file))
            bytes.assign(file.data, file.data + file.size);
        freeFileBytes(&file);
        return bytes;
    };
    auto grouped = [](size_t n) {
        std::string digits = std::to_string(n);
        for (int at = (int)digits.size() - 3; at > 0; at -= 3)
            digits.insert((size_t)at, ",");
        return digits;
    };

    HostRun run = runHost({"pack", "set", "set.lzh"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    const std::vector<uint8_t> archive = fileBytes("set.lzh");
    size_t bytes = 0;
    for (const std::string& name : files)
        bytes += fileBytes("set\\" + name).size();
    EXPECT_EQ(run.output, "set.lzh: the 4 files of set (" + grouped(bytes) + " bytes) packed into " +
                              grouped(archive.size()) + " bytes\n");
    LzhArchive read;
    ASSERT_EQ(readLzhArchive(archive.data(), archive.size(), {1 << 20, 1 << 20}, &read), LZH_OK);
    ASSERT_EQ(read.entries.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(read.entries[i].name, files[i]);
        EXPECT_EQ(read.entries[i].data, fileBytes("set\\" + files[i])) << files[i];
    }

    run = runHost({"check", "set.lzh"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "doll.cnf: no problems found; the doll should open the same in every viewer\n");

    // The preview: the layers stacked on the background, colour 0 of the set's palette.
    run = runHost({"preview", "set.lzh", "preview.png"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    // The playfield: the drawing, then the column the dress-up set lays the hat in.
    const int width = 6 + DRESS_UP_GAP + 3;
    EXPECT_EQ(run.output, "preview.png: set 0 of doll.cnf, " + std::to_string(width) + " x 5\n");
    DecodedPicture preview;
    PictureProblem problem;
    ASSERT_TRUE(readPicture(wide(scratch.path("preview.png")), &preview, &problem)) << problem.code;
    ASSERT_EQ(preview.indexBits, 0);
    ASSERT_EQ(preview.width * preview.height, width * 5);
    for (int i = 0; i < width * 5; ++i) {
        const int x = i % width, j = i / width * 6 + x;
        const uint32_t stacked = x >= 6 ? white : layers[1][j] != 0 ? layers[1][j] : layers[0][j] != 0 ? layers[0][j] : white;
        EXPECT_EQ(preview.pixels[i], stacked) << "pixel " << i;
    }

    // The cels as pictures: a different hat.png already there is kept; the
    // second time, both pictures are there already, the same.
    ASSERT_TRUE(CreateDirectoryW(wide(scratch.path("cels")).c_str(), NULL));
    const std::vector<uint8_t> drawn = {'m', 'i', 'n', 'e'};
    ASSERT_TRUE(writeFileU(scratch.path("cels\\hat.png"), drawn));
    run = runHost({"unpack", "set.lzh", "--to", "cels"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output, "[1/2] hat.cel -> cels\\hat.png  3 x 1; the picture that was there is kept as "
                          "cels\\hat-old.png\n[2/2] body.cel -> cels\\body.png  2 x 3\n2 cels made into pictures.\n");
    EXPECT_TRUE(holds(scratch.path("cels\\hat-old.png"), drawn));
    run = runHost({"unpack", "set.lzh", "--to", "cels"}, scratch.folder);
    EXPECT_EQ(run.output, "[1/2] hat.cel -> cels\\hat.png  already there, the same picture\n[2/2] body.cel -> "
                          "cels\\body.png  already there, the same picture\n2 cels made into pictures.\n");
    EXPECT_EQ(entries(scratch.path("cels")), (Names{"body.png", "hat-old.png", "hat.png"}));
    const std::vector<uint8_t> palette = fileBytes("set\\hat.kcf");
    for (const char* name : {"hat", "body"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> cel = fileBytes("set\\" + std::string(name) + ".cel");
        DecodedPicture picture;
        ASSERT_TRUE(readPicture(wide(scratch.path("cels\\" + std::string(name) + ".png")), &picture, &problem));
        ASSERT_EQ(picture.indexBits, 0);
        ASSERT_EQ(picture.width, cel[8]);
        ASSERT_EQ(picture.height, cel[10]);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            uint32_t expected;
            if (cel[5] == 32) {  // blue, green, red, alpha
                const uint8_t* p = &cel[32 + 4 * i];
                expected = (uint32_t)p[3] << 24 | p[2] << 16 | p[1] << 8 | p[0];
            } else {  // a colour number: its palette colour, colour 0 transparent
                const uint8_t index = cel[32 + i], *c = &palette[32 + 3 * index];
                expected = (index == 0 ? 0u : 0xFF000000u) | c[0] << 16 | c[1] << 8 | c[2];
            }
            EXPECT_EQ(picture.pixels[i], expected) << "pixel " << i;
        }
    }
}

// A layered document becomes a set that shows what the document shows: a
// group of a garment and its clipped shading is one part, a layer at 60% one
// part with its opacity, a hidden layer left out, the body fixed.
TEST_F(Converter, ALayeredDocumentBecomesASetThatShowsAsItDoes)
{
    const int32_t width = 10, height = 8;
    auto rect = [](const char* name, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
        return psdTestLayer(name, left, top, right - left, bottom - top,
                            std::vector<uint32_t>((size_t)(right - left) * (bottom - top), colour));
    };
    PsdTestDocument document;
    document.width = width, document.height = height;
    PsdTestLayer shade = rect("shade", 0, 3, 10, 8, 0x80000000u);  // half black, clipped to the cloth
    shade.clipped = true;
    PsdTestLayer veil = rect("veil", 3, 0, 9, 3, 0xFFFFFFFFu);
    veil.opacity = 153;  // 60%
    PsdTestLayer hat = rect("old hat", 2, 0, 6, 2, 0xFF00C000u);
    hat.hidden = true;
    PsdTestLayer tanned = rect("tanned body", 1, 1, 5, 7, 0xFFA06040u);  // the body recoloured, kept hidden
    tanned.hidden = true;
    document.layers = {rect("body", 1, 1, 5, 7, 0xFFC80000u), psdTestDivider(), rect("cloth", 0, 4, 8, 7, 0xFF0000C8u),
                       shade, psdTestGroup("dress"), veil, hat, tanned};
    for (PsdTestLayer& layer : document.layers)
        layer.compression = 1;  // RLE, as the document's program saves it
    const std::vector<uint8_t> file = writePsd(document);
    ASSERT_TRUE(writeFileU(scratch.path("drawing.psd"), file));

    HostRun run = runHost({"doll", "drawing.psd", "--to", "set"}, scratch.folder);
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_NE(run.output.find("[4/5] old hat: hidden in the document, so left out\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("[5/5] tanned body: body in other colours: no cel of its own, palette group 1, shown in "
                              "set 1\n"),
              std::string::npos) << run.output;
    EXPECT_NE(run.output.find("[1/5] body -> set\\body.cel  4 x 6, 8-bit cel and palette set\\body.kcf, placed at 1, 1 "
                              "and fixed"),
              std::string::npos) << run.output;
    ASSERT_EQ(runHost({"preview", "set", "set.png"}, scratch.folder).status, 0u);

    // The document as its program shows it, over the white background:
    // each visible layer laid on the one below, the shading only on the cloth.
    std::vector<double> shown(3 * width * height, 255.0);
    auto lay = [&](int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour, double alpha) {
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                for (int c = 0; c < 3; ++c) {
                    double& at = shown[3 * (y * width + x) + c];
                    at = at * (1 - alpha) + ((colour >> (16 - 8 * c)) & 0xFF) * alpha;
                }
    };
    lay(1, 1, 5, 7, 0xC80000u, 1.0);
    lay(0, 4, 8, 7, 0x0000C8u, 1.0);
    lay(0, 4, 8, 7, 0x000000u, 128 / 255.0);
    lay(3, 0, 9, 3, 0xFFFFFFu, 153 / 255.0);

    // Where the drawing lies on the playfield, from set 0's place for the body.
    const std::string text = readFileU(scratch.path("set\\doll.cnf"));
    const KissConfiguration cnf = readConfiguration((const uint8_t*)text.data(), text.size());
    ASSERT_FALSE(cnf.sets.empty());
    ASSERT_EQ(cnf.cels.size(), 3u);
    EXPECT_EQ(cnf.cels.back().fix, KISS_FIXED_IN_PLACE);
    const int32_t left = cnf.sets[0].positions.back().x - 1, top = cnf.sets[0].positions.back().y - 1;
    DecodedPicture preview;
    PictureProblem problem;
    ASSERT_TRUE(readPicture(wide(scratch.path("set.png")), &preview, &problem)) << problem.code;
    ASSERT_GE(preview.width, left + width);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int seen = (preview.pixels[(size_t)(top + y) * preview.width + left + x] >> (16 - 8 * c)) & 0xFF;
                EXPECT_NEAR(seen, shown[3 * (y * width + x) + c], 1.0) << x << "," << y << " channel " << c;
            }
}

// ---------------------------------------------------------------------------
// In the user's language, on Japanese Windows and on a Western one alike
// (CTest runs these in both): names outside the ANSI code page, a folder of
// pictures, KiSS files and a text file, a wildcard the converter expands
// itself, and a --to whose folders are all missing.

class ConverterAnyLocale : public Converter {};

TEST_F(ConverterAnyLocale, AnyNameFoldersAndWildcards)
{
    const Pixels face = patternPixels(8, 3, 2, 11);
    const std::vector<uint8_t> table = colourTable(16, 4), bmp = bmpFile(40, 3, 2, 8, 0, storedRows(face, false), table);
    const std::vector<uint8_t> png = pngFile(2, 1, 8, 0, {{10, 200}});
    const Pixels grey = {32, 2, 1, {0xFF0A0A0Au, 0xFFC8C8C8u}};
    ASSERT_TRUE(CreateDirectoryW(wide(scratch.path("parts")).c_str(), NULL));
    for (const char* name : {"parts\\ハート♥.bmp", "parts\\café.bmp", "ソックス.bmp"})
        ASSERT_TRUE(writeFileU(scratch.path(name), bmp));
    ASSERT_TRUE(writeFileU(scratch.path("parts\\顔.png"), png));
    for (const char* name : {"parts\\old.cel", "parts\\old.kcf", "parts\\notes.txt", "notes.bmp.txt"})
        ASSERT_TRUE(writeFileU(scratch.path(name), {'h', 'i'}));
    ASSERT_TRUE(CreateDirectoryW(wide(scratch.path("parts\\inner")).c_str(), NULL));
    ASSERT_TRUE(writeFileU(scratch.path("parts\\inner\\deep.bmp"), bmp));

    const std::string to = "表\\人形\\セル";
    HostRun run = runHost({"export", "parts", "*.bmp", "--to", to, "--palette"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    const std::string cel = inUserLanguage("  3 x 2, 8-bit cel and palette ", "  3 x 2、8 ビットのセルとパレット ");
    const std::string out = to + "\\";
    EXPECT_EQ(run.output,
              "[1/4] parts\\café.bmp -> " + out + "café.cel" + cel + out + "café.kcf\n"
              "[2/4] parts\\ハート♥.bmp -> " + out + "ハート♥.cel" + cel + out + "ハート♥.kcf\n"
              "[3/4] parts\\顔.png -> " + out + "顔.cel" +
                  inUserLanguage("  2 x 1, 32-bit cel: full colour", "  2 x 1、32 ビットのセル（フルカラー）") + "\n"
              "[4/4] ソックス.bmp -> " + out + "ソックス.cel" + cel + out + "ソックス.kcf\n" +
              inUserLanguage("4 pictures converted; 2 KiSS files and 1 other file skipped.\n",
                             "4 枚の画像を変換しました。KiSS のファイル 2 個とほかのファイル 1 個は飛ばしました。\n"));
    EXPECT_EQ(entries(scratch.path(to)), (Names{"café.cel", "café.kcf", "ソックス.cel", "ソックス.kcf", "ハート♥.cel",
                                                "ハート♥.kcf", "顔.cel"}));
    for (const char* name : {"café", "ソックス", "ハート♥"}) {
        EXPECT_TRUE(holds(scratch.path(out + name + ".cel"), expectedKissFile(face, MARK_CEL))) << name;
        EXPECT_TRUE(holds(scratch.path(out + name + ".kcf"), expectedPalette(table))) << name;
    }
    EXPECT_TRUE(holds(scratch.path(out + "顔.cel"), expectedKissFile(grey, MARK_CEL)));
    // Nothing is left behind under another name.
    EXPECT_EQ(entries(scratch.path("parts")), (Names{"café.bmp", "inner", "notes.txt", "old.cel", "old.kcf",
                                                     "ハート♥.bmp", "顔.png"}));
}

TEST_F(ConverterAnyLocale, HelpIsInTheUsersLanguage)
{
    HostRun run = runHost({"--help"}, scratch.folder);
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output.substr(0, run.output.find('\n')),
              inUserLanguage("porvane-host saves pictures as KiSS cels through porvane.xpi, as the host picture "
                             "program does.",
                             "porvane-host は、画像編集ソフトと同じように porvane.xpi を使って画像を KiSS のセルに保存"
                             "します。"));
}

}  // namespace
