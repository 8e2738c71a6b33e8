// The cel choice through its own interface: a table of small pictures, as a
// reader gives them, and the cel each becomes (depth, colours, colour
// numbers or pixels, notes) or the problem; then the background of
// --transparent corner as the shared palette takes it, in full colour.
#include <gtest/gtest.h>

#include <map>

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

// A white button (entry 1) amid every other entry, in a white border: no
// entry is free for the button. 18 x 18.
DecodedPicture buttonInAFullTable()
{
    DecodedPicture picture = indexed(8, fullTable(), std::string(18 * 18, '1'), false);
    picture.width = picture.height = 18;
    int next = 0;
    for (int y = 1; y < 17; ++y)
        for (int x = 1; x < 17; ++x) {
            const bool button = x == 8 && y == 8;
            picture.indices[y * 18 + x] = button ? 1 : (uint8_t)next;
            next += button ? 0 : next == 0 ? 2 : 1;
        }
    return picture;
}

std::vector<uint32_t> spreadOf(const DecodedPicture& picture)
{
    std::vector<uint32_t> pixels;
    for (uint8_t index : picture.indices)
        pixels.push_back(picture.colours[index]);
    return pixels;
}

std::vector<uint32_t> paletteStrip()
{
    std::vector<uint32_t> strip;
    for (uint32_t i = 0; i < 256; ++i)
        strip.push_back(FULLY_OPAQUE | i * 0x030507u);
    return strip;
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

TEST(CelChoice, EachPictureBecomesTheCelThatShowsIt)
{
    const std::vector<uint32_t> kwr = {BLACK, WHITE, RED};
    const std::vector<uint32_t> table = fullTable(), sixteen(table.begin(), table.begin() + 16);
    std::vector<uint32_t> seventeen = sixteen;
    seventeen.push_back(sixteen[0]);
    const DecodedPicture partly = indexed(8, {CLEAR, RED, 0x80C02030}, "012", true);
    DecodedPicture everyEntry = indexed(8, fullTable(), std::string(256, '0'), true);
    for (int i = 0; i < 256; ++i)
        everyEntry.indices[i] = (uint8_t)i;
    everyEntry.width = everyEntry.height = 16;
    DecodedPicture strip = fullColour(std::string(256, 'W'));
    strip.pixels = paletteStrip();
    const DecodedPicture halo = fullColour("WWnWWW WnKKgW nKRRKn WgKKnW WWWnWW", true);
    const DecodedPicture haloAsPng = fullColour("WWnWWW WnKKgW nKRRKn WgKKnW WWWnWW");
    const DecodedPicture ring = fullColour("WWWWWW WKKKWW WKWWKW WKWWKW WKKKKW WWWWWW");
    const DecodedPicture pockets = fullColour("WWWWWWW WKKWKKW WKKKKKW WWKKKWW WKKKKKW WKKWKKW WWWWWWW");
    const DecodedPicture cross = fullColour("WWKWW WWKWW KKKKK WWKWW WWKWW");
    const DecodedPicture edge = fullColour("WWWWW KKKKW WWWKW KKKKW WWWWW");
    const DecodedPicture buttons = fullColour("WWWWW WRRRW WRWRW WRRRW WWWWW");
    const DecodedPicture noisyCorners = fullColour("WWn WKW nWW", true);
    const DecodedPicture differ = fullColour("WK KW");
    const DecodedPicture nothing = fullColour("-- --");
    const DecodedPicture full = buttonInAFullTable();
    std::string border = std::string(18, '.');
    for (int y = 1; y < 17; ++y)
        border += "." + std::string(16, '#') + ".";
    border += std::string(18, '.');

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
        {"partly transparent in use", partly, AS_SAID, fullCel({CLEAR, RED, 0x80C02030}, true)},
        {"every entry shows", everyEntry, AS_SAID, fullCel(fullTable(), false)},
        {"nothing shows", nothing, AS_SAID, indexedCel(4, {0}, "0000")},
        {"palette strip", strip, AS_SAID, fullCel(paletteStrip(), false, {}, 24), {}, true},
        {"entry past the table", indexed(8, kwr, "0", false), {TRANSPARENT_ENTRY, 3}, {},
         {TRANSPARENT_NO_ENTRY, 3, 2}},
        {"entry of no table", differ, {TRANSPARENT_ENTRY, 1}, {}, {TRANSPARENT_NO_TABLE, 1}},

        // The background reached from the corners.
        {"buttons take a free entry", indexed(8, kwr, "11111 12221 12121 12221 11111", false), CORNER,
         indexedCel(8, {WHITE, BLACK, RED, WHITE}, "00000 02220 02320 02220 00000",
             {{NOTE_SWAPPED, 1}, {NOTE_BACKGROUND_CLEARED, 16, 1}})},
        {"no entry free for the button", full, CORNER,
         fullCel(clearedWhere(spreadOf(full), border), true, {{NOTE_BACKGROUND_CLEARED, 68, 1}})},
        {"full-colour buttons stay", buttons, CORNER,
         fullCel(clearedWhere(buttons.pixels, "..... .###. .###. .###. ....."), true, {{NOTE_BACKGROUND_CLEARED, 16, 1}})},
        {"jpeg halo", halo, CORNER,
         fullCel(clearedWhere(halo.pixels, "...... ..###. .####. .###.. ......"), true, {{NOTE_BACKGROUND_CLEARED, 20, 0}})},
        {"png is exact", haloAsPng, CORNER, fullCel(clearedWhere(haloAsPng.pixels, "..#... .####. ###### .####. ...#.."), true)},
        {"jpeg corners a little apart", noisyCorners, CORNER,
         fullCel(clearedWhere(noisyCorners.pixels, "... .#. ..."), true, {{NOTE_BACKGROUND_CLEARED, 8, 0}})},
        {"ring, no diagonal steps", ring, CORNER,
         fullCel(clearedWhere(ring.pixels, "...... .###.. .####. .####. .####. ......"), true,
                 {{NOTE_BACKGROUND_CLEARED, 21, 4}})},
        {"pockets from every side", pockets, CORNER,
         fullCel(clearedWhere(pockets.pixels, "....... .##.##. .#####. ..###.. .#####. .##.##. ......."), true)},
        {"every corner fills", cross, CORNER, fullCel(clearedWhere(cross.pixels, "..#.. ..#.. ##### ..#.. ..#.."), true)},
        {"rows do not wrap", edge, CORNER,
         fullCel(clearedWhere(edge.pixels, "..... ####. ####. ####. ....."), true, {{NOTE_BACKGROUND_CLEARED, 13, 3}})},
        {"corners differ", differ, CORNER, fullCel(differ.pixels, false, {{NOTE_CORNERS_DIFFER, 0}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DecodedPicture picture = row.picture;
        CelChoice chosen;
        PictureProblem problem;
        EXPECT_EQ(chooseCel(&picture, row.choice, row.paletteMode, &chosen, &problem),
                  row.problem.code == PICTURE_READ);
        EXPECT_EQ(problem.code, row.problem.code);
        EXPECT_EQ(problem.number, row.problem.number);
        EXPECT_EQ(problem.second, row.problem.second);
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
