// What became of a set (handover/set_writer.h), in the doll maker's words:
// why it was not written, which of her files were kept, and what the writer
// found of a run that was stopped halfway.
#ifndef PORVANE_SET_WORDS_H
#define PORVANE_SET_WORDS_H

#include <string>

#include "../handover/set_writer.h"

// The line for a set that was not written into `folder`; empty for none.
std::wstring inWords(const SetWriteProblem& problem, const std::wstring& folder);

// The line for a file of hers kept beside the new set.
std::wstring keptLine(const KeptFile& kept);

// The line for what an interrupted run had left in `folder`; empty when it
// left nothing. The files it kept have lines of their own (keptLine).
std::wstring recoveryLine(const Recovery& recovery, const std::wstring& folder);

#endif
