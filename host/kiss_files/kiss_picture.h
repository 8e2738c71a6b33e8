// Drawing what a KiSS viewer shows: one cel with its colours (to unpack a
// doll's cels as pictures), and one set of the doll on its playfield (to
// preview it).
//
// A set is drawn as GnomeKiss draws it, which is measured against it:
//   - the playfield, the size the configuration gives (448 x 320 without
//     one), filled with colour 0 of the first palette (black without one);
//   - every cel shown in the set (its ':' list), the last listed first, so
//     that cels listed first end up in front, whatever their objects;
//   - each at its object's position in the set plus the cel's own offsets,
//     at 0,0 where the set gives the object no position ('*' or none);
//   - a cel of colour numbers coloured by its palette (the first one where
//     its palette number has none) in the set's palette group (the
//     palette's first group where it has no such group), colour 0 left
//     out, colours past the palette black; a 32-bit cel blended by its
//     alpha as GnomeKiss blends (under + (over - under) x alpha / 255, cut
//     toward zero).
// Files that are missing or damaged are left out, as viewers leave them
// out; the check says why. FKiSS is not run, and %t transparency tags are
// not applied: the picture is the set as it opens.
//
// Pictures are straight red, green, blue, alpha, top row first.
#ifndef PORVANE_KISS_PICTURE_H
#define PORVANE_KISS_PICTURE_H

#include <stdint.h>

#include <vector>

#include "kiss_cel.h"
#include "kiss_check.h"
#include "kiss_configuration.h"
#include "kiss_palette.h"
#include "kiss_problems.h"

// The most pixels a set is drawn with: 64 MB of picture.
const int64_t KISS_LARGEST_PICTURE_PIXELS = 16 * 1024 * 1024;

struct KissPicture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// `cel` as a picture of its own size: a 32-bit cel as it is; a cel of
// colour numbers in `group` of `palette`, colour 0 transparent (alpha 0,
// with that colour's red, green and blue), colours past the palette opaque
// black. KISS_CEL_NEEDS_PALETTE when it has colour numbers and `palette` is NULL;
// KISS_PICTURE_TOO_LARGE past KISS_LARGEST_PICTURE_PIXELS.
KissProblem celPicture(const KissCel& cel, const KissPalette* palette, int group, KissPicture* picture);

// Set `set` of the doll, with its files from `fetch`. KISS_NO_SUCH_SET past
// the sets the configuration has (set 0 is there even without a $ line);
// KISS_PICTURE_TOO_LARGE past KISS_LARGEST_PICTURE_PIXELS.
KissProblem drawSet(const KissConfiguration& configuration, int set, const KissFetcher& fetch, KissPicture* picture);

#endif
