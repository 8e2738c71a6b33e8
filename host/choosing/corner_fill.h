// The background of a picture as --transparent corner takes it: the pixels
// of the corners' colour that can be reached from a corner, stepping up,
// down, left or right (never diagonally) through pixels of that colour. A
// region of that colour enclosed by the figure (white buttons on a white
// dress drawn on white) is not reached, and keeps showing.
//
// The fill works in a map of a byte a pixel that the caller marks, and needs
// nothing else: no recursion, and no list of pixels still to visit. Each
// pixel reached keeps, in its own byte, the step that led to it and the next
// step to try from it, so that the walk goes back the way it came when a
// pixel has no step left (a depth-first walk whose stack is the map itself).
// A picture of one colour, however large, is one walk over every pixel.
#ifndef PORVANE_CORNER_FILL_H
#define PORVANE_CORNER_FILL_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

// What each byte of the map holds: the caller marks FILL_OTHER and
// FILL_LIKE_CORNERS; the fill turns those it reaches into FILL_REACHED.
enum : uint8_t {
    FILL_OTHER = 0,         // another colour
    FILL_LIKE_CORNERS = 1,  // the corners' colour; after the fill, not reached
    FILL_REACHED = 2,       // the corners' colour, reached from a corner
};

struct FillCounts {
    uint64_t reached = 0;
    uint64_t notReached = 0;  // of the corners' colour
};

// Fills `map` (width x height bytes, top row first) from each of its four
// corners marked FILL_LIKE_CORNERS, and counts the pixels of the corners'
// colour reached and not reached.
FillCounts fillFromCorners(std::vector<uint8_t>* map, int32_t width, int32_t height);

#endif
