// Where every object of a set lies, in each of its sets.
//
// The colour sets show the doll as drawn. The dress-up set keeps the body
// (the fixed part) where it is drawn and lays every other part beside the
// drawing, in columns left and right of it: the tallest parts first, each
// column filled top to bottom up to the drawing's height (or the part's own,
// when it is taller) before the next column starts further out, the sides
// taking turns so that the doll stays near the middle. No part overlaps
// another or the drawing, so none overlaps the body. The playfield is the
// drawing with those columns on either side, and no larger: KiSS has one
// playfield for all sets, so the drawing lies at the same place in every
// set.
#ifndef PORVANE_DRESS_UP_LAYOUT_H
#define PORVANE_DRESS_UP_LAYOUT_H

#include <stdint.h>

#include <vector>

#include "set_plan.h"

struct Position {
    int32_t x = 0, y = 0;
};

struct SetsLayout {
    int32_t playfieldWidth = 0, playfieldHeight = 0;
    std::vector<std::vector<Position>> sets;  // each set's positions, by part (bottom first)
    bool dressUp = false;                     // the last set is the dress-up set
};

enum { DRESS_UP_GAP = 8 };  // pixels between parts, and between them and the drawing

// Every set of `plan`: its colour sets, then the dress-up set when the doll
// has a fixed body and other parts, and room for it: a set left of the ten a
// viewer offers, and a playfield no wider or taller than viewers open.
SetsLayout layOutSets(const SetPlan& plan);

#endif
