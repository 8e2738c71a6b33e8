// One palette for a whole doll: every part an 8-bit cel on it, colour 0
// transparent (its colour is the playfield's, the background), at most 255
// visible colours for all the parts together, chosen by quantize/ from the
// colours of every part weighted by how many pixels use them (exactly those
// colours when they fit).
//
// A pixel of a part is transparent where its picture says so; a partly
// transparent pixel, which an 8-bit cel cannot show, becomes solid from half
// alpha up and transparent below, and the part's cel notes how many of each.
//
// The parts are counted one at a time as they are read, so that none needs
// to be held for the count; then the palette is chosen once, and each part
// mapped to it.
#ifndef PORVANE_SHARED_PALETTE_H
#define PORVANE_SHARED_PALETTE_H

#include <stdint.h>

#include <vector>

#include "../../quantize/colour_reduction.h"
#include "../pictures/decoded_picture.h"
#include "cel_choice.h"

class SharedPalette {
public:
    explicit SharedPalette(uint32_t background) : background_(background & 0xFFFFFFu) {}

    // Counts the visible colours of `part`, a full-colour picture
    // (toFullColour). False, and nothing counted, past the reduction's limits.
    bool count(const DecodedPicture& part);

    // Different visible colours counted so far.
    size_t countedColours() const { return histogram_.used; }

    // Chooses at most `most` colours (1 to 255) from every part counted.
    // False past the limits.
    bool choose(int most = ColourReduction::kMaxPaletteColours);

    // `part` as an 8-bit cel on the chosen palette: every visible pixel its
    // nearest colour, with error diffusion when `dither`, the chosen colours
    // numbered from `firstEntry` (when this palette is one range of a larger
    // one). False when the part is past the reduction's limits.
    bool celFor(const DecodedPicture& part, bool dither, CelChoice* cel, int firstEntry = 1) const;

    // The palette as a palette file holds it: entry 0 the background, then
    // the visible colours (0xRRGGBB).
    std::vector<uint32_t> colours() const;
    // The visible colours alone.
    std::vector<uint32_t> visible() const;
    size_t partColours() const { return partColours_; }  // different visible colours in all the parts
    size_t visibleColours() const { return (size_t)chosen_.count; }
    bool exact() const { return chosen_.exact; }  // every part's colours are in it

    // The most pixels all the parts may hold together.
    static uint64_t mostPixels() { return ColourReduction::kMaxTotalWeight; }

private:
    uint32_t background_;
    ColourReduction::ColourHistogram histogram_;
    ColourReduction::Palette chosen_ = {};
    size_t partColours_ = 0;
};

#endif
