#include "kiss_file_writer.h"
#include "path_text.h"

#include <string.h>

enum {
    // GetTempFileNameA takes a folder of at most MAX_PATH - 14 characters
    // (room for "\kisXXXX.tmp" and the zero) and fails beyond that on
    // Windows; Wine does not check and writes past its own buffer. The
    // folder is measured in bytes, so that the temporary name also fits the
    // MAX_PATH bytes of tempPath.
    TEMP_FOLDER_MAX = MAX_PATH - 14,
    // A scanner, indexer or sync client that opens a freshly closed file
    // holds it for a few milliseconds; the rename into place and the removal
    // of the temporary file wait that out with pauses that double from
    // FIRST_PAUSE_MS, RETRY_BUDGET_MS in all.
    FIRST_PAUSE_MS = 10,
    RETRY_BUDGET_MS = 1000,
};

// The folder part of `path` as GetTempFileNameA takes it: without its
// trailing separator unless that is all there is ("\", "C:\"), or the
// current folder (of the named drive, for "C:name") when the path names none.
// Fails when the folder is too long for a temporary name.
static bool folderForTemporaryFile(const char* path, char folder[MAX_PATH])
{
    int cut = folderPartLength(path);
    if (cut == 0) {
        int drive = path[0] != '\0' && path[1] == ':' ? 2 : 0;
        memcpy(folder, path, drive);
        strcpy(folder + drive, ".");
        return true;
    }
    bool root = cut == 1 || (cut == 3 && path[1] == ':');
    if (!root)
        --cut;
    if (cut > TEMP_FOLDER_MAX)
        return false;
    memcpy(folder, path, cut);
    folder[cut] = '\0';
    return true;
}

// Windows refuses to replace a read-only file; Wine does not, so porvane
// asks first. A folder at the destination is refused by the rename itself.
static bool isReadOnlyFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Errors that another program's brief hold on `file` gives. Access is also
// denied for a read-only file, a folder or a folder the user may not write
// to, which no wait changes: only a file that is there and writable counts.
static bool isMomentaryLock(DWORD error, const char* file)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    if (error != ERROR_ACCESS_DENIED)
        return false;
    DWORD attributes = GetFileAttributesA(file);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

static BOOL replaceDestination(const char* tempPath, const char* path)
{
    return MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING);
}

static BOOL removeTemporaryFile(const char* tempPath, const char* /*path*/)
{
    return DeleteFileA(tempPath);
}

// Runs `step` until it succeeds, fails for good, or the retry budget is
// spent. `heldFile` is the file another program may be holding.
static bool untilNotHeld(BOOL (*step)(const char*, const char*), const char* tempPath, const char* path,
                         const char* heldFile)
{
    DWORD pause = FIRST_PAUSE_MS, waited = 0;
    while (!step(tempPath, path)) {
        if (waited >= RETRY_BUDGET_MS || !isMomentaryLock(GetLastError(), heldFile))
            return false;
        DWORD wait = pause < RETRY_BUDGET_MS - waited ? pause : RETRY_BUDGET_MS - waited;
        Sleep(wait);
        waited += wait;
        pause *= 2;
    }
    return true;
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
    if (!folderForTemporaryFile(path, folder) || isReadOnlyFile(path) ||
        GetTempFileNameA(folder, "kis", 0, tempPath) == 0)
        return KISS_NOT_CREATED;

    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        untilNotHeld(removeTemporaryFile, tempPath, path, tempPath);
        return KISS_NOT_CREATED;
    }
    uint8_t headerBytes[CEL_HEADER_BYTES];
    encodeCelHeader(header, headerBytes);
    bool written = writeAll(file, headerBytes, CEL_HEADER_BYTES) && writeAll(file, block, blockBytes);
    bool closed = CloseHandle(file) != FALSE;

    if (written && closed && untilNotHeld(replaceDestination, tempPath, path, path))
        return KISS_WRITTEN;
    untilNotHeld(removeTemporaryFile, tempPath, path, tempPath);
    return KISS_WRITE_FAILED;
}
