#include "cel_choice.h"
#include "corner_fill.h"

#include <stdlib.h>

#include <algorithm>

enum { MOST_ENTRIES = 256, FOUR_BIT_ENTRIES = 16, PALETTE_STRIP_WIDTH = 256 };

// How near a colour of a lossy picture (JPEG) must be to the corners' to be
// taken for the background, as the largest difference of one channel. A
// JPEG gives a flat background back exactly away from the figure, but in
// the blocks along its outline (8 to 16 pixels wide) as a cloud of colours
// around it. Measured on a figure drawn with and without smoothing on flat
// white, pale pink, light blue, grey and green, saved at qualities 75, 85
// and 92: at 16 the fill leaves at most about 50 stray pixels apart from
// the figure at 85 and 92, and up to about 140 at 75, of some 14,000 in that
// band, where matching exactly leaves a cloud of 3,000 to 8,000 around the
// figure and a tolerance of 4 up to 750 stray pixels. Going higher takes
// those few as well, but also
// the figure's own pale colours where they touch the background without an
// outline (at 24, a light grey #E8E8E8 on white): a doll maker erases a
// stray pixel more easily than she draws a lost one again. Pictures that
// keep their colours are matched exactly.
enum { LOSSY_TOLERANCE = 16 };

// The largest difference between two colours' channels, alpha included.
static int colourDistance(uint32_t a, uint32_t b)
{
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8)
        most = std::max(most, abs((int)(a >> shift & 0xFF) - (int)(b >> shift & 0xFF)));
    return most;
}

// The four corners, in a picture at least 2 x 2.
template <typename Value>
static bool cornersOf(const std::vector<Value>& pixels, int32_t width, int32_t height, Value corners[4])
{
    if (width < 2 || height < 2)
        return false;
    const size_t last = (size_t)(height - 1) * width;
    corners[0] = pixels[0], corners[1] = pixels[width - 1], corners[2] = pixels[last];
    corners[3] = pixels[last + width - 1];
    return true;
}

// The entry of the four corners of a picture of colour indices, when they share one.
static bool sharedCorner(const DecodedPicture& picture, uint8_t* corner)
{
    uint8_t corners[4];
    if (!cornersOf(picture.indices, picture.width, picture.height, corners))
        return false;
    *corner = corners[0];
    return std::all_of(corners, corners + 4, [&](uint8_t c) { return c == *corner; });
}

// The colour of the four corners of a full-colour picture, when they share
// one: all the same, or in a lossy picture all within `tolerance` of their mean.
static bool sharedCorner(const DecodedPicture& picture, int tolerance, uint32_t* corner)
{
    uint32_t corners[4];
    if (!cornersOf(picture.pixels, picture.width, picture.height, corners))
        return false;
    *corner = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = 0;
        for (uint32_t c : corners)
            sum += c >> shift & 0xFF;
        *corner |= (sum + 2) / 4 << shift;
    }
    return std::all_of(corners, corners + 4, [&](uint32_t c) { return colourDistance(c, *corner) <= tolerance; });
}

// The background --transparent corner clears: a map of a byte a pixel
// (corner_fill.h), and how many pixels of the corners' colour the fill
// reached and did not. A picture of colour indices keeps the map only where
// the fill left pixels of the corners' entry showing.
struct Background {
    std::vector<uint8_t> map;
    FillCounts counts;
    uint8_t entry = 0;  // indexed: the corners' entry
};

template <typename Value, typename LikeCorners>
static void fillBackground(const std::vector<Value>& pixels, int32_t width, int32_t height, LikeCorners likeCorners,
                           Background* background)
{
    background->map.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        background->map[i] = likeCorners(pixels[i]) ? FILL_LIKE_CORNERS : FILL_OTHER;
    background->counts = fillFromCorners(&background->map, width, height);
}

// How many pixels the fill cleared, where that is not simply every pixel of
// the corners' colour: where some of it still shows, and in a lossy picture,
// whose background is of many colours. The counts fit: a cel's data block
// is smaller than 2^31 bytes.
static void noteBackground(const FillCounts& counts, bool lossy, std::vector<CelNote>* notes)
{
    if (counts.notReached > 0 || lossy)
        notes->push_back({NOTE_BACKGROUND_CLEARED, (int)counts.reached, (int)counts.notReached});
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

// What --transparent says of a full-colour picture: the background reached
// from its corners transparent, or (with no choice) a note where the corners
// share a colour that shows.
static int chooseFullColourTransparency(DecodedPicture* picture, const TransparencyChoice& choice, std::vector<CelNote>* notes,
                                        PictureProblem* problem)
{
    if (choice.rule == TRANSPARENT_ENTRY) {
        return refuse(problem, TRANSPARENT_NO_TABLE, choice.entry);
    }
    const int tolerance = picture->lossy ? LOSSY_TOLERANCE : 0;
    uint32_t corner = 0;
    const bool cornersShared = sharedCorner(*picture, tolerance, &corner);
    if (choice.rule == TRANSPARENT_CORNER && cornersShared) {
        if (alphaOf(corner) == 0)
            return 1;  // the picture says so already, wherever that colour is
        Background background;
        fillBackground(picture->pixels, picture->width, picture->height,
                       [&](uint32_t pixel) { return colourDistance(pixel, corner) <= tolerance; }, &background);
        for (size_t i = 0; i < picture->pixels.size(); ++i)
            if (background.map[i] == FILL_REACHED)
                picture->pixels[i] &= ~FULLY_OPAQUE;
        noteBackground(background.counts, picture->lossy, notes);
    } else if (choice.rule == TRANSPARENT_CORNER) {
        notes->push_back({NOTE_CORNERS_DIFFER, 0});
    } else if (!picture->saysTransparency && cornersShared) {
        notes->push_back({NOTE_CORNER_COLOUR, 0});
    }
    return 1;
}

// The colour table's pixels as full colour, `transparent` entries with
// alpha 0 except the pixels of the corners' entry that the background does
// not reach.
static void spreadIndices(DecodedPicture* picture, const std::vector<uint32_t>& colours,
                          const std::vector<bool>& transparent, const Background& background)
{
    picture->pixels.resize(picture->indices.size());
    for (size_t i = 0; i < picture->indices.size(); ++i) {
        const uint8_t index = picture->indices[i];
        const bool shows = !background.map.empty() && background.map[i] == FILL_LIKE_CORNERS;
        picture->pixels[i] = transparent[index] && !shows ? colours[index] & ~FULLY_OPAQUE : colours[index];
    }
    picture->indices.clear();
    picture->indexBits = 0;
}

// Which entries of an indexed picture's colour table are transparent, the
// background with --transparent corner, and a note on its corners where
// there is one to make.
static int findTransparentEntries(const DecodedPicture& picture, const TransparencyChoice& choice,
                                  std::vector<bool>* transparent, Background* background, std::vector<CelNote>* notes,
                                  PictureProblem* problem)
{
    transparent->assign(MOST_ENTRIES, false);
    if (picture.saysTransparency)
        for (size_t i = 0; i < picture.colours.size(); ++i)
            (*transparent)[i] = alphaOf(picture.colours[i]) == 0;
    else if (choice.rule == TRANSPARENT_AS_SAID)
        (*transparent)[0] = true;
    uint8_t corner = 0;
    const bool cornersShared = sharedCorner(picture, &corner);
    if (choice.rule == TRANSPARENT_ENTRY) {
        if (choice.entry < 0 || (size_t)choice.entry >= std::max<size_t>(picture.colours.size(), 1)) {
            return refuse(problem, TRANSPARENT_NO_ENTRY, choice.entry,
                          (int64_t)std::max<size_t>(picture.colours.size(), 1) - 1);
        }
        (*transparent)[choice.entry] = true;
    } else if (choice.rule == TRANSPARENT_CORNER && cornersShared) {
        if ((*transparent)[corner])
            return 1;  // the picture says so already, wherever that entry is
        (*transparent)[corner] = true;
        background->entry = corner;
        fillBackground(picture.indices, picture.width, picture.height, [&](uint8_t index) { return index == corner; },
                       background);
        noteBackground(background->counts, false, notes);
        if (background->counts.notReached == 0)
            background->map.clear();  // the entry is the background wherever it is
    } else if (choice.rule == TRANSPARENT_CORNER) {
        notes->push_back({NOTE_CORNERS_DIFFER, 0});
        if (!picture.saysTransparency)
            (*transparent)[0] = true;
    } else if (!picture.saysTransparency && cornersShared && corner != 0) {
        notes->push_back({NOTE_CORNER_ENTRY, corner});
    }
    return 1;
}

// The first entry after 0 that no pixel uses, or MOST_ENTRIES.
static int firstFreeEntry(const std::vector<size_t>& used)
{
    int free = 1;
    while (free < MOST_ENTRIES && used[free] > 0)
        ++free;
    return free;
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
    Background background;
    if (!findTransparentEntries(*picture, choice, &transparent, &background, &cel->notes, problem))
        return 0;

    // The corners' entry where the background does not reach it shows: a
    // free entry of its colour takes those pixels; with none free, only a
    // 32-bit cel keeps both.
    if (!background.map.empty()) {
        const int free = firstFreeEntry(used);
        if (free == MOST_ENTRIES) {
            spreadIndices(picture, colours, transparent, background);
            keepFullColour(picture, cel);
            return 1;
        }
        colours[free] = colours[background.entry];
        transparent[free] = false;  // a free entry may have been a clear one of the table
        used[free] = background.counts.notReached;
        used[background.entry] = background.counts.reached;
        for (size_t i = 0; i < picture->indices.size(); ++i)
            if (background.map[i] == FILL_LIKE_CORNERS)
                picture->indices[i] = (uint8_t)free;
    }

    // Partly transparent colours in use: only a 32-bit cel keeps them.
    for (int i = 0; i < MOST_ENTRIES; ++i)
        if (used[i] > 0 && !transparent[i] && alphaOf(colours[i]) != 255 && picture->saysTransparency) {
            spreadIndices(picture, colours, transparent, background);
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
        const int free = firstFreeEntry(used);
        if (free == MOST_ENTRIES) {  // every entry shows: no room for a transparent colour 0
            spreadIndices(picture, colours, transparent, background);
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
    Background background;
    if (!findTransparentEntries(*picture, choice, &transparent, &background, notes, problem))
        return 0;
    spreadIndices(picture, colours, transparent, background);
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
