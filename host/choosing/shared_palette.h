// One palette for a whole doll: every part an 8-bit cel on it, colour 0
// transparent, at most 255 visible colours for all the parts together,
// chosen by quantize/ from the colours of every part weighted by how many
// pixels use them (exactly those colours when they fit). A pixel is
// transparent where its picture says so; with partial alpha, below half.
#ifndef PORVANE_SHARED_PALETTE_H
#define PORVANE_SHARED_PALETTE_H

#include <stdint.h>

#include <vector>

#include "cel_choice.h"
#include "../pictures/decoded_picture.h"

struct SharedPalette {
    std::vector<uint32_t> colours;  // 0xAARRGGBB: entry 0 transparent (the playfield's colour), then the visible ones
    size_t partColours = 0;         // different visible colours in all the parts
    bool exact = false;             // every part's colours are in it
};

// Chooses the palette for `parts`, full-colour pictures (toFullColour);
// `background` is entry 0's colour. Returns 0 when the parts are beyond the
// reduction's limits.
int chooseSharedPalette(const std::vector<const DecodedPicture*>& parts, uint32_t background, SharedPalette* palette);

// `part` as an 8-bit cel on `palette`: every visible pixel its nearest
// colour, with error diffusion when `dither`.
int celOnSharedPalette(const DecodedPicture& part, const SharedPalette& palette, bool dither, CelChoice* cel);

#endif
