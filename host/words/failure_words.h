// Why a picture could not be read or a file could not be written, in the
// doll maker's words. Each is worked out after the failure from what Windows
// said and from what is at the name now.
#ifndef PORVANE_FAILURE_WORDS_H
#define PORVANE_FAILURE_WORDS_H

#include <windows.h>

#include <string>

// Why a picture's file could not be read, from GetLastError's `error`.
std::wstring whyNotOpened(DWORD error);

// Why `path` could not be written: its folder is missing, the name is a
// folder, the file there is read-only, or another program has it open.
std::wstring whyNotWritten(const std::wstring& path);

// The status CreatePicture returned for `destination`.
std::wstring exportStatusInWords(LONG status, const std::wstring& destination);

#endif
