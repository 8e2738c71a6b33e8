// Reading a KiSS palette (.kcf), in either of the two forms viewers read.
// Multi-byte fields are little-endian.
//
// With a header (32 bytes):
//   offset size  field
//        0    4  magic      "KiSS"
//        4    1  mark       0x10 palette
//        5    1  depth      bits per colour: 12 or 24
//        6    2  reserved
//        8    2  colours    in each group: 16 or 256 (viewers take others too)
//       10    2  groups     of colours (0 is read as 1, as viewers read it)
//       12   20  reserved
// then the groups one after the other, each `colours` colours of
//   24 bits  3 bytes: red, green, blue
//   12 bits  2 bytes: red in the high nibble of the first and blue in its
//            low nibble, green in the low nibble of the second
// The old form has no header: groups of 16 colours of 12 bits, 32 bytes a
// group, as many groups as the file holds (one, or ten for the ten palette
// groups of the old viewers). A 12-bit value v is v x 17 in 8 bits, so 15
// is 255.
//
// A set names the palette group its colours come from; a palette with
// fewer groups shows its first group instead (kissColour).
#ifndef PORVANE_KISS_PALETTE_H
#define PORVANE_KISS_PALETTE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "kiss_problems.h"

enum {
    KISS_OLD_PALETTE_COLOURS = 16,
    KISS_OLD_PALETTE_GROUP_BYTES = 32,
};

struct KissPalette {
    int depth = 0;  // 12 or 24
    bool headered = false;
    int colours = 0;  // in each group
    int groups = 0;
    std::vector<uint8_t> rgb;  // red, green, blue of every colour, group after group
};

// Reads `file` into `palette`, all groups there or nothing: `palette` is
// left empty when the file cannot be used.
KissFileProblem readPalette(const uint8_t* file, size_t size, KissPalette* palette);

// Red, green and blue of colour `index` in `group` (group 0 where the
// palette has no such group); NULL past the palette's colours.
const uint8_t* kissColour(const KissPalette& palette, int group, int index);

#endif
