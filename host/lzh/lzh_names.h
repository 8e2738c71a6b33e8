// Entry names. porvane writes them as the caller encodes them, which for
// Japanese names is Shift_JIS (code page 932), as Japanese LHa and the tools
// of Japanese Windows read them; plain ASCII names are the same in every
// code page. In Shift_JIS the second byte of a double-byte character may be
// a backslash (0x5C) or a letter, so names are walked a character at a time.
#ifndef PORVANE_LZH_NAMES_H
#define PORVANE_LZH_NAMES_H

#include <string>

#include "lzh_problem.h"

// LZH_OK for a name that can go into the archive as one file of a flat
// folder: 1 to Lzh::kLevel0MaxNameBytes bytes, no folder separator ('/',
// '\'), no drive colon, no control character, not "." or "..", and no
// double-byte character cut short.
LzhProblem plainNameProblem(const std::string& name);

// The name as a file system that ignores the case of ASCII letters sees it:
// two names of one folded name cannot both be files of one folder.
std::string foldedName(const std::string& name);

// A stored path with '/' between its parts: a backslash that is not the
// second byte of a double-byte character, and 0xFF (the folder separator of
// extended headers), become '/'.
std::string pathWithSlashes(const std::string& stored);

#endif
