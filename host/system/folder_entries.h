// What a folder holds, read once: the names, with what Windows keeps beside
// each (attributes, size, last change), for the commands that take a KiSS
// set's folder as a whole.
#ifndef PORVANE_FOLDER_ENTRIES_H
#define PORVANE_FOLDER_ENTRIES_H

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

struct FolderEntry {
    std::wstring name;  // without the folder
    DWORD attributes;
    uint64_t size;      // 0 for a folder
    FILETIME modified;  // UTC
};

// The entries of `folder` ("." and ".." left out), sorted as Explorer lists
// them: by name, ASCII letters without regard to case (and names that then
// tie, exactly). Returns 0 when the folder cannot be read, with
// GetLastError() telling why; an empty folder is no failure.
int listFolder(const std::wstring& folder, std::vector<FolderEntry>* entries);

#endif
