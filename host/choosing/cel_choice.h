// What a picture becomes, so that a KiSS viewer shows what the picture shows.
//
// KiSS viewers read 4- and 8-bit cels, whose colour 0 is transparent and
// whose colours come from a palette file, and 32-bit cels (blue, green, red,
// straight alpha). So:
//   - a picture of colour indices stays one: 1-, 2- and 4-bit pictures become
//     4-bit cels, 8-bit pictures 8-bit cels, indices kept, except that
//     exactly the transparent pixels end up as colour 0: a transparent entry
//     is swapped with entry 0 (the palette following), and a visible colour
//     at 0 with nothing transparent moves to a free entry (a 4-bit picture
//     that needs a seventeenth entry becomes an 8-bit cel);
//   - which entries are transparent: those the picture says (alpha 0) where
//     it can say; entry 0 where it cannot (BMP), as doll makers paint them;
//     or the one the doll maker names (--transparent N, or the corners'
//     colour with --transparent corner);
//   - --transparent corner clears the background: the pixels of the
//     corners' colour reached from them (corner_fill.h), in a JPEG those
//     near it; pixels of that colour it does not reach keep showing, in a
//     picture of colour indices through a free entry of the same colour;
//   - a colour table with partly transparent entries in use, or with no
//     entry free for a visible colour 0 or for the corners' colour where
//     the background does not reach it, becomes a 32-bit cel, which keeps
//     it exactly; so does every full-colour picture, opaque where it has no
//     alpha;
//   - a picture in which nothing shows becomes a 4-bit cel of colour 0;
//   - with palette mode on, a strip of 256 x 1 opaque pixels goes over in 24
//     bits, which the plug-in saves as a KiSS palette of its 256 colours.
#ifndef PORVANE_CEL_CHOICE_H
#define PORVANE_CEL_CHOICE_H

#include <string>
#include <vector>

#include "../pictures/decoded_picture.h"
#include "../pictures/picture_problem.h"

enum TransparencyRule {
    TRANSPARENT_AS_SAID,   // what the picture says; colour 0 where it cannot say
    TRANSPARENT_CORNER,    // the colour of the four corners, when they share one
    TRANSPARENT_ENTRY,     // the colour table's entry `entry`
};

struct TransparencyChoice {
    TransparencyRule rule = TRANSPARENT_AS_SAID;
    int entry = 0;
};

// What the choice changed in a picture, or what the doll maker should look at.
enum CelNoteKind {
    NOTE_SWAPPED,        // number: the colour that changed places with colour 0, the transparent one
    NOTE_MOVED,          // number: where a visible colour 0 moved, nothing being transparent
    NOTE_CORNER_ENTRY,   // number: the colour of the corners, which a viewer shows
    NOTE_CORNER_COLOUR,  // a full-colour picture's corners share a colour that shows
    NOTE_CORNERS_DIFFER, // --transparent corner: the corners are not one colour
    NOTE_PARTLY_TRANSPARENT,  // on an 8-bit cel: number pixels made solid, second made transparent
    NOTE_BACKGROUND_CLEARED,  // --transparent corner: number pixels of background made transparent, second
                              // of its colour left showing as the background does not reach them
};
struct CelNote {
    CelNoteKind kind;
    int number;
    int second = 0;
};

struct CelChoice {
    int depth = 0;                 // 4, 8 or 32; 24 for a palette strip
    std::vector<uint32_t> colours; // 4 and 8: the palette (0xAARRGGBB, alpha unused); entry 0 is transparent
    std::vector<uint8_t> indices;  // 4 and 8: one a pixel, top row first
    std::vector<uint32_t> pixels;  // 32 and 24: 0xAARRGGBB, top row first
    bool transparent = false;      // 32: some pixel is not opaque
    std::vector<CelNote> notes;    // in the order they were found
};

// Chooses the cel for `picture`, whose pixels it takes. Returns 0 with the
// problem when the choice cannot apply (an entry the picture does not have).
int chooseCel(DecodedPicture* picture, const TransparencyChoice& choice, bool paletteMode, CelChoice* cel,
              PictureProblem* problem);

// Turns a picture of colour indices into full colour, its transparent
// entries (found as above) with alpha 0 and every other opaque; with
// --transparent corner, the background gets alpha 0.
// For the shared palette, which chooses its colours from every part's.
// Returns 0 with the problem when the choice cannot apply.
int toFullColour(DecodedPicture* picture, const TransparencyChoice& choice, std::vector<CelNote>* notes, PictureProblem* problem);

#endif
