// `porvane-host check DOLL`: a finished doll (its configuration, its folder
// or its LZH archive: doll_source.h) checked as viewers will meet it
// (kiss_files/kiss_check.h). One line a finding, with its configuration's
// line and what a viewer does with it, then one line for each
// configuration: sound, or how many problems and the worst of them.
#ifndef PORVANE_CHECK_COMMAND_H
#define PORVANE_CHECK_COMMAND_H

#include <string>

struct CheckRequest {
    std::wstring doll;
};

// Returns the exit status: 0 when every configuration is sound and every
// file could be read, 1 otherwise.
int checkCommand(const CheckRequest& request);

#endif
