// Problems in the doll maker's words: why a picture was not read, and why a
// file was not written. The codes come from the readers and the writers,
// which know no language.
#ifndef PORVANE_PROBLEM_WORDS_H
#define PORVANE_PROBLEM_WORDS_H

#include <string>

#include "../handover/write_problem.h"
#include "../pictures/picture_problem.h"

std::wstring inWords(const PictureProblem& problem);
std::wstring inWords(const WriteProblem& problem);

#endif
