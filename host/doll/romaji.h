// A name spelled in the characters a file of a KiSS set may have: lowercase
// ASCII letters, digits, '-' and '_' (viewers and the archives dolls travel
// in hold no other, and viewers fold case).
//
// What a name has of these is kept, letters lowercased; their full-width
// forms (ＤＲＥＳＳ, ０１) count as the same characters. Kana, hiragana and
// katakana alike, are spelled in Hepburn romaji, which reads them exactly:
// small kana join the kana before them (シャ sha, ティ ti, キェ kye), the
// sokuon doubles the consonant after it (っぱ ppa, っち tchi), the long-vowel
// mark repeats the vowel before it (ブーツ buutsu), voiced marks join their
// kana whether they come precomposed, combining (as names from a Mac have
// them) or as half-width katakana's own marks. ン is "n" everywhere: a file
// name cannot hold Hepburn's apostrophe. Everything else is left out: kanji,
// whose reading the name does not say, other scripts, spaces, punctuation,
// and kana that cannot be spelled exactly (ヶ, read ka, ga or ko; a sokuon
// or a voiced mark with nothing to act on; the iteration marks).
//
// Text is UTF-16 on Windows and UTF-32 elsewhere; every character spelled
// is in the Basic Multilingual Plane, and the units of any other character
// (a surrogate pair, or one unit) are left out like a kanji.
#ifndef PORVANE_ROMAJI_H
#define PORVANE_ROMAJI_H

#include <string>

struct AsciiSpelling {
    std::string text;          // lowercase letters, digits, '-' and '_'; may be empty
    bool spelledKana = false;  // kana were spelled in romaji
    bool leftOut = false;      // characters were left out
};

AsciiSpelling spellInAscii(const std::wstring& name);

#endif
