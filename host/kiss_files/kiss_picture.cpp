#include "kiss_picture.h"

namespace {

const uint8_t OPAQUE = 255;
const uint8_t BLACK[3] = {0, 0, 0};

// Pixel i of a cel as red, green, blue, alpha: a colour number through the
// palette (colour 0 transparent, numbers past the palette black), or the
// cel's own colour.
void celPixel(const KissCel& cel, size_t i, const KissPalette* palette, int group, uint8_t rgba[4])
{
    if (cel.depth == 32) {
        for (int c = 0; c < 4; ++c)
            rgba[c] = cel.pixels[4 * i + c];
        return;
    }
    const int index = cel.pixels[i];
    const uint8_t* colour = kissColour(*palette, group, index);
    if (colour == NULL)
        colour = BLACK;
    rgba[0] = colour[0], rgba[1] = colour[1], rgba[2] = colour[2];
    rgba[3] = index == 0 ? 0 : OPAQUE;
}

// `over` on the opaque pixel `under`, by the alpha of `over`, as GnomeKiss
// blends (measured: every pixel of a doll of soft-edged 32-bit cels the
// same): the difference scaled by alpha and cut toward zero, so that a
// nearly transparent pixel leaves what is under it as it was.
void blend(const uint8_t over[4], uint8_t* under)
{
    const int alpha = over[3];
    for (int c = 0; c < 3; ++c)
        under[c] = (uint8_t)(under[c] + (over[c] - under[c]) * alpha / OPAQUE);
}

struct LoadedPalette {
    bool usable = false;
    KissPalette palette;
};

// Every palette the configuration lists, by number; those that cannot be
// read are not usable.
std::vector<LoadedPalette> loadPalettes(const KissConfiguration& cnf, const KissFetcher& fetch)
{
    std::vector<LoadedPalette> palettes(cnf.palettes.size());
    for (size_t p = 0; p < palettes.size(); ++p) {
        const KissFetched file = fetch(cnf.palettes[p].name);
        palettes[p].usable = file.status == KISS_FETCHED &&
                             readPalette(file.bytes.data(), file.bytes.size(), &palettes[p].palette).problem ==
                                 KISS_FINE;
    }
    return palettes;
}

void drawCel(const KissCel& cel, int32_t left, int32_t top, const KissPalette* palette, int group,
             KissPicture* picture)
{
    for (int32_t y = 0; y < cel.height; ++y) {
        const int64_t row = (int64_t)top + y;
        if (row < 0 || row >= picture->height)
            continue;
        for (int32_t x = 0; x < cel.width; ++x) {
            const int64_t column = (int64_t)left + x;
            if (column < 0 || column >= picture->width)
                continue;
            uint8_t rgba[4];
            celPixel(cel, (size_t)y * cel.width + x, palette, group, rgba);
            if (rgba[3] != 0)
                blend(rgba, &picture->rgba[4 * ((size_t)row * picture->width + (size_t)column)]);
        }
    }
}

}  // namespace

KissProblem celPicture(const KissCel& cel, const KissPalette* palette, int group, KissPicture* picture)
{
    if (cel.depth != 32 && palette == NULL)
        return KISS_CEL_NEEDS_PALETTE;
    // Four bytes a pixel must fit a 32-bit program's memory: a 4-bit cel of
    // 65535 x 20000 is a file of 655 MB, and its picture would be 5 GB.
    if ((int64_t)cel.width * cel.height > KISS_LARGEST_PICTURE_PIXELS)
        return KISS_PICTURE_TOO_LARGE;
    picture->width = cel.width, picture->height = cel.height;
    const size_t pixels = (size_t)cel.width * cel.height;
    picture->rgba.resize(4 * pixels);
    for (size_t i = 0; i < pixels; ++i)
        celPixel(cel, i, palette, group, &picture->rgba[4 * i]);
    return KISS_FINE;
}

KissProblem drawSet(const KissConfiguration& cnf, int set, const KissFetcher& fetch, KissPicture* picture)
{
    const int sets = cnf.sets.empty() ? 1 : (int)(cnf.sets.size() < KISS_SETS ? cnf.sets.size() : KISS_SETS);
    if (set < 0 || set >= sets)
        return KISS_NO_SUCH_SET;
    if ((int64_t)cnf.width * cnf.height > KISS_LARGEST_PICTURE_PIXELS)
        return KISS_PICTURE_TOO_LARGE;
    const KissSetLine none;
    const KissSetLine& layout = cnf.sets.empty() ? none : cnf.sets[(size_t)set];

    const std::vector<LoadedPalette> palettes = loadPalettes(cnf, fetch);
    const uint8_t* background = !palettes.empty() && palettes[0].usable
                                    ? kissColour(palettes[0].palette, layout.paletteGroup, 0)
                                    : NULL;
    if (background == NULL)
        background = BLACK;
    picture->width = cnf.width, picture->height = cnf.height;
    picture->rgba.resize(4 * (size_t)cnf.width * cnf.height);
    for (size_t i = 0; i < picture->rgba.size(); i += 4) {
        picture->rgba[i] = background[0], picture->rgba[i + 1] = background[1], picture->rgba[i + 2] = background[2];
        picture->rgba[i + 3] = OPAQUE;
    }

    for (auto line = cnf.cels.rbegin(); line != cnf.cels.rend(); ++line) {
        if ((line->sets & (1 << set)) == 0)
            continue;
        KissCel cel;
        const KissFetched file = fetch(line->name);
        if (file.status != KISS_FETCHED || readCel(file.bytes.data(), file.bytes.size(), &cel).problem != KISS_FINE)
            continue;
        const KissPalette* palette = NULL;
        if (cel.depth != 32) {
            size_t p = line->palette >= 0 && (size_t)line->palette < palettes.size() ? (size_t)line->palette : 0;
            if (p >= palettes.size() || !palettes[p].usable)
                continue;
            palette = &palettes[p].palette;
        }
        KissPosition position;
        if ((size_t)line->object < layout.positions.size())
            position = layout.positions[(size_t)line->object];
        const int32_t left = (position.given ? position.x : 0) + cel.xOffset;
        const int32_t top = (position.given ? position.y : 0) + cel.yOffset;
        drawCel(cel, left, top, palette, layout.paletteGroup, picture);
    }
    return KISS_FINE;
}
