// What became of a picture, in the doll maker's words: the cel it became,
// what the cel choice changed, and the shared palette's line.
#ifndef PORVANE_CEL_WORDS_H
#define PORVANE_CEL_WORDS_H

#include <string>
#include <vector>

#include "../choosing/cel_choice.h"
#include "../handover/source_picture.h"
#include "../handover/write_problem.h"

// What the choice changed, or what to look at; empty when there is nothing.
std::wstring inWords(const std::vector<CelNote>& notes);

// "61 x 37, 8-bit cel", "64 x 32, 32-bit cel: full colour with transparency".
std::wstring describeCel(const SourcePicture& picture);
std::wstring describeCel(int depth, int32_t width, int32_t height, bool transparent);

// "shared palette doll.kcf: 212 colours, each exactly as in the parts", or
// why it was not written.
// `partColours`: the parts' different colours; `chosen`: the palette's;
// `exact`: every part's colour is in it.
std::wstring sharedPaletteLine(const std::wstring& path, size_t partColours, size_t chosen, bool exact,
                               const WriteProblem& written);

#endif
