// Reading KiSS dolls back: cels and palettes of every form, a configuration
// with every syntax, the check over dolls made here (one sound doll, and one
// row per way to break it), and the sets and cels drawn from it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "kiss_cel.h"
#include "kiss_check.h"
#include "kiss_configuration.h"
#include "kiss_names.h"
#include "kiss_palette.h"
#include "kiss_picture.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void putWord(Bytes* bytes, size_t at, int value)
{
    (*bytes)[at] = (uint8_t)value, (*bytes)[at + 1] = (uint8_t)(value >> 8);
}

Bytes kissHeader(int mark, int depth, int width, int height, int x = 0, int y = 0)
{
    Bytes header(32, 0);
    memcpy(header.data(), "KiSS", 4);
    header[4] = (uint8_t)mark, header[5] = (uint8_t)depth;
    putWord(&header, 8, width), putWord(&header, 10, height), putWord(&header, 12, x), putWord(&header, 14, y);
    return header;
}

// Rows of 4- or 8-bit colour numbers, or 32-bit 0xRRGGBBAA pixels, as a cel's data.
Bytes celRows(int depth, int width, const std::vector<uint32_t>& pixels)
{
    Bytes rows;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        if (depth == 32)
            rows.insert(rows.end(), {(uint8_t)(p >> 8), (uint8_t)(p >> 16), (uint8_t)(p >> 24), (uint8_t)p});
        else if (depth == 8)
            rows.push_back((uint8_t)p);
        else if (i % width % 2 == 0)
            rows.push_back((uint8_t)(p << 4));
        else
            rows.back() |= (uint8_t)p;
    }
    return rows;
}

Bytes cel(int depth, int width, int height, const std::vector<uint32_t>& pixels, int x = 0, int y = 0,
          int mark = KISS_MARK_CEL)
{
    Bytes file = kissHeader(mark, depth, width, height, x, y), rows = celRows(depth, width, pixels);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

Bytes oldCel(int width, int height, const std::vector<uint32_t>& pixels)
{
    Bytes file(4);
    putWord(&file, 0, width), putWord(&file, 2, height);
    const Bytes rows = celRows(4, width, pixels);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

// Groups of 0xRRGGBB colours, padded to `colours` with grey.
Bytes paletteColours(int depth, int colours, const std::vector<std::vector<uint32_t>>& groups)
{
    Bytes data;
    for (std::vector<uint32_t> group : groups) {
        group.resize((size_t)colours, 0x808080);
        for (uint32_t c : group) {
            const uint8_t r = (uint8_t)(c >> 16), g = (uint8_t)(c >> 8), b = (uint8_t)c;
            if (depth == 24)
                data.insert(data.end(), {r, g, b});
            else
                data.insert(data.end(), {(uint8_t)((r & 0xF0) | b >> 4), (uint8_t)(g >> 4)});
        }
    }
    return data;
}

Bytes palette(int depth, int colours, const std::vector<std::vector<uint32_t>>& groups)
{
    Bytes file = kissHeader(KISS_MARK_PALETTE, depth, colours, (int)groups.size());
    const Bytes data = paletteColours(depth, colours, groups);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes firstBytes(Bytes bytes, size_t count)
{
    bytes.resize(count);
    return bytes;
}

// ---------------------------------------------------------------------------
// Cels and palettes.

struct CelRow {
    const char* what;
    Bytes file;
    KissProblem problem;
    int64_t number[2];
    int depth;
    int32_t width, height, x, y;
    std::vector<uint8_t> pixels;  // the first ones
    int highestColour;
};

TEST(KissFiles, CelsOfEveryFormAndTheDamagedOnes)
{
    const CelRow rows[] = {
        {"4 bits, odd width, offsets", cel(4, 3, 2, {1, 0, 15, 2, 3, 4}, 5, 6), KISS_FINE, {}, 4, 3, 2, 5, 6,
         {1, 0, 15, 2, 3, 4}, 15},
        {"8 bits", cel(8, 2, 1, {200, 7}), KISS_FINE, {}, 8, 2, 1, 0, 0, {200, 7}, 200},
        {"32 bits: blue, green, red, alpha in the file", cel(32, 1, 1, {0x11223344}), KISS_FINE, {}, 32, 1, 1, 0, 0,
         {0x11, 0x22, 0x33, 0x44}, 0},
        {"32 bits marked 0x21", cel(32, 1, 1, {0x11223344}, 0, 0, KISS_MARK_CEL_32), KISS_FINE, {}, 32, 1, 1, 0, 0,
         {0x11, 0x22, 0x33, 0x44}, 0},
        {"old form, no header", oldCel(3, 2, {1, 2, 3, 4, 5, 6}), KISS_FINE, {}, 4, 3, 2, 0, 0, {1, 2, 3, 4, 5, 6}, 6},
        {"a byte short", firstBytes(cel(8, 2, 2, {1, 2, 3, 4}), 35), KISS_FILE_TRUNCATED, {36, 35}},
        {"old form a byte short", firstBytes(oldCel(2, 3, {1, 2, 3, 4, 5, 6}), 6), KISS_FILE_TRUNCATED, {7, 6}},
        {"shorter than the old header", Bytes(3, 0), KISS_FILE_TRUNCATED, {4, 3}},
        {"header cut", firstBytes(cel(8, 1, 1, {1}), 20), KISS_FILE_TRUNCATED, {32, 20}},
        {"porvane's own 24 bits", cel(8, 1, 1, {1, 2, 3}), KISS_FINE},  // replaced below
        {"a palette", palette(24, 16, {{}}), KISS_CEL_IS_NOT_A_CEL, {0x10}},
        {"no rows", cel(8, 0, 0, {}), KISS_CEL_EMPTY, {0, 0}},
    };
    std::vector<CelRow> table(std::begin(rows), std::end(rows));
    table[9].file[5] = 24, table[9].problem = KISS_CEL_UNKNOWN_DEPTH, table[9].number[0] = 24;
    for (const CelRow& row : table) {
        SCOPED_TRACE(row.what);
        KissCel read;
        const KissFileProblem problem = readCel(row.file.data(), row.file.size(), &read);
        EXPECT_EQ(problem.problem, row.problem);
        EXPECT_EQ(problem.number[0], row.number[0]);
        EXPECT_EQ(problem.number[1], row.number[1]);
        if (row.problem != KISS_FINE)
            continue;
        EXPECT_EQ(read.depth, row.depth);
        EXPECT_EQ(read.width, row.width);
        EXPECT_EQ(read.height, row.height);
        EXPECT_EQ(read.xOffset, row.x);
        EXPECT_EQ(read.yOffset, row.y);
        EXPECT_EQ(read.pixels, row.pixels);
        EXPECT_EQ(read.highestColour, row.highestColour);
    }
}

TEST(KissFiles, PalettesOfEveryFormAndTheDamagedOnes)
{
    struct Row {
        const char* what;
        Bytes file;
        KissProblem problem;
        int64_t number[2];
        int colours, groups;
        int group, index;
        std::vector<uint8_t> colour;  // of that index in that group; empty: none
    } rows[] = {
        {"24 bits, two groups", palette(24, 16, {{0x102030}, {0x405060, 0x708090}}), KISS_FINE, {}, 16, 2, 1, 1,
         {0x70, 0x80, 0x90}},
        {"12 bits: red and blue share a byte, each times 17", palette(12, 256, {{0, 0xF0A050}}), KISS_FINE, {}, 256, 1,
         0, 1, {0xFF, 0xAA, 0x55}},
        {"old form, ten groups", {}, KISS_FINE},
        {"a group the palette lacks shows its first", palette(24, 16, {{0, 0x123456}}), KISS_FINE, {}, 16, 1, 7, 1,
         {0x12, 0x34, 0x56}},
        {"past its colours, none", palette(24, 16, {{0}}), KISS_FINE, {}, 16, 1, 0, 16, {}},
        {"groups 0 is one group", palette(24, 16, {{0}}), KISS_FINE, {}, 16, 1, 0, 0, {0, 0, 0}},
        {"a colour short", palette(24, 256, {{0}}), KISS_FILE_TRUNCATED, {800, 799}},
        {"old form, a byte past a group", Bytes(33, 0), KISS_FILE_TRUNCATED, {64, 33}},
        {"16 bits a colour", palette(24, 16, {{0}}), KISS_PALETTE_UNKNOWN_DEPTH, {16}},
        {"a cel", cel(8, 1, 1, {1}), KISS_PALETTE_IS_NOT_A_PALETTE, {0x20}},
        {"no colours", palette(24, 0, {}), KISS_PALETTE_NO_COLOURS},
    };
    rows[2].file = paletteColours(12, 16, std::vector<std::vector<uint32_t>>(10, {0}));
    rows[2].file[9 * 32 + 2 * 3] = 0x5A, rows[2].file[9 * 32 + 2 * 3 + 1] = 0x07;  // group 9, colour 3
    rows[2].colours = 16, rows[2].groups = 10, rows[2].group = 9, rows[2].index = 3;
    rows[2].colour = {0x55, 0x77, 0xAA};
    putWord(&rows[5].file, 10, 0);
    rows[6].file = firstBytes(rows[6].file, 799);
    rows[8].file[5] = 16;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        KissPalette read;
        const KissFileProblem problem = readPalette(row.file.data(), row.file.size(), &read);
        EXPECT_EQ(problem.problem, row.problem);
        EXPECT_EQ(problem.number[0], row.number[0]);
        EXPECT_EQ(problem.number[1], row.number[1]);
        if (row.problem != KISS_FINE)
            continue;
        EXPECT_EQ(read.colours, row.colours);
        EXPECT_EQ(read.groups, row.groups);
        const uint8_t* colour = kissColour(read, row.group, row.index);
        EXPECT_EQ(colour == NULL ? Bytes() : Bytes(colour, colour + 3), row.colour);
    }
}

// ---------------------------------------------------------------------------
// Configurations.

// What a configuration holds, a line an element, with the line it is at.
std::string outline(const KissConfiguration& cnf)
{
    std::ostringstream o;
    o << "playfield " << cnf.width << " x " << cnf.height << " at " << cnf.playfieldLine << ", border " << cnf.border
      << ", memory " << cnf.memory << "\n";
    for (const KissPaletteLine& p : cnf.palettes)
        o << "palette " << p.name << " at " << p.line << "\n";
    for (const KissCelLine& c : cnf.cels)
        o << "cel #" << c.object << "." << c.fix << " " << c.name << " *" << c.palette << " sets " << c.sets << " ;"
          << c.comment << " at " << c.line << "\n";
    for (const KissSetLine& set : cnf.sets) {
        o << "set $" << set.paletteGroup;
        for (const KissPosition& p : set.positions)
            p.given ? o << " " << p.x << "," << p.y : o << " *";
        o << " at " << set.line << "\n";
    }
    for (const KissTextLine& f : cnf.fkiss)
        o << "FKiSS at " << f.line << "\n";
    for (const KissTextLine& u : cnf.unknown)
        o << "unknown " << u.text << " at " << u.line << "\n";
    o << cnf.problems.size() << " problems\n";
    return o.str();
}

TEST(KissFiles, AConfigurationWithEverySyntax)
{
    const std::string text =
        "=512K\r\n"
        "(20,10) ; the playfield\r\n"
        "[3\r\n"
        "%doll.kcf\r\n"
        "%old.kcf ; old\r\n"
        "#0 hat.cel :0 1 ; the hat %t128\r\n"
        "#0.5 glow.cel*1\r\n"
        "#12 \x95\x5C.cel :3\n"  // a name whose second byte is a backslash; LF alone
        "$2 2,3 * -4,5\r"         // CR alone
        " 6,7\r\n"
        "\t8,8\r\n"              // a tab does not continue the positions
        "$0\r\n"
        ";@EventHandler\r\n"
        ";@press(#0) ; \x81\x40\r\n"
        "; a comment\r\n"
        "something else\r\n"
        "\r\n"
        "#3 last.cel";            // no line end
    const KissConfiguration cnf = readConfiguration((const uint8_t*)text.data(), text.size());
    EXPECT_EQ(outline(cnf),
              "playfield 20 x 10 at 2, border 3, memory 512K\n"
              "palette doll.kcf at 4\n"
              "palette old.kcf at 5\n"
              "cel #0.0 hat.cel *0 sets 3 ; the hat %t128 at 6\n"
              "cel #0.5 glow.cel *1 sets 1023 ; at 7\n"
              "cel #12.0 \x95\x5C.cel *0 sets 8 ; at 8\n"
              "cel #3.0 last.cel *0 sets 1023 ; at 18\n"
              "set $2 2,3 * -4,5 6,7 at 9\n"
              "set $0 at 12\n"
              "FKiSS at 13\n"
              "FKiSS at 14\n"
              "unknown \t8,8 at 11\n"
              "unknown something else at 16\n"
              "0 problems\n");
}

// ---------------------------------------------------------------------------
// The check, over a doll of every kind of file and its broken twins.

// A doll's files as a folder holds them; the fetcher finds them as viewers do.
struct Doll {
    std::map<std::string, Bytes> files;
    std::set<std::string> unreadable;

    KissFetcher fetcher() const
    {
        return [this](const std::string& name) {
            std::vector<std::string> names;
            for (const auto& file : files)
                names.push_back(file.first);
            KissFetched fetched;
            const int found = findKissFile(name, names);
            if (found < 0)
                return fetched;
            fetched.name = names[(size_t)found];
            fetched.status = unreadable.count(fetched.name) ? KISS_NOT_READABLE : KISS_FETCHED;
            fetched.bytes = files.at(fetched.name);
            return fetched;
        };
    }
};

const uint32_t WHITE = 0xFFFFFF, RED = 0xFF0000, BLUE = 0x0000FF, BODY = 0x0A141E, BLACK = 0, GREEN = 0x00FF00;

Doll soundDoll()
{
    Doll doll;
    doll.files["doll.kcf"] = palette(24, 16, {{WHITE, RED, BLUE, BODY}, {BLACK, GREEN, RED, BLUE}});
    doll.files["old.kcf"] = paletteColours(12, 16, {{WHITE, RED, BLUE}, {BLACK, 0x112233, GREEN}});
    doll.files["hat.cel"] = cel(4, 3, 2, {1, 0, 2, 2, 1, 0}, 1, 0);
    doll.files["glow.cel"] = cel(32, 2, 2, {0xFF000080, 0x00FF00FF, 0x70301001, 0x000000FF});
    doll.files["body.cel"] = cel(8, 4, 3, {3, 3, 3, 3, 3, 0, 0, 3, 3, 3, 3, 3});
    doll.files["old.cel"] = oldCel(2, 2, {1, 2, 2, 1});
    return doll;
}

const char SOUND_CNF[] =
    "; a doll of three objects\r\n"               // 1
    "=512K\r\n"                                   // 2
    "(20,10)\r\n"                                 // 3
    "[0\r\n"                                      // 4
    "%doll.kcf\r\n"                               // 5
    "%old.kcf\r\n"                                // 6
    "#0 hat.cel :0 1 ; the hat \x95\x5C\r\n"      // 7: a comment whose second byte is a backslash
    "#0 glow.cel\r\n"                             // 8
    "#1.5 body.cel *0 :0 1\r\n"                   // 9
    "#2 old.cel *1 :1\r\n"                        // 10
    "$0 2,3 4,1 *\r\n"                            // 11: object 2 is not in set 0
    "$1 1,1\r\n"                                  // 12
    " 5,5 6,6\r\n"                                // 13
    ";@EventHandler\r\n"                          // 14
    ";@press(#1) unmap(\"hat.cel\") notify(\"a)b\") ; off\r\n";  // 15

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::vector<KissFinding> check(const Doll& doll, const std::string& cnf)
{
    return checkDoll("doll.cnf", readConfiguration((const uint8_t*)cnf.data(), cnf.size()), doll.fetcher());
}

std::string describe(const std::vector<KissFinding>& findings)
{
    std::string text;
    for (const KissFinding& f : findings)
        text += f.file + ":" + std::to_string(f.line) + " problem " + std::to_string(f.problem) + " [" +
                std::to_string(f.number[0]) + "," + std::to_string(f.number[1]) + "," + std::to_string(f.number[2]) +
                "]\n";
    return text;
}

struct Expected {
    KissProblem problem;
    uint32_t line;
    std::vector<int64_t> numbers;
    std::string file = "doll.cnf";
};

TEST(KissFiles, TheCheckFindsEachBreakAndPassesTheSoundDolls)
{
    const std::string sound = SOUND_CNF;
    std::string crOnly = sound, lfOnly = sound;
    for (size_t at; (at = crOnly.find("\r\n")) != std::string::npos;)
        crOnly.replace(at, 2, "\r"), lfOnly.replace(lfOnly.find("\r\n"), 2, "\n");
    std::string tooManySets = sound;
    for (int s = 2; s <= 10; ++s)
        tooManySets += "$0 2,3 4,1\r\n";
    const Bytes truncatedCel = firstBytes(cel(8, 4, 3, std::vector<uint32_t>(12, 3)), 40);
    Bytes twentyFourBits = cel(8, 1, 1, {1, 2, 3});
    twentyFourBits[5] = 24;

    struct Row {
        const char* what;
        std::string cnf;
        std::map<std::string, Bytes> files;  // added or replacing the sound doll's
        std::vector<Expected> expected;
        const char* unreadable = "";
    } rows[] = {
        {"the sound doll", sound, {}, {}},
        {"CR line ends", crOnly, {}, {}},
        {"LF line ends", lfOnly, {}, {}},
        {"cel line written tight", replaced(sound, "#2 old.cel *1 :1", "#2 old.cel*1:1"), {}, {}},
        {"a line of 256 bytes", replaced(sound, "; a doll of three objects", ";" + std::string(255, 'x')), {},
         {{KISS_LINE_TOO_LONG, 1, {256}}}},
        {"no playfield", replaced(sound, "(20,10)\r\n", ""), {}, {{KISS_NO_PLAYFIELD, 0, {448, 320}}}},
        {"a playfield wider than a window", replaced(sound, "(20,10)", "(40000,10)"), {},
         {{KISS_PLAYFIELD_TOO_LARGE, 3, {40000, 10}}}},
        {"a playfield past 2 GB", replaced(sound, "(20,10)", "(27000,27000)"), {},
         {{KISS_PLAYFIELD_TOO_LARGE, 3, {27000, 27000}}}},
        {"a playfield unreadable", replaced(sound, "(20,10)", "(20 10)"), {},
         {{KISS_NO_PLAYFIELD, 0, {448, 320}}, {KISS_PLAYFIELD_UNREADABLE, 3, {}}}},
        {"a name not in ASCII", replaced(sound, "#0 glow.cel", "#0 \x83\x41.cel"), {{"\x83\x41.cel", cel(8, 1, 1, {1})}},
         {{KISS_NAME_NOT_ASCII, 8, {1}, "\x83\x41.cel"}}},
        {"a name that matches only by its second byte's case", replaced(sound, "#0 glow.cel", "#0 \x83\x41.cel"),
         {{"\x83\x61.cel", cel(8, 1, 1, {1})}},
         {{KISS_NAME_NOT_ASCII, 8, {1}, "\x83\x41.cel"}, {KISS_FILE_MISSING, 8, {}, "\x83\x41.cel"}}},
        {"a name longer than 8.3", replaced(sound, "#0 glow.cel", "#0 glowing-hat.cels"),
         {{"glowing-hat.cels", cel(8, 1, 1, {1})}}, {{KISS_NAME_NOT_8_3, 8, {11, 4}, "glowing-hat.cels"}}},
        {"a character names do not use", replaced(sound, "%old.kcf", "%old+.kcf"), {{"old+.kcf", Bytes(64, 0)}},
         {{KISS_NAME_CHARACTER, 6, {4}, "old+.kcf"}}},
        {"a name in other case", replaced(sound, "#0 glow.cel", "#0 GLOW.CEL"), {},
         {{KISS_NAME_CASE_DIFFERS, 8, {}, "GLOW.CEL"}}},
        {"a missing cel", replaced(sound, "#0 glow.cel", "#0 gone.cel"), {}, {{KISS_FILE_MISSING, 8, {}, "gone.cel"}}},
        {"an unreadable palette", sound, {}, {{KISS_FILE_UNREADABLE, 6, {}, "old.kcf"}}, "old.kcf"},
        {"a cel cut short", sound, {{"body.cel", truncatedCel}}, {{KISS_FILE_TRUNCATED, 9, {44, 40}, "body.cel"}}},
        {"a palette cut short", sound, {{"old.kcf", Bytes(33, 0)}}, {{KISS_FILE_TRUNCATED, 6, {64, 33}, "old.kcf"}}},
        {"porvane's own 24-bit cel", sound, {{"glow.cel", twentyFourBits}},
         {{KISS_CEL_UNKNOWN_DEPTH, 8, {24}, "glow.cel"}}},
        {"a palette number with no palette", replaced(sound, "*1 :1", "*2 :1"), {},
         {{KISS_NO_SUCH_PALETTE, 10, {2, 2}}}},
        {"colours past the palette", sound, {{"body.cel", cel(8, 4, 3, std::vector<uint32_t>(12, 16))}},
         {{KISS_COLOURS_BEYOND_PALETTE, 9, {16, 16}, "body.cel"}}},
        {"a cel larger than the playfield", replaced(sound, "(20,10)", "(3,10)"), {},
         {{KISS_CEL_LARGER_THAN_PLAYFIELD, 9, {4, 3}, "body.cel"}}},
        {"set 12", replaced(sound, ":0 1 ;", ":0 12 ;"), {}, {{KISS_SET_OUT_OF_RANGE, 7, {12}}}},
        {"a colon alone", replaced(sound, "*1 :1", "*1 :"), {}, {{KISS_NO_SETS_AFTER_COLON, 10, {}}}},
        {"a cel line unreadable", replaced(sound, "#2 old.cel *1 :1", "#2 old.cel *x :1"), {},
         {{KISS_CEL_LINE_UNREADABLE, 10, {}}}},
        {"a byte 0 after a cel line", replaced(sound, "#2 old.cel *1 :1", std::string("#2 old.cel *1 :1 \0", 18)), {},
         {{KISS_CEL_LINE_UNREADABLE, 10, {}}}},
        {"a fix too large", replaced(sound, "#1.5", "#1.40000"), {}, {{KISS_FIX_TOO_LARGE, 9, {40000, 32767}}}},
        {"no cels", "(20,10)\r\n%doll.kcf\r\n", {}, {{KISS_NO_CELS, 0, {}}}},
        {"no set lines", replaced(replaced(replaced(sound, "$0 2,3 4,1 *\r\n", ""), "$1 1,1\r\n", ""), " 5,5 6,6\r\n",
                                  ""),
         {}, {{KISS_NO_SET_LINES, 0, {}}}},
        {"a set short of positions", replaced(sound, "$0 2,3 4,1 *", "$0 2,3"), {},
         {{KISS_SET_SHORT_OF_POSITIONS, 11, {0, 1, 2}}}},
        {"a shown object with no position", replaced(sound, " 5,5 6,6", " 5,5 *"), {},
         {{KISS_OBJECT_NOT_PLACED, 12, {2, 1}}}},
        {"a position for no object", replaced(sound, "$0 2,3 4,1 *", "$0 2,3 4,1 * 7,7"), {},
         {{KISS_OBJECT_POSITIONED_NOT_DEFINED, 11, {3, 0}}}},
        {"a position unreadable", replaced(sound, "$0 2,3 4,1 *", "$0 2,3 4, 1 *"), {},
         {{KISS_SET_LINE_UNREADABLE, 11, {2}}, {KISS_SET_SHORT_OF_POSITIONS, 11, {0, 1, 2}}}},
        {"a palette group the palettes lack", replaced(sound, "$1 1,1", "$3 1,1"), {},
         {{KISS_PALETTE_GROUP_MISSING, 12, {1, 3, 2}, "doll.kcf"}, {KISS_PALETTE_GROUP_MISSING, 12, {1, 3, 2}, "old.kcf"}}},
        {"an odd count of colours", sound, {{"old.kcf", palette(24, 20, {{WHITE}, {BLACK}})}},
         {{KISS_PALETTE_COLOUR_COUNT, 6, {20}, "old.kcf"}}},
        {"eleven sets", tooManySets, {}, {{KISS_TOO_MANY_SETS, 24, {11, 10}}}},
        {"FKiSS above the event handler",
         replaced(sound, ";@EventHandler\r\n", "") + ";@EventHandler\r\n", {},
         {{KISS_FKISS_BEFORE_EVENT_HANDLER, 14, {}}}},
        {"an unknown event", replaced(sound, ";@press(#1)", ";@frob(#1)"), {}, {{KISS_FKISS_UNKNOWN_COMMAND, 15, {3}}}},
        {"a command not in lowercase", replaced(sound, "unmap(", "UnMap("), {}, {{KISS_FKISS_NOT_LOWERCASE, 15, {13}}}},
        {"parentheses that do not close", replaced(sound, "unmap(\"hat.cel\")", "unmap(\"hat.cel\""), {},
         {{KISS_FKISS_SYNTAX, 15, {18}}}},
        {"a quote that does not close", replaced(sound, "notify(\"a)b\")", "notify(\"a)b)"), {},
         {{KISS_FKISS_SYNTAX, 15, {37}}}},
        {"a cel below the event handler", sound + "#3 old.cel :2\r\n", {},
         {{KISS_CEL_AFTER_EVENT_HANDLER, 16, {}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Doll doll = soundDoll();
        for (const auto& file : row.files)
            doll.files[file.first] = file.second;
        if (*row.unreadable)
            doll.unreadable.insert(row.unreadable);
        std::vector<KissFinding> expected;
        for (const Expected& e : row.expected) {
            KissFinding f;
            f.file = e.file, f.line = e.line, f.problem = e.problem;
            for (size_t i = 0; i < e.numbers.size(); ++i)
                f.number[i] = e.numbers[i];
            expected.push_back(f);
        }
        EXPECT_EQ(describe(check(doll, row.cnf)), describe(expected));
    }
}

// ---------------------------------------------------------------------------
// Drawing.

// A picture as rows of letters, each the letter of its colour in `key`; '?'
// for a colour not there, or a pixel not opaque.
std::vector<std::string> lettersOf(const KissPicture& picture, const std::map<char, uint32_t>& key)
{
    std::vector<std::string> rows((size_t)picture.height, std::string((size_t)picture.width, '?'));
    for (size_t i = 0; i < picture.rgba.size(); i += 4)
        for (const auto& letter : key)
            if (picture.rgba[i + 3] == 255 && ((uint32_t)picture.rgba[i] << 16 | picture.rgba[i + 1] << 8 |
                                               picture.rgba[i + 2]) == letter.second)
                rows[i / 4 / picture.width][i / 4 % picture.width] = letter.first;
    return rows;
}

TEST(KissFiles, SetsDrawnAsTheViewerDrawsThem)
{
    const Doll doll = soundDoll();
    const KissConfiguration cnf = readConfiguration((const uint8_t*)SOUND_CNF, strlen(SOUND_CNF));
    // Set 0, palette group 0 on white: body (object 1) at 4,1 with a hole;
    // glow (object 0, 32 bits) at 2,3, its red half transparent, its
    // nearly transparent brown leaving the white as it was; the hat (object
    // 0, offset 1,0), listed first, in front of both.
    const uint32_t PINK = 0xFF7F7F;
    const std::vector<std::string> set0 = {"wwwwwwwwwwwwwwwwwwww",
                                        "wwwwccccwwwwwwwwwwww",
                                        "wwwwcwwcwwwwwwwwwwww",
                                        "wwprcbccwwwwwwwwwwww",
                                        "wwwbrwwwwwwwwwwwwwww",
                                        "wwwwwwwwwwwwwwwwwwww",
                                        "wwwwwwwwwwwwwwwwwwww",
                                        "wwwwwwwwwwwwwwwwwwww",
                                        "wwwwwwwwwwwwwwwwwwww",
                                        "wwwwwwwwwwwwwwwwwwww"};
    const std::map<char, uint32_t> key0 = {{'w', WHITE}, {'c', BODY}, {'r', RED}, {'b', BLUE}, {'p', PINK}};
    // Set 1, palette group 1 on black: the positions run on the next line;
    // the old cel (object 2) at 6,6 in the old palette's group 1.
    const uint32_t OLD1 = 0x112233;
    const std::vector<std::string> set1 = {"kkkkkkkkkkkkkkkkkkkk",
                                        "kpgkrkkkkkkkkkkkkkkk",
                                        "kkrgkkkkkkkkkkkkkkkk",
                                        "kkkkkkkkkkkkkkkkkkkk",
                                        "kkkkkkkkkkkkkkkkkkkk",
                                        "kkkkkbbbbkkkkkkkkkkk",
                                        "kkkkkbogbkkkkkkkkkkk",
                                        "kkkkkbbbbkkkkkkkkkkk",
                                        "kkkkkkkkkkkkkkkkkkkk",
                                        "kkkkkkkkkkkkkkkkkkkk"};
    const std::map<char, uint32_t> key1 = {{'k', BLACK}, {'b', BLUE},     {'r', RED},
                                           {'g', GREEN}, {'p', 0x800000}, {'o', OLD1}};
    KissPicture drawn;
    ASSERT_EQ(drawSet(cnf, 0, doll.fetcher(), &drawn), KISS_FINE);
    EXPECT_EQ(lettersOf(drawn, key0), set0);
    ASSERT_EQ(drawSet(cnf, 1, doll.fetcher(), &drawn), KISS_FINE);
    EXPECT_EQ(lettersOf(drawn, key1), set1);
    EXPECT_EQ(drawSet(cnf, 2, doll.fetcher(), &drawn), KISS_NO_SUCH_SET);
    const std::string huge = replaced(SOUND_CNF, "(20,10)", "(4097,4096)");
    EXPECT_EQ(drawSet(readConfiguration((const uint8_t*)huge.data(), huge.size()), 0, doll.fetcher(), &drawn),
              KISS_PICTURE_TOO_LARGE);
}

TEST(KissFiles, ACelUnpackedWithItsPalette)
{
    KissCel hat;
    KissPalette colours;
    const Doll doll = soundDoll();
    ASSERT_EQ(readCel(doll.files.at("hat.cel").data(), doll.files.at("hat.cel").size(), &hat).problem, KISS_FINE);
    ASSERT_EQ(readPalette(doll.files.at("doll.kcf").data(), doll.files.at("doll.kcf").size(), &colours).problem,
              KISS_FINE);
    KissPicture picture;
    ASSERT_EQ(celPicture(hat, &colours, 1, &picture), KISS_FINE);
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.rgba, (Bytes{0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255,  // colour 0 keeps its colour, alpha 0
                                   255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0}));
    EXPECT_EQ(celPicture(hat, NULL, 0, &picture), KISS_CEL_NEEDS_PALETTE);
    hat.width = 65535, hat.height = 300;  // four bytes a pixel: more than a 32-bit program holds for one cel
    EXPECT_EQ(celPicture(hat, &colours, 0, &picture), KISS_PICTURE_TOO_LARGE);
}

}  // namespace
