// The text of a KiSS configuration and the file names in it.
//
// Configurations are Shift_JIS (code page 932): a byte 0x81-0x9F or
// 0xE0-0xFC leads a two-byte character whose second byte is 0x40-0x7E or
// 0x80-0xFC. That second byte can be '@', '[', '\\', ']', '^', '_', '|',
// '~' or a letter, so whatever looks at the characters of a line (folding
// case, judging a name, finding a command) steps by characters, never by
// bytes. The bytes that give a line its form (line ends, space, '#', '$',
// '%', '(', ')', ',', '*', ':', ';', '"', digits) are never a second byte,
// so splitting a line at them is safe byte by byte.
//
// A name is a good KiSS name when it is at most eight characters, a dot and
// at most three, all of them ASCII letters, digits or _ ~ - & ^ !: DOS
// viewers and the archives dolls travel in hold no other, and viewers leave
// out a line whose name is not ASCII.
#ifndef PORVANE_KISS_NAMES_H
#define PORVANE_KISS_NAMES_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "kiss_problems.h"

// The longest good KiSS name: characters before the dot, and after it.
const size_t KISS_NAME_BASE_CHARACTERS = 8, KISS_NAME_EXTENSION_CHARACTERS = 3;

// Bytes of the character at `at` (before `end`): 2 for a lead byte followed
// by a second byte, 1 otherwise (a lone lead byte counts as one).
size_t sjisCharBytes(const char* at, const char* end);

// Characters in bytes [begin, end).
size_t sjisCharCount(const char* begin, const char* end);

// The same name as KiSS viewers on Windows take it: ASCII letters without
// regard to case, every other character exactly.
bool sameKissName(const std::string& a, const std::string& b);

// Which of `names` (a folder's entries, an archive's members) a viewer
// opens for `wanted`: the one spelled exactly so, else the first the same
// without regard to case; -1 when none.
int findKissFile(const std::string& wanted, const std::vector<std::string>& names);

// KISS_FINE for a good KiSS name; else KISS_NAME_NOT_ASCII,
// KISS_NAME_CHARACTER or KISS_NAME_NOT_8_3 with the numbers the code
// carries (kiss_problems.h) in number[0] and number[1].
KissProblem kissNameProblem(const std::string& name, int64_t number[2]);

#endif
