// Why a file could not be written, in words, found by looking at what is at
// its name after the failure: its folder is missing, the name is a folder,
// the file there is read-only, or another program has it open.
#ifndef PORVANE_WRITE_FAILURE_H
#define PORVANE_WRITE_FAILURE_H

#include <string>

std::string whyNotWritten(const std::string& path);

#endif
