// The cel choice through its own interface: a table of small pictures, as a
// reader gives them, and the cel each becomes (depth, colours, colour
// numbers or pixels, notes) or the problem; then the background of
// --transparent corner as the shared palette takes it, in full colour.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "../../host/choosing/cel_choice.h"

static bool operator==(const CelNote& a, const CelNote& b)
{
    return a.kind == b.kind && a.number == b.number && a.second == b.second;
}

static void PrintTo(const CelNote& note, std::ostream* out)
{
    *out << "{kind " << note.kind << ", " << note.number << ", " << note.second << "}";
}

namespace {

const uint32_t WHITE = 0xFFFFFFFF, BLACK = 0xFF000000, RED = 0xFFC02030, CLEAR = 0;

// Full-colour pixels by letter. JPEG noise: `n` is as far from white as a
// lossy picture's background may stray, `g` (a pale grey) one step further.
const std::map<char, uint32_t> LETTERS = {
    {'W', WHITE}, {'K', BLACK}, {'R', RED}, {'n', 0xFFEFEFEF}, {'g', 0xFFEEEEEE}, {'-', CLEAR},
};

// Rows of characters separated by spaces, top row first.
int widthOf(const std::string& rows)
{
    return (int)std::min(rows.find(' '), rows.size());
}

std::string pixelsOf(const std::string& rows)
{
    std::string pixels;
    for (char c : rows)
        if (c != ' ')
            pixels += c;
    return pixels;
}

// Colour numbers as digits of base 36 ('g' is 16).
std::vector<uint8_t> numbers(const std::string& rows)
{
    std::vector<uint8_t> indices;
    for (char c : pixelsOf(rows))
        indices.push_back((uint8_t)(c <= '9' ? c - '0' : c - 'a' + 10));
    return indices;
}

// `saysTransparency`: a PNG's or GIF's table; otherwise a BMP's.
DecodedPicture indexed(int bits, const std::vector<uint32_t>& colours, const std::string& rows, bool saysTransparency)
{
    DecodedPicture picture;
    picture.indexBits = bits;
    picture.colours = colours;
    picture.indices = numbers(rows);
    picture.width = widthOf(rows);
    picture.height = (int32_t)(picture.indices.size() / picture.width);
    picture.saysTransparency = saysTransparency;
    return picture;
}

// A PNG, or with `lossy` a JPEG.
DecodedPicture fullColour(const std::string& rows, bool lossy = false)
{
    DecodedPicture picture;
    for (char c : pixelsOf(rows))
        picture.pixels.push_back(LETTERS.at(c));
    picture.width = widthOf(rows);
    picture.height = (int32_t)(picture.pixels.size() / picture.width);
    picture.saysTransparency = !lossy;
    picture.lossy = lossy;
    return picture;
}

// `pixels` with alpha 0 where `cleared` shows '.'.
std::vector<uint32_t> clearedWhere(std::vector<uint32_t> pixels, const std::string& cleared)
{
    const std::string marks = pixelsOf(cleared);
    for (size_t i = 0; i < pixels.size(); ++i)
        if (marks[i] == '.')
            pixels[i] &= ~FULLY_OPAQUE;
    return pixels;
}

// 256 entries of different opaque colours; entry 1 white.
std::vector<uint32_t> fullTable()
{
    std::vector<uint32_t> table;
    for (uint32_t i = 0; i < 256; ++i)
        table.push_back(i == 1 ? WHITE : FULLY_OPAQUE | i * 0x010203u);
    return table;
}

struct Row {
    const char* what;
    DecodedPicture picture;
    TransparencyChoice choice;
    CelChoice cel;  // what it becomes
    PictureProblem problem = {};
    bool paletteMode = false;
};

const TransparencyChoice AS_SAID = {TRANSPARENT_AS_SAID, 0}, CORNER = {TRANSPARENT_CORNER, 0};

CelChoice indexedCel(int depth, std::vector<uint32_t> colours, const std::string& indices,
                     std::vector<CelNote> notes = {})
{
    CelChoice chosen;
    chosen.depth = depth, chosen.colours = colours, chosen.indices = numbers(indices), chosen.notes = notes;
    return chosen;
}

CelChoice fullCel(std::vector<uint32_t> pixels, bool transparent, std::vector<CelNote> notes = {}, int depth = 32)
{
    CelChoice chosen;
    chosen.depth = depth, chosen.pixels = pixels, chosen.transparent = transparent, chosen.notes = notes;
    return chosen;
}

// A full-colour picture under --transparent corner, cleared where `marks` shows '.'.
Row cornerRow(const char* what, const std::string& rows, const std::string& marks, std::vector<CelNote> notes = {},
              bool lossy = false)
{
    const DecodedPicture picture = fullColour(rows, lossy);
    return {what, picture, CORNER, fullCel(clearedWhere(picture.pixels, marks), true, notes)};
}

TEST(CelChoice, EachPictureBecomesTheCelThatShowsIt)
{
    const std::vector<uint32_t> kwr = {BLACK, WHITE, RED}, table = fullTable();
    const std::vector<uint32_t> sixteen(table.begin(), table.begin() + 16);
    std::vector<uint32_t> seventeen = sixteen;
    seventeen.push_back(sixteen[0]);
    DecodedPicture strip = fullColour("WW");
    strip.pixels = table, strip.width = 256, strip.height = 1;
    // A white button (entry 1) amid every other entry in a white border: no
    // entry is free for it.
    DecodedPicture full = indexed(8, table, std::string(18 * 18, '1'), false);
    std::string border;
    full.width = full.height = 18;
    std::vector<uint32_t> fullSpread;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            const bool inside = x > 0 && x < 17 && y > 0 && y < 17;
            if (inside)  // entry 1 at 9, 9
                full.indices[y * 18 + x] = (uint8_t)(((y - 1) * 16 + x - 1) ^ 0x89);
            border += inside ? '#' : '.';
            fullSpread.push_back(table[full.indices[y * 18 + x]]);
        }
    DecodedPicture fullPng = full;
    fullPng.saysTransparency = true;

    const std::vector<Row> rows = {
        // Colour numbers kept: a BMP's colour 0 is transparent; its corners' colour is noted.
        {"bmp", indexed(8, kwr, "1001 1221 1111", false), AS_SAID,
         indexedCel(8, kwr, "1001 1221 1111", {{NOTE_CORNER_ENTRY, 1}})},
        {"transparent entry swapped", indexed(4, {BLACK, WHITE, CLEAR}, "221 012", true), AS_SAID,
         indexedCel(4, {CLEAR, WHITE, BLACK}, "001 210", {{NOTE_SWAPPED, 2}})},
        {"visible colour 0 moved", indexed(8, kwr, "01 21", true), AS_SAID,
         indexedCel(8, {BLACK, WHITE, RED, BLACK}, "31 21", {{NOTE_MOVED, 3}})},
        {"4-bit needs a seventeenth entry", indexed(4, sixteen, "0123456789abcdef", true), AS_SAID,
         indexedCel(8, seventeen, "g123456789abcdef", {{NOTE_MOVED, 16}})},
        {"partly transparent in use", indexed(8, {CLEAR, RED, 0x80C02030}, "012", true), AS_SAID,
         fullCel({CLEAR, RED, 0x80C02030}, true)},
        {"every entry shows", fullPng, AS_SAID, fullCel(fullSpread, false)},
        {"nothing shows", fullColour("-- --"), AS_SAID, indexedCel(4, {0}, "0000")},
        {"palette strip", strip, AS_SAID, fullCel(table, false, {}, 24), {}, true},
        {"entry past the table", indexed(8, kwr, "0", false), {TRANSPARENT_ENTRY, 3}, {},
         {TRANSPARENT_NO_ENTRY, 3, 2}},
        {"entry of no table", fullColour("WK KW"), {TRANSPARENT_ENTRY, 1}, {}, {TRANSPARENT_NO_TABLE, 1}},

        // The background reached from the corners.
        {"buttons take a free entry", indexed(8, kwr, "11111 12221 12121 12221 11111", false), CORNER,
         indexedCel(8, {WHITE, BLACK, RED, WHITE}, "00000 02220 02320 02220 00000",
                    {{NOTE_SWAPPED, 1}, {NOTE_BACKGROUND_CLEARED, 16, 1}})},
        {"a clear free entry takes the button", indexed(8, {BLACK, CLEAR, WHITE}, "22222 20002 20202 20002 22222", true),
         CORNER, indexedCel(8, {WHITE, WHITE, BLACK}, "00000 02220 02120 02220 00000",
                            {{NOTE_SWAPPED, 2}, {NOTE_BACKGROUND_CLEARED, 16, 1}})},
        {"corners transparent already", indexed(8, {CLEAR, RED}, "00000 01110 01010 01110 00000", true), CORNER,
         indexedCel(8, {CLEAR, RED}, "00000 01110 01010 01110 00000")},
        {"no entry free for the button", full, CORNER,
         fullCel(clearedWhere(fullSpread, border), true, {{NOTE_BACKGROUND_CLEARED, 68, 1}})},
        cornerRow("full-colour buttons stay", "WWWWW WRRRW WRWRW WRRRW WWWWW", "..... .###. .###. .###. .....",
                  {{NOTE_BACKGROUND_CLEARED, 16, 1}}),
        cornerRow("jpeg halo", "WWnWWW WnKKgW nKRRKn WgKKnW WWWnWW", "...... ..###. .####. .###.. ......",
                  {{NOTE_BACKGROUND_CLEARED, 20, 0}}, true),
        cornerRow("png is exact", "WWnWWW WnKKgW nKRRKn WgKKnW WWWnWW", "..#... .####. ###### .####. ...#.."),
        cornerRow("jpeg corners a little apart", "WWn WKW nWW", "... .#. ...", {{NOTE_BACKGROUND_CLEARED, 8, 0}}, true),
        cornerRow("ring, no diagonal steps", "WWWWWW WKKKWW WKWWKW WKWWKW WKKKKW WWWWWW",
                  "...... .###.. .####. .####. .####. ......", {{NOTE_BACKGROUND_CLEARED, 21, 4}}),
        cornerRow("pockets from every side", "WWWWWWW WKKWKKW WKKKKKW WWKKKWW WKKKKKW WKKWKKW WWWWWWW",
                  "....... .##.##. .#####. ..###.. .#####. .##.##. ......."),
        cornerRow("every corner fills", "WWKWW WWKWW KKKKK WWKWW WWKWW", "..#.. ..#.. ##### ..#.. ..#.."),
        cornerRow("rows do not wrap", "WWWWW KKKKW WWWKW KKKKW WWWWW", "..... ####. ####. ####. .....",
                  {{NOTE_BACKGROUND_CLEARED, 13, 3}}),
        {"corners differ", fullColour("WK KW"), CORNER, fullCel(fullColour("WK KW").pixels, false, {{NOTE_CORNERS_DIFFER, 0}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DecodedPicture picture = row.picture;
        CelChoice chosen;
        PictureProblem problem;
        EXPECT_EQ(chooseCel(&picture, row.choice, row.paletteMode, &chosen, &problem),
                  row.problem.code == PICTURE_READ);
        EXPECT_EQ(std::make_tuple(problem.code, problem.number, problem.second),
                  std::make_tuple(row.problem.code, row.problem.number, row.problem.second));
        if (row.problem.code != PICTURE_READ)
            continue;
        EXPECT_EQ(chosen.depth, row.cel.depth);
        EXPECT_EQ(chosen.colours, row.cel.colours);
        EXPECT_EQ(chosen.indices, row.cel.indices);
        EXPECT_EQ(chosen.pixels, row.cel.pixels);
        EXPECT_EQ(chosen.transparent, row.cel.transparent);
        EXPECT_EQ(chosen.notes, row.cel.notes);
    }
}

// For the shared palette a picture of colour indices goes over in full
// colour: the background clear, the enclosed pixels of its colour opaque.
TEST(CelChoice, TheBackgroundInFullColour)
{
    DecodedPicture picture = indexed(8, {BLACK, WHITE, RED}, "11111 12221 12121 12221 11111", false);
    std::vector<CelNote> notes;
    PictureProblem problem;
    ASSERT_TRUE(toFullColour(&picture, CORNER, &notes, &problem));
    EXPECT_EQ(picture.pixels, clearedWhere(fullColour("WWWWW WRRRW WRWRW WRRRW WWWWW").pixels,
                                           "..... .###. .###. .###. ....."));
    EXPECT_EQ(notes, (std::vector<CelNote>{{NOTE_BACKGROUND_CLEARED, 16, 1}}));
}

}  // namespace
