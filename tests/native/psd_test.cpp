// The layered document reader through its interface, on documents made here
// by the test writer (tests/shared/psd_writer.h): the compressions and
// depths, the composing of parts (groups, opacity, masks, clipping, what is
// left out), names, the merged picture, and every refusal. Expected pixels
// are worked out here in floating point, not by the reader's arithmetic.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <algorithm>
#include <functional>

#include "../../host/pictures/psd_compose.h"
#include "../../host/pictures/psd_document.h"
#include "../../host/pictures/psd_format.h"
#include "../../host/pictures/psd_merged.h"
#include "../shared/psd_writer.h"

namespace {

const uint32_t RED = 0xFFFF0000u, BLUE = 0xFF0000FFu, GREEN = 0xFF00FF00u;

// A colour with alpha in 0..1, colours 0..255: the test's own blending.
struct Colour {
    double r = 0, g = 0, b = 0, a = 0;
};
Colour colourOf(uint32_t pixel, double alphaTimes = 1)
{
    return {double(pixel >> 16 & 255), double(pixel >> 8 & 255), double(pixel & 255),
            (pixel >> 24) / 255.0 * alphaTimes};
}
Colour over(const Colour& under, const Colour& top)
{
    const double a = top.a + under.a * (1 - top.a);
    if (a == 0)
        return {};
    auto mix = [&](double t, double u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    return {mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), a};
}

std::vector<uint32_t> solid(int count, uint32_t pixel) { return std::vector<uint32_t>(count, pixel); }

struct Read {
    std::vector<uint8_t> file;
    PsdDocument document;
    PsdProblem problem;
    int64_t detail = 0;
};
Read readDocument(const PsdTestDocument& description)
{
    Read read;
    read.file = writePsd(description);
    read.problem = readPsdDocument(read.file.data(), read.file.size(), &read.document, &read.detail);
    return read;
}

PsdPartPicture composed(const Read& read, size_t part)
{
    PsdPartPicture picture;
    int64_t detail;
    EXPECT_EQ(composePsdPart(read.file.data(), read.file.size(), read.document, part, &picture, &detail), PSD_OK);
    EXPECT_TRUE(picture.picture.saysTransparency);
    EXPECT_EQ(picture.picture.pixels.size(), (size_t)picture.picture.width * picture.picture.height);
    return picture;
}

// Within one step of rounding of the expected colour; a transparent pixel is 0.
void expectPixel(uint32_t pixel, const Colour& want, const std::string& where)
{
    const long alpha = lround(want.a * 255);
    if (alpha == 0) {
        EXPECT_EQ(pixel, 0u) << where;
        return;
    }
    const double got[] = {double(pixel >> 24), double(pixel >> 16 & 255), double(pixel >> 8 & 255),
                          double(pixel & 255)};
    const double wanted[] = {want.a * 255, want.r, want.g, want.b};
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(got[c], wanted[c], 1.0) << where << ", channel " << c << " of " << std::hex << pixel;
}

// ---------------------------------------------------------------------------
// Compressions and depths: one layer, partly off the canvas, with
// transparent pixels, comes back as it was (16 bits rounded to 8), cut to
// the canvas and to what shows.

struct StoredRow {
    int compression, depth;
    bool grey;
};

const StoredRow storedRows[] = {{0, 8, false}, {1, 8, false}, {2, 8, false}, {3, 8, false}, {0, 16, false},
                                {1, 16, false}, {2, 16, false}, {3, 16, false}, {1, 8, true},  {3, 16, true}};

void expectStoredAsItWas(const StoredRow& row)
{
    const int width = 6, height = 3;
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)  // a gradient; the first row and last column transparent
            pixels.push_back((y == 0 || x == width - 1 ? 0 : (uint32_t)(40 * x + 10 * y) << 24) |
                             (uint32_t)(30 * x) << 16 | (uint32_t)(7 * y + 200) << 8 | (uint32_t)(x == 2 ? 0 : 255));
    PsdTestLayer layer = psdTestLayer("layer", -2, 1, width, height, pixels, row.grey);
    layer.compression = row.compression;
    // 16 bits: samples with low bytes that matter to the rounding.
    if (row.depth == 16)
        for (PsdTestChannel& channel : layer.channels)
            for (size_t i = 0; i < channel.samples.size(); ++i)
                if (channel.samples[i] != 0)  // 0 stays 0, so that transparent stays transparent
                    channel.samples[i] = (uint16_t)(channel.samples[i] << 8 | (channel.samples[i] * 37 + i * 91) % 256);
    PsdTestDocument description;
    description.width = 4, description.height = 5, description.depth = row.depth, description.mode = row.grey ? 1 : 3;
    description.layers = {layer};
    description.layersInGlobalBlock = row.depth == 16;  // as the document's program keeps 16-bit layers
    const Read read = readDocument(description);
    ASSERT_EQ(read.problem, PSD_OK);
    const PsdPartPicture part = composed(read, 0);

    // Canvas columns 0..3 are layer columns 2..5, rows 1..3 layer rows 0..2;
    // layer column 5 and row 0 are transparent: what shows is canvas x 0..2,
    // y 2..3.
    ASSERT_EQ(part.x, 0);
    ASSERT_EQ(part.y, 2);
    ASSERT_EQ(part.picture.width, 3);
    ASSERT_EQ(part.picture.height, 2);
    auto sample = [&](int c, int x, int y) {
        const double v = layer.channels[c].samples[y * width + x];
        return row.depth == 16 ? floor(v / 256) : v;  // the top byte, as a 16-bit PNG is read
    };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const int lx = x + 2, ly = y + 1;
            const Colour want = row.grey ? Colour{sample(0, lx, ly), sample(0, lx, ly), sample(0, lx, ly),
                                                  sample(1, lx, ly) / 255}
                                         : Colour{sample(0, lx, ly), sample(1, lx, ly), sample(2, lx, ly),
                                                  sample(3, lx, ly) / 255};
            const uint32_t got = part.picture.pixels[y * 3 + x];
            const uint32_t exact = (uint32_t)lround(want.a * 255) << 24 | (uint32_t)want.r << 16 |
                                   (uint32_t)want.g << 8 | (uint32_t)want.b;
            EXPECT_EQ(got, exact) << "x " << x << " y " << y;
        }
}

TEST(PsdStored, ALayerComesBackAsItWasStoredWhateverTheCompression)
{
    for (const StoredRow& row : storedRows) {
        SCOPED_TRACE("compression " + std::to_string(row.compression) + ", " + std::to_string(row.depth) + " bits" +
                     (row.grey ? ", grey" : ""));
        expectStoredAsItWas(row);
    }
}

// ---------------------------------------------------------------------------
// Composing: each row a small document, the part it composes, and the
// expected picture, worked out pixel by pixel here.

struct ComposeRow {
    const char* name;
    std::function<PsdTestDocument()> document;
    size_t parts;                          // how many the document has
    size_t part;                           // the one composed
    int x, y, width, height;               // of its picture
    std::function<Colour(int x, int y)> expected;  // at canvas x, y
    std::vector<PsdNote> notes;
    bool hidden = false;
};

PsdTestDocument canvasOf(std::vector<PsdTestLayer> layers)
{
    PsdTestDocument document;
    document.width = 4, document.height = 2;
    document.layers = std::move(layers);
    return document;
}
PsdTestLayer with(PsdTestLayer layer, std::function<void(PsdTestLayer&)> change)
{
    change(layer);
    return layer;
}
PsdTestLayer solidLayer(const char* name, int left, int width, uint32_t pixel)
{
    return psdTestLayer(name, left, 0, width, 1, solid(width, pixel));
}
// A mask over x 1..2 of row 0, with these values.
PsdTestLayer masked(PsdTestLayer layer, uint8_t atOne, uint8_t atTwo, uint8_t defaultColour, uint8_t flags,
                    bool besideVector = false)
{
    layer.hasMask = true;
    layer.mask = {0, 1, 1, 3, defaultColour, flags, besideVector};
    layer.channels.push_back({(int16_t)(besideVector ? -3 : -2), {atOne, atTwo}});
    if (besideVector)  // the vector mask's own rendering, which is not drawn
        layer.channels.push_back({-2, {}});
    return layer;
}
Colour at(uint32_t pixel, double alpha = 1) { return colourOf(pixel, alpha); }

const ComposeRow composeRows[] = {
    {"opacity", [] { return canvasOf({with(solidLayer("a", 0, 2, RED), [](auto& l) { l.opacity = 128; })}); }, 1, 0,
     0, 0, 2, 1, [](int, int) { return at(RED, 128 / 255.0); }},
    {"fill and opacity multiply",
     [] { return canvasOf({with(solidLayer("a", 0, 2, RED), [](auto& l) { l.opacity = 128, l.fillOpacity = 128; })}); },
     1, 0, 0, 0, 2, 1, [](int, int) { return at(RED, 128 / 255.0 * 128 / 255.0); }},
    {"a group with its opacity over its members composed on their own",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 2, RED), solidLayer("blue", 1, 2, 0x800000FFu),
                          psdTestGroup("group", 128)});
     },
     1, 0, 0, 0, 3, 1,
     [](int x, int) {
         Colour inside;
         if (x < 2)
             inside = over(inside, at(RED));
         if (x > 0)
             inside = over(inside, at(0x800000FFu));
         inside.a *= 128 / 255.0;
         return inside;
     }},
    {"nested groups, the inner one's opacity applied to it alone",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 2, RED), psdTestDivider(),
                          solidLayer("blue", 0, 2, BLUE), psdTestGroup("inner", 128), psdTestGroup("outer")});
     },
     1, 0, 0, 0, 2, 1, [](int, int) { return over(at(RED), at(BLUE, 128 / 255.0)); }},
    {"a hidden layer and a hidden group inside a part are left out",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 2, RED),
                          with(solidLayer("blue", 0, 4, BLUE), [](auto& l) { l.hidden = true; }), psdTestDivider(),
                          solidLayer("green", 0, 4, GREEN), psdTestGroup("hidden", 255, true),
                          psdTestGroup("outer")});
     },
     1, 0, 0, 0, 2, 1, [](int, int) { return at(RED); }, {{2, PSD_NOTE_HIDDEN}, {5, PSD_NOTE_HIDDEN}}},
    {"a hidden top-level layer is a part, composed as if visible",
     [] {
         return canvasOf({solidLayer("red", 0, 1, RED), with(solidLayer("blue", 1, 2, BLUE), [](auto& l) {
                              l.hidden = true;
                          })});
     },
     2, 1, 1, 0, 2, 1, [](int, int) { return at(BLUE); }, {}, true},
    {"a mask multiplies alpha, and hides all outside its rect",
     [] { return canvasOf({masked(solidLayer("a", 0, 4, RED), 255, 64, 0, 0)}); }, 1, 0, 1, 0, 2, 1,
     [](int x, int) { return at(RED, x == 1 ? 1 : 64 / 255.0); }},
    {"a mask of default colour 255 shows all outside its rect",
     [] { return canvasOf({masked(solidLayer("a", 0, 4, RED), 0, 64, 255, 0)}); }, 1, 0, 0, 0, 4, 1,
     [](int x, int) { return at(RED, x == 1 ? 0 : x == 2 ? 64 / 255.0 : 1); }},
    {"a disabled mask is ignored",
     [] { return canvasOf({masked(solidLayer("a", 0, 4, RED), 0, 0, 0, 2)}); }, 1, 0, 0, 0, 4, 1,
     [](int, int) { return at(RED); }},
    {"of a vector mask and a pixel mask, the pixel one",
     [] { return canvasOf({masked(solidLayer("a", 0, 4, RED), 255, 64, 0, 0, true)}); }, 1, 0, 1, 0, 2, 1,
     [](int x, int) { return at(RED, x == 1 ? 1 : 64 / 255.0); }},
    {"a group's mask",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 4, RED), masked(psdTestGroup("g"), 255, 64, 0, 0)});
     },
     1, 0, 1, 0, 2, 1, [](int x, int) { return at(RED, x == 1 ? 1 : 64 / 255.0); }},
    {"clipped layers show within their base's alpha, with the base's opacity",
     [] {
         return canvasOf({with(psdTestLayer("base", 0, 0, 3, 1, {RED, 0x80FF0000u, 0}), [](auto& l) { l.opacity = 128; }),
                          with(solidLayer("clipped", 0, 4, 0xC00000FFu), [](auto& l) { l.clipped = true; })});
     },
     1, 0, 0, 0, 2, 1,
     [](int x, int) {
         const double shape = x == 0 ? 1 : 128 / 255.0;
         Colour c = over(at(RED), at(0xC00000FFu));  // within the shape, as if the base were opaque
         c.a *= shape * 128 / 255.0;
         return c;
     }},
    {"a base of fill 0 shows only its clipped layers, in its shape",
     [] {
         return canvasOf({with(psdTestLayer("base", 0, 0, 2, 1, {RED, 0x80FF0000u}), [](auto& l) { l.fillOpacity = 0; }),
                          with(solidLayer("clipped", 0, 4, BLUE), [](auto& l) { l.clipped = true, l.opacity = 128; })});
     },
     1, 0, 0, 0, 2, 1, [](int x, int) { return at(BLUE, 128 / 255.0 * (x == 0 ? 1 : 128 / 255.0)); }},
    {"layers clipped to a hidden base are left out with it",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 1, RED),
                          with(solidLayer("base", 0, 4, GREEN), [](auto& l) { l.hidden = true; }),
                          with(solidLayer("clipped", 0, 4, BLUE), [](auto& l) { l.clipped = true; }),
                          psdTestGroup("g")});
     },
     1, 0, 0, 0, 1, 1, [](int, int) { return at(RED); }, {{2, PSD_NOTE_HIDDEN}, {3, PSD_NOTE_BASE_NOT_DRAWN}}},
    {"other blend modes drawn as normal, effects not drawn, adjustment layers left out",
     [] {
         return canvasOf({psdTestDivider(), solidLayer("red", 0, 2, RED),
                          with(solidLayer("multiply", 1, 1, BLUE), [](auto& l) { l.blendMode = "mul "; }),
                          with(solidLayer("levels", 0, 4, GREEN), [](auto& l) { l.blocks = {{"levl", {0, 2}}}; }),
                          with(solidLayer("shadow", 0, 1, GREEN), [](auto& l) {
                              l.blocks = {{"lfx2", {0, 0, 0, 0}}};
                          }),
                          psdTestGroup("g")});
     },
     1, 0, 0, 0, 2, 1, [](int x, int) { return at(x == 0 ? GREEN : BLUE); },
     {{2, PSD_NOTE_BLEND_MODE}, {3, PSD_NOTE_ADJUSTMENT}, {4, PSD_NOTE_EFFECTS}}},
    {"a top-level layer clipped to the one below is in that one's part",
     [] {
         return canvasOf({solidLayer("red", 0, 1, RED), solidLayer("base", 1, 2, RED),
                          with(solidLayer("clipped", 0, 4, BLUE), [](auto& l) { l.clipped = true; })});
     },
     2, 1, 1, 0, 2, 1, [](int, int) { return at(BLUE); }},
    {"a top-level adjustment layer is a part of nothing",
     [] { return canvasOf({with(solidLayer("levels", 0, 4, GREEN), [](auto& l) { l.blocks = {{"levl", {0, 2}}}; })}); },
     1, 0, 0, 0, 0, 0, nullptr, {{0, PSD_NOTE_ADJUSTMENT}}},
};

TEST(PsdCompose, EveryRowComposesAsExpected)
{
    for (const ComposeRow& row : composeRows) {
        SCOPED_TRACE(row.name);
        const Read read = readDocument(row.document());
        ASSERT_EQ(read.problem, PSD_OK);
        ASSERT_EQ(read.document.parts.size(), row.parts);
        const PsdPart& part = read.document.parts[row.part];
        EXPECT_EQ(part.hidden, row.hidden);
        ASSERT_EQ(part.notes.size(), row.notes.size());
        for (size_t n = 0; n < row.notes.size(); ++n) {
            EXPECT_EQ(part.notes[n].layer, row.notes[n].layer);
            EXPECT_EQ(part.notes[n].kinds, row.notes[n].kinds);
        }
        const PsdPartPicture picture = composed(read, row.part);
        ASSERT_EQ(picture.picture.width, row.width);
        ASSERT_EQ(picture.picture.height, row.height);
        if (row.width == 0)
            continue;
        EXPECT_EQ(picture.x, row.x);
        EXPECT_EQ(picture.y, row.y);
        for (int y = 0; y < row.height; ++y)
            for (int x = 0; x < row.width; ++x)
                expectPixel(picture.picture.pixels[y * row.width + x], row.expected(row.x + x, row.y + y),
                            "at " + std::to_string(row.x + x) + ", " + std::to_string(row.y + y));
    }
}

// ---------------------------------------------------------------------------
// Names.

TEST(PsdNames, UnicodeNamesAsWideTextAndPascalNamesAsTheirBytes)
{
    PsdTestLayer unicode = solidLayer("ignored", 0, 1, RED);
    unicode.unicodeName = u"\u9854\U0001F380";  // 顔 and a ribbon, a surrogate pair
    unicode.unicodeName.push_back(0);           // as some writers end it
    const PsdTestLayer pascal = solidLayer("\x8A\xE7 face", 0, 1, RED);  // code page 932 bytes
    const Read read = readDocument(canvasOf({unicode, pascal}));
    ASSERT_EQ(read.problem, PSD_OK);
    const PsdLayer& first = read.document.layers[0];
    EXPECT_TRUE(first.hasUnicodeName);
    const std::wstring wanted = sizeof(wchar_t) == 2 ? std::wstring{(wchar_t)0x9854, (wchar_t)0xD83C, (wchar_t)0xDF80}
                                                     : std::wstring{(wchar_t)0x9854, (wchar_t)0x1F380};
    EXPECT_TRUE(first.unicodeName == wanted);
    EXPECT_FALSE(read.document.layers[1].hasUnicodeName);
    EXPECT_EQ(read.document.layers[1].pascalName, "\x8A\xE7 face");
}

// ---------------------------------------------------------------------------
// The merged picture.

TEST(PsdMerged, OpaqueAndTransparentMergedPictures)
{
    for (int compression : {0, 1}) {
        SCOPED_TRACE(compression);
        PsdTestDocument description = canvasOf({solidLayer("a", 0, 1, RED)});
        description.mergedCompression = compression;
        // As the document's program stores it, laid over white where not
        // opaque: red at alpha 128 as 255, 127, 127; a transparent pixel white.
        description.merged = {{255, 255, 255, 10}, {0, 127, 255, 20}, {0, 127, 255, 30}, {255, 128, 0, 255}};
        description.mergedTransparency = true;
        description.channels = 4;
        description.width = 4, description.height = 1;
        Read read = readDocument(description);
        ASSERT_EQ(read.problem, PSD_OK);
        DecodedPicture picture;
        int64_t detail;
        ASSERT_EQ(readPsdMergedPicture(read.file.data(), read.file.size(), read.document, &picture, &detail), PSD_OK);
        EXPECT_TRUE(picture.saysTransparency);
        ASSERT_EQ(picture.pixels.size(), 4u);
        expectPixel(picture.pixels[0], at(RED), "opaque");
        expectPixel(picture.pixels[1], at(RED, 128 / 255.0), "half");
        EXPECT_EQ(picture.pixels[2], 0u);
        EXPECT_EQ(picture.pixels[3], 0xFF0A141Eu);

        // As other writers store it: the colours as they are (a transparent
        // pixel that is not white shows it).
        description.merged[1][2] = 0;
        read = readDocument(description);
        ASSERT_EQ(readPsdMergedPicture(read.file.data(), read.file.size(), read.document, &picture, &detail), PSD_OK);
        EXPECT_EQ(picture.pixels[1], 0x80FF7F7Fu);

        description.mergedTransparency = false;  // the fourth channel is then a saved selection
        read = readDocument(description);
        ASSERT_EQ(readPsdMergedPicture(read.file.data(), read.file.size(), read.document, &picture, &detail), PSD_OK);
        EXPECT_FALSE(picture.saysTransparency);
        EXPECT_EQ(picture.pixels[1], 0xFFFF7F7Fu);
    }
}

TEST(PsdMerged, NoUsableMergedPicture)
{
    PsdTestDocument description = canvasOf({solidLayer("a", 0, 1, RED)});
    description.mergedIsReal = false;
    const Read notReal = readDocument(description);
    description.mergedIsReal = true;
    description.mergedCompression = 2;
    const Read zip = readDocument(description);
    DecodedPicture picture;
    int64_t detail;
    EXPECT_EQ(readPsdMergedPicture(notReal.file.data(), notReal.file.size(), notReal.document, &picture, &detail),
              PSD_NO_MERGED_PICTURE);
    EXPECT_EQ(readPsdMergedPicture(zip.file.data(), zip.file.size(), zip.document, &picture, &detail),
              PSD_COMPRESSION);
    EXPECT_EQ(detail, 2);
}

// ---------------------------------------------------------------------------
// Refusals.

void put16(std::vector<uint8_t>* file, size_t at, unsigned v) { (*file)[at] = (uint8_t)(v >> 8), (*file)[at + 1] = (uint8_t)v; }
void put32(std::vector<uint8_t>* file, size_t at, uint32_t v) { put16(file, at, v >> 16), put16(file, at + 2, v & 0xFFFF); }

struct RefusalRow {
    const char* name;
    std::function<std::vector<uint8_t>()> file;
    PsdProblem problem;
    int64_t detail;
};

std::vector<uint8_t> smallDocument() { return writePsd(canvasOf({solidLayer("a", 0, 2, RED)})); }
std::vector<uint8_t> changed(std::function<void(std::vector<uint8_t>*)> change)
{
    std::vector<uint8_t> file = smallDocument();
    change(&file);
    return file;
}

const RefusalRow refusalRows[] = {
    {"not a document", [] { return std::vector<uint8_t>{'8', 'B', 'P', 'X', 0, 1}; }, PSD_NOT_A_DOCUMENT, 0},
    {"a large document", [] { return changed([](auto* f) { put16(f, 4, 2); }); }, PSD_LARGE_DOCUMENT_FORMAT, 2},
    {"bitmap", [] { return changed([](auto* f) { put16(f, 24, 0); }); }, PSD_COLOUR_MODE, 0},
    {"indexed", [] { return changed([](auto* f) { put16(f, 24, 2); }); }, PSD_COLOUR_MODE, 2},
    {"CMYK", [] { return changed([](auto* f) { put16(f, 24, 4); }); }, PSD_COLOUR_MODE, 4},
    {"multichannel", [] { return changed([](auto* f) { put16(f, 24, 7); }); }, PSD_COLOUR_MODE, 7},
    {"duotone", [] { return changed([](auto* f) { put16(f, 24, 8); }); }, PSD_COLOUR_MODE, 8},
    {"Lab", [] { return changed([](auto* f) { put16(f, 24, 9); }); }, PSD_COLOUR_MODE, 9},
    {"1 bit", [] { return changed([](auto* f) { put16(f, 22, 1); }); }, PSD_DEPTH, 1},
    {"32 bits", [] { return changed([](auto* f) { put16(f, 22, 32); }); }, PSD_DEPTH, 32},
    {"wider than the format allows", [] { return changed([](auto* f) { put32(f, 18, 30001); }); },
     PSD_CANVAS_TOO_LARGE, 30001},
    {"30000 x 30000 in a few bytes",
     [] {
         PsdTestDocument huge;
         std::vector<uint8_t> file = writePsd(huge);
         put32(&file, 14, 30000), put32(&file, 18, 30000);
         return file;
     },
     PSD_TRUNCATED, -1},
    {"a ZIP channel declaring more than deflate can give",
     [] {
         PsdTestLayer layer = solidLayer("a", 0, 3000, RED);
         layer.compression = 2;
         std::vector<uint8_t> file = writePsd(canvasOf({layer}));
         put32(&file, 52, 3000);  // the record's bottom: 3000 x 3000 from the few bytes of one row
         return file;
     },
     PSD_DAMAGED, -1},
    {"an RLE channel with fewer bytes than its rows take at least",
     [] {
         PsdTestLayer layer = solidLayer("a", 0, 256, RED);
         layer.compression = 1;  // two runs of 128: 4 bytes
         std::vector<uint8_t> file = writePsd(canvasOf({layer}));
         put32(&file, 56, 16384);  // the record's right: a row of 16384 takes 256 bytes at least
         return file;
     },
     PSD_DAMAGED, -1},
    {"a group record without its divider", [] { return writePsd(canvasOf({solidLayer("a", 0, 1, RED), psdTestGroup("g")})); },
     PSD_DAMAGED, -1},
    {"groups nested too deep",
     [] {
         std::vector<PsdTestLayer> layers(PSD_MAX_GROUP_NESTING + 1, psdTestDivider());
         layers.resize(2 * layers.size(), psdTestGroup("g"));
         return writePsd(canvasOf(layers));
     },
     PSD_GROUPS_TOO_DEEP, PSD_MAX_GROUP_NESTING},
};

TEST(PsdRefusals, EachWithItsProblem)
{
    for (const RefusalRow& row : refusalRows) {
        SCOPED_TRACE(row.name);
        const std::vector<uint8_t> file = row.file();
        PsdDocument document;
        int64_t detail = -1;
        EXPECT_EQ(readPsdDocument(file.data(), file.size(), &document, &detail), row.problem);
        if (row.detail >= 0)
            EXPECT_EQ(detail, row.detail);
        EXPECT_TRUE(document.layers.empty());
    }
}

TEST(PsdRefusals, TruncatedAtEveryByte)
{
    PsdTestLayer rle = masked(solidLayer("rle", 0, 4, 0x80FF0000u), 255, 64, 0, 0), zip = solidLayer("zip", 1, 2, BLUE);
    rle.compression = 1, zip.compression = 3;
    zip.unicodeName = u"zip";
    PsdTestDocument description = canvasOf({psdTestDivider(), rle, zip, psdTestGroup("g")});
    description.mergedCompression = 1;
    const std::vector<uint8_t> file = writePsd(description);
    PsdDocument document;
    int64_t detail;
    ASSERT_EQ(readPsdDocument(file.data(), file.size(), &document, &detail), PSD_OK);
    for (size_t size = 0; size < file.size(); ++size) {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + size);  // its own block, for valgrind
        const PsdProblem problem = readPsdDocument(cut.data(), cut.size(), &document, &detail);
        EXPECT_TRUE(problem == PSD_TRUNCATED || (size < 4 && problem == PSD_NOT_A_DOCUMENT)) << size << ": " << problem;
    }
}

TEST(PsdRefusals, RunLengthRowsThatOverrunAreDamage)
{
    // A row of four different bytes is one literal run: 03 then the bytes.
    PsdTestLayer layer = psdTestLayer("a", 0, 0, 4, 1, {0xFF010203u, 0xFF040506u, 0xFF07080Au, 0xFF0B0C0Du});
    layer.compression = 1;
    std::vector<uint8_t> file = writePsd(canvasOf({layer}));
    const uint8_t reds[] = {3, 1, 4, 7, 11};
    auto found = std::search(file.begin(), file.end(), reds, reds + 5);
    ASSERT_NE(found, file.end());
    found[0] = 4;  // five bytes where the row holds four
    PsdDocument document;
    int64_t detail;
    ASSERT_EQ(readPsdDocument(file.data(), file.size(), &document, &detail), PSD_OK);
    PsdPartPicture part;
    EXPECT_EQ(composePsdPart(file.data(), file.size(), document, 0, &part, &detail), PSD_DAMAGED);
    EXPECT_EQ(part.picture.width, 0);
}

}  // namespace
