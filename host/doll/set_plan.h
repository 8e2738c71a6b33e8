// The plan of a KiSS set made from a drawing, before anything is written:
// its parts with their cels' names and places, its palettes and palette
// groups, and the sets a viewer shows. Pure: the doll command fills it from
// the layers it has read, and configuration_text.h and dress_up_layout.h
// turn it into the configuration.
//
// A KiSS viewer shows one of up to ten sets at a time, each a `$` line of
// the configuration naming the palette group its cels are coloured with and
// where every object lies. A doll porvane makes has one set per palette
// group, each showing the doll as drawn (set k coloured with group k: a
// garment drawn in several colours shows each in turn), and, when the doll
// has anything to put on, one more set in which the body stays where it is
// and every other part lies beside it, ready to be dragged on.
#ifndef PORVANE_SET_PLAN_H
#define PORVANE_SET_PLAN_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "../kiss_files/kiss_configuration.h"  // KISS_SETS, KISS_LONGEST_LINE: what viewers take

enum {
    KISS_FIXED_IN_PLACE = 9999,  // a fix value no drag ever wears down: the body stays put
};

struct PlannedPart {
    std::wstring cel;        // the cel's file name in the set ("01body.cel")
    std::wstring layerName;  // as the doll maker named the layer, for the configuration's comment
    int32_t x = 0, y = 0;    // its top-left pixel on the drawing's canvas
    int32_t width = 0, height = 0;
    size_t palette = 0;      // its palette's number in the configuration
    bool fixed = false;      // the body: stays where it is in every set
};

struct SetPlan {
    int32_t canvasWidth = 0, canvasHeight = 0;
    std::vector<PlannedPart> parts;        // bottom first, as drawn
    std::vector<std::wstring> palettes;    // file names, in the order of their numbers
    int paletteGroups = 1;                 // one set a group, each the doll as drawn
    std::vector<std::wstring> groupNames;  // what each group shows, for the comments; may be empty
};

#endif
