// Reading a whole file, and telling whether two names are the same file
// however they are spelled (case, `/` or `\`, `.` and `..`, short names,
// links): Windows identifies a file by its volume's serial number and its
// index on that volume.
#ifndef PORVANE_FILE_ACCESS_H
#define PORVANE_FILE_ACCESS_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

struct FileIdentity {
    bool known;  // false when the name could not be opened
    DWORD volume, indexHigh, indexLow;
};

FileIdentity identifyFile(const wchar_t* path);
bool sameFile(const FileIdentity& a, const FileIdentity& b);

// All bytes of a file, in memory of its own.
struct FileBytes {
    uint8_t* data;
    size_t size;
};

// Reads all of `path`. Returns 0 on failure, with GetLastError() telling why.
int readWholeFile(const wchar_t* path, FileBytes* bytes);
void freeFileBytes(FileBytes* bytes);

#endif
