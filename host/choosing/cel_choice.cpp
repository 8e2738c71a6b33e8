#include "cel_choice.h"

#include <algorithm>

enum { MOST_ENTRIES = 256, FOUR_BIT_ENTRIES = 16, PALETTE_STRIP_WIDTH = 256 };

// The four corners, when they share one value.
template <typename Value>
static bool sharedCorner(const std::vector<Value>& pixels, int32_t width, int32_t height, Value* corner)
{
    if (width < 2 || height < 2)
        return false;
    const size_t last = (size_t)(height - 1) * width;
    *corner = pixels[0];
    return pixels[width - 1] == *corner && pixels[last] == *corner && pixels[last + width - 1] == *corner;
}

static void keepFullColour(DecodedPicture* picture, CelChoice* cel)
{
    cel->depth = 32;
    cel->pixels.swap(picture->pixels);
    cel->transparent = std::any_of(cel->pixels.begin(), cel->pixels.end(),
                                   [](uint32_t pixel) { return alphaOf(pixel) != 255; });
    if (std::all_of(cel->pixels.begin(), cel->pixels.end(), [](uint32_t pixel) { return alphaOf(pixel) == 0; })) {
        // Nothing shows: a cel of colour 0 says so, where a 32-bit cel whose
        // alpha is 0 everywhere would be taken for one without alpha.
        cel->depth = 4;
        cel->colours.assign(1, 0);
        cel->indices.assign(cel->pixels.size(), 0);
        cel->pixels.clear();
        cel->transparent = false;
    }
}

// What --transparent says of a full-colour picture: its corners' colour
// transparent, or (with no choice) a note where they share a colour that shows.
static int chooseFullColourTransparency(DecodedPicture* picture, const TransparencyChoice& choice, std::vector<CelNote>* notes,
                                        PictureProblem* problem)
{
    if (choice.rule == TRANSPARENT_ENTRY) {
        return refuse(problem, TRANSPARENT_NO_TABLE, choice.entry);
    }
    uint32_t corner = 0;
    const bool cornersShared = sharedCorner(picture->pixels, picture->width, picture->height, &corner);
    if (choice.rule == TRANSPARENT_CORNER) {
        if (!cornersShared)
            notes->push_back({NOTE_CORNERS_DIFFER, 0});
        else
            for (uint32_t& pixel : picture->pixels)
                if (pixel == corner)
                    pixel &= ~FULLY_OPAQUE;
    } else if (!picture->saysTransparency && cornersShared) {
        notes->push_back({NOTE_CORNER_COLOUR, 0});
    }
    return 1;
}

// The colour table's pixels as full colour, `transparent` entries with alpha 0.
static void spreadIndices(DecodedPicture* picture, const std::vector<uint32_t>& colours,
                          const std::vector<bool>& transparent)
{
    picture->pixels.resize(picture->indices.size());
    for (size_t i = 0; i < picture->indices.size(); ++i) {
        const uint8_t index = picture->indices[i];
        picture->pixels[i] = transparent[index] ? colours[index] & ~FULLY_OPAQUE : colours[index];
    }
    picture->indices.clear();
    picture->indexBits = 0;
}

// Which entries of an indexed picture's colour table are transparent, and
// a note on its corners where there is one to make.
static int findTransparentEntries(const DecodedPicture& picture, const TransparencyChoice& choice,
                                  std::vector<bool>* transparent, std::vector<CelNote>* notes, PictureProblem* problem)
{
    transparent->assign(MOST_ENTRIES, false);
    if (picture.saysTransparency)
        for (size_t i = 0; i < picture.colours.size(); ++i)
            (*transparent)[i] = alphaOf(picture.colours[i]) == 0;
    else if (choice.rule == TRANSPARENT_AS_SAID)
        (*transparent)[0] = true;
    uint8_t corner = 0;
    const bool cornersShared = sharedCorner(picture.indices, picture.width, picture.height, &corner);
    if (choice.rule == TRANSPARENT_ENTRY) {
        if (choice.entry < 0 || (size_t)choice.entry >= std::max<size_t>(picture.colours.size(), 1)) {
            return refuse(problem, TRANSPARENT_NO_ENTRY, choice.entry,
                          (int64_t)std::max<size_t>(picture.colours.size(), 1) - 1);
        }
        (*transparent)[choice.entry] = true;
    } else if (choice.rule == TRANSPARENT_CORNER && cornersShared) {
        (*transparent)[corner] = true;
    } else if (choice.rule == TRANSPARENT_CORNER) {
        notes->push_back({NOTE_CORNERS_DIFFER, 0});
        if (!picture.saysTransparency)
            (*transparent)[0] = true;
    } else if (!picture.saysTransparency && cornersShared && corner != 0) {
        notes->push_back({NOTE_CORNER_ENTRY, corner});
    }
    return 1;
}

static int chooseIndexed(DecodedPicture* picture, const TransparencyChoice& choice, CelChoice* cel,
                         PictureProblem* problem)
{
    std::vector<uint32_t> colours = picture->colours;
    colours.resize(MOST_ENTRIES, FULLY_OPAQUE);  // entries past the table's end are opaque black
    std::vector<size_t> used(MOST_ENTRIES, 0);
    for (uint8_t index : picture->indices)
        ++used[index];
    std::vector<bool> transparent;
    if (!findTransparentEntries(*picture, choice, &transparent, &cel->notes, problem))
        return 0;

    // Partly transparent colours in use: only a 32-bit cel keeps them.
    for (int i = 0; i < MOST_ENTRIES; ++i)
        if (used[i] > 0 && !transparent[i] && alphaOf(colours[i]) != 255 && picture->saysTransparency) {
            spreadIndices(picture, colours, transparent);
            keepFullColour(picture, cel);
            return 1;
        }

    // Where each entry goes: the first transparent entry in use changes
    // places with entry 0, the others join it; with nothing transparent in
    // use, a visible colour 0 moves to the first free entry.
    std::vector<int> to(MOST_ENTRIES);
    for (int i = 0; i < MOST_ENTRIES; ++i)
        to[i] = i;
    int firstTransparent = -1;
    for (int i = 0; i < MOST_ENTRIES; ++i)
        if (used[i] > 0 && transparent[i]) {
            if (firstTransparent < 0)
                firstTransparent = i;
            to[i] = 0;
        }
    if (firstTransparent > 0) {
        to[0] = firstTransparent;  // entry 0 is not a transparent one in use, or it would be the first
        std::swap(colours[0], colours[firstTransparent]);
        cel->notes.insert(cel->notes.begin(), {NOTE_SWAPPED, firstTransparent});
    } else if (firstTransparent < 0 && used[0] > 0) {
        int free = 1;
        while (free < MOST_ENTRIES && used[free] > 0)
            ++free;
        if (free == MOST_ENTRIES) {  // every entry shows: no room for a transparent colour 0
            spreadIndices(picture, colours, transparent);
            keepFullColour(picture, cel);
            return 1;
        }
        to[0] = free;
        colours[free] = colours[0];
        cel->notes.insert(cel->notes.begin(), {NOTE_MOVED, free});
    }

    int highest = 0;
    for (uint8_t& index : picture->indices) {
        index = (uint8_t)to[index];
        highest = std::max<int>(highest, index);
    }
    const size_t tableEntries = std::max<size_t>(picture->colours.size(), (size_t)highest + 1);
    cel->depth = picture->indexBits <= 4 && highest < FOUR_BIT_ENTRIES ? 4 : 8;
    colours.resize(std::min<size_t>(tableEntries, cel->depth == 4 ? FOUR_BIT_ENTRIES : MOST_ENTRIES));
    cel->colours.swap(colours);
    cel->indices.swap(picture->indices);
    return 1;
}

// A strip of 256 x 1 opaque pixels, as palette mode takes it.
static bool takeAsPaletteStrip(DecodedPicture* picture, CelChoice* cel)
{
    if (picture->width != PALETTE_STRIP_WIDTH || picture->height != 1)
        return false;
    std::vector<uint32_t> pixels(picture->width);
    for (int32_t x = 0; x < picture->width; ++x) {
        const size_t index = picture->indexBits != 0 ? picture->indices[x] : 0;
        if (picture->indexBits != 0 && index >= picture->colours.size())
            pixels[x] = FULLY_OPAQUE;  // an entry past the table's end is opaque black
        else
            pixels[x] = picture->indexBits != 0 ? picture->colours[index] : picture->pixels[x];
        if (alphaOf(pixels[x]) != 255 && (picture->indexBits == 0 || picture->saysTransparency))
            return false;
    }
    cel->depth = 24;
    cel->pixels.swap(pixels);
    return true;
}

int toFullColour(DecodedPicture* picture, const TransparencyChoice& choice, std::vector<CelNote>* notes,
                 PictureProblem* problem)
{
    if (picture->indexBits == 0)
        return chooseFullColourTransparency(picture, choice, notes, problem);
    std::vector<uint32_t> colours = picture->colours;
    colours.resize(MOST_ENTRIES, FULLY_OPAQUE);  // entries past the table's end are opaque black
    std::vector<bool> transparent;
    if (!findTransparentEntries(*picture, choice, &transparent, notes, problem))
        return 0;
    spreadIndices(picture, colours, transparent);
    return 1;
}

int chooseCel(DecodedPicture* picture, const TransparencyChoice& choice, bool paletteMode, CelChoice* cel,
              PictureProblem* problem)
{
    *cel = CelChoice();
    if (paletteMode && choice.rule == TRANSPARENT_AS_SAID && takeAsPaletteStrip(picture, cel))
        return 1;
    if (picture->indexBits != 0)
        return chooseIndexed(picture, choice, cel, problem);
    if (!chooseFullColourTransparency(picture, choice, &cel->notes, problem))
        return 0;
    keepFullColour(picture, cel);
    return 1;
}
