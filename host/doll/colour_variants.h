// Colour variants: a garment drawn once and recoloured. A layer is a colour
// variant of another when it has the same shape (the same place and size on
// the canvas, and the same alpha at every pixel) and its colours map one to
// one onto the other's (every colour of the one becomes one colour of the
// other, and no two become the same). KiSS shows such a garment with one
// cel and one palette group a colour: group 0 the colours as drawn, group k
// the k-th variant's.
#ifndef PORVANE_COLOUR_VARIANTS_H
#define PORVANE_COLOUR_VARIANTS_H

#include <stdint.h>

#include <vector>

#include "../pictures/decoded_picture.h"

// A full-colour picture cut to what shows, and where it lies on the canvas.
struct PlacedPicture {
    const DecodedPicture* picture;
    int32_t x, y;
};

// Equal for pictures of one shape; pictures of different shapes differ, but
// for a chance of one in 2^64, which isColourVariant settles.
uint64_t shapeKey(const PlacedPicture& placed);

bool isColourVariant(const PlacedPicture& drawn, const PlacedPicture& candidate);

// Palette group `k` of a cel that shows `variant` recoloured: entry e holds the
// colour the variant has where the cel has colour e (their mean, where the
// colours were reduced and several fell on one entry); entries the cel does
// not use keep their colours in `drawn`, group 0.
std::vector<uint32_t> variantGroup(const std::vector<uint8_t>& indices, const DecodedPicture& variant,
                                   const std::vector<uint32_t>& drawn);

#endif
