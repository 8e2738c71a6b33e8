// Cutting a picture, or the cel chosen for it, down to the part that shows,
// so that a doll's cels hold no empty margins and lie where their pixels lay.
#ifndef PORVANE_CROP_H
#define PORVANE_CROP_H

#include <stdint.h>

#include "../pictures/decoded_picture.h"
#include "cel_choice.h"

struct Bounds {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// The smallest rectangle holding every pixel that shows (alpha above 0) of
// a full-colour picture; empty when nothing shows.
Bounds visibleBounds(const DecodedPicture& picture);

// `picture` (full colour, or colour indices) cut to `bounds`, which lie
// within it.
void cropPicture(DecodedPicture* picture, const Bounds& bounds);

// A chosen cel of `width` pixels a row cut to `bounds`; its transparency
// worked out anew.
void cropCel(CelChoice* cel, int32_t width, const Bounds& bounds);

#endif
