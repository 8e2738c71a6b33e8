// Reading a KiSS configuration (.cnf): the text that names a doll's
// palettes and cels and places its objects in up to ten sets.
//
// The text is Shift_JIS (kiss_names.h), its lines end in CR LF, LF or CR.
// What a line is, is told by its first character:
//   =SIZE          the memory old viewers should reserve (kept, not judged)
//   (W,H)          the playfield; 448 x 320 when there is none
//   [N             the border's colour number
//   %NAME.kcf      a palette; cels name palettes by their order, from 0
//   #OBJ[.FIX] NAME.cel [*PAL] [:S S ...] [; comment]
//                  a cel of object OBJ (FIX: how many clicks it takes to
//                  move it), coloured by palette PAL (0 when not given),
//                  shown in sets S (all sets when there is no ':'). Cels
//                  listed first are drawn in front, whatever their objects.
//   $G X,Y X,Y ... set 0, set 1, ... in the order of these lines: palette
//                  group G and the position of object 0, 1, 2, ...; '*' for
//                  an object the set leaves where it is. Lines that start
//                  with a space continue the positions.
//   ;@...          FKiSS, the scripting viewers run (kept apart, judged by
//                  the check)
//   ;...           a comment
// A ';' also ends the useful part of a cel or set line. Anything else is
// kept as an unknown line. Every element remembers its line, from 1.
//
// The reader never fails: a line it cannot read is kept out, or kept as
// far as it could be read, and `problems` says which and why.
#ifndef PORVANE_KISS_CONFIGURATION_H
#define PORVANE_KISS_CONFIGURATION_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "kiss_problems.h"

const int32_t KISS_DEFAULT_PLAYFIELD_WIDTH = 448;
const int32_t KISS_DEFAULT_PLAYFIELD_HEIGHT = 320;
const int KISS_SETS = 10;                     // sets 0 to 9
const uint16_t KISS_ALL_SETS = (1 << KISS_SETS) - 1;
// Bytes before the line end. Viewers read lines into 256 bytes, the end
// included; GnomeKiss, measured, takes a byte more before it complains.
const size_t KISS_LONGEST_LINE = 255;
const int64_t KISS_LARGEST_OBJECT = 32767;
const int64_t KISS_LARGEST_FIX = 32767;   // GnomeKiss refuses more

struct KissPaletteLine {
    uint32_t line = 0;
    std::string name;
};

struct KissCelLine {
    uint32_t line = 0;
    int32_t object = 0;
    int32_t fix = 0;          // 0 when not given
    std::string name;         // as written
    int32_t palette = 0;
    uint16_t sets = KISS_ALL_SETS;  // bit s: shown in set s
    std::string comment;      // after ';' (FKiSS tags such as %t128 live here)
};

struct KissPosition {
    bool given = false;       // false for '*'
    int32_t x = 0, y = 0;
};

struct KissSetLine {
    uint32_t line = 0;        // the $ line; continuations follow it
    int32_t paletteGroup = 0;
    std::vector<KissPosition> positions;  // of object 0, 1, 2, ...
};

struct KissTextLine {
    uint32_t line = 0;
    std::string text;         // the whole line
};

struct KissConfiguration {
    bool playfieldGiven = false;
    uint32_t playfieldLine = 0;
    int32_t width = KISS_DEFAULT_PLAYFIELD_WIDTH, height = KISS_DEFAULT_PLAYFIELD_HEIGHT;
    int32_t border = 0;
    std::string memory;
    std::vector<KissPaletteLine> palettes;
    std::vector<KissCelLine> cels;   // in the file's order: the first is in front
    std::vector<KissSetLine> sets;   // set 0 first (lines past the tenth are kept, and are a problem)
    std::vector<KissTextLine> fkiss;
    std::vector<KissTextLine> unknown;
    std::vector<KissFinding> problems;  // file left empty: the configuration's own
};

KissConfiguration readConfiguration(const uint8_t* text, size_t size);

#endif
