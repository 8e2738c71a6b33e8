#include "kiss_file_writer.h"

#include <string.h>

// The folder part of `path`, with its trailing separator, or the current
// folder (of the named drive, for "C:name") when the path names none.
static int folderOf(const char* path, char folder[MAX_PATH])
{
    size_t length = strlen(path);
    size_t cut = length;
    while (cut > 0 && path[cut - 1] != '\\' && path[cut - 1] != '/')
        --cut;
    if (cut == 0) {
        bool drive = length >= 2 && path[1] == ':';
        cut = drive ? 2 : 0;
        memcpy(folder, path, cut);
        strcpy(folder + cut, ".");
        return 1;
    }
    if (cut >= MAX_PATH)
        return 0;
    memcpy(folder, path, cut);
    folder[cut] = '\0';
    return 1;
}

// WriteFile may report success for fewer bytes than asked; that is a failure.
static bool writeAll(HANDLE file, const void* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, NULL) && written == count;
}

KissWriteResult writeKissFile(const char* path, const CelHeader& header, const uint8_t* block, DWORD blockBytes)
{
    char folder[MAX_PATH];
    char tempPath[MAX_PATH];
    if (!folderOf(path, folder) || GetTempFileNameA(folder, "kis", 0, tempPath) == 0)
        return KISS_NOT_CREATED;

    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(tempPath);
        return KISS_NOT_CREATED;
    }
    uint8_t headerBytes[CEL_HEADER_BYTES];
    encodeCelHeader(header, headerBytes);
    bool written = writeAll(file, headerBytes, CEL_HEADER_BYTES) && writeAll(file, block, blockBytes);
    bool closed = CloseHandle(file) != FALSE;

    if (written && closed && MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING))
        return KISS_WRITTEN;
    DeleteFileA(tempPath);
    return KISS_WRITE_FAILED;
}
