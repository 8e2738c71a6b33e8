// A set's configuration (.cnf), as KiSS viewers read it:
//
//   ; comments                          (a `;` line, or the end of a line)
//   (W,H)                               the playfield
//   [0                                  the border: colour 0 of the first palette
//   %doll.kcf                           the palettes, numbered in order from 0
//   #0 hair.cel *0 ; 髪                  each object's cel, front first as viewers
//   #4.9999 body.cel *0 ; 体             draw them; `.9999` fixes the body in place
//   ; set 0: ...
//   $0 10,20 30,40 ...                   a set: its palette group, then where each
//    50,60 ...                           object lies, continued on lines that
//                                        start with a space
//
// Every line is shorter than 256 bytes, which viewers refuse (and misplace
// objects after), counting a character outside ASCII as the two bytes it
// takes in code page 932: a long layer name in a comment is cut to fit.
#ifndef PORVANE_CONFIGURATION_TEXT_H
#define PORVANE_CONFIGURATION_TEXT_H

#include <string>
#include <vector>

#include "dress_up_layout.h"
#include "set_plan.h"

struct ConfigurationComments {
    std::vector<std::wstring> heading;  // the first lines, what the set is
    std::vector<std::wstring> sets;     // one for each set, before its `$` line; may be empty
};

// The configuration's text, lines ending in CR LF, before it is put in the
// ANSI code page.
std::wstring configurationText(const SetPlan& plan, const SetsLayout& layout, const ConfigurationComments& comments);

// The bytes `line` takes in the ANSI code page, at most.
size_t ansiBytesAtMost(const std::wstring& line);

#endif
