#include "kiss_file_writer.h"
#include "path_text.h"

#include <string.h>

enum {
    // The temporary file is "kisXXXX.tmp" (XXXX four hexadecimal digits) in
    // the destination's folder. Its folder part may have MAX_PATH - 14 bytes
    // and a separator, the limit of Windows' own GetTempFileNameA, so that
    // the whole name and its zero fit MAX_PATH bytes.
    TEMP_FOLDER_MAX = MAX_PATH - 14 + 1,
    // Names tried before giving up, when others' files already have them.
    TEMP_NAME_TRIES = 256,
    // A scanner, indexer or sync client that opens a freshly closed file
    // holds it for a few milliseconds; the rename into place and the removal
    // of the temporary file wait that out with pauses that double from
    // FIRST_PAUSE_MS, RETRY_BUDGET_MS in all.
    FIRST_PAUSE_MS = 10,
    RETRY_BUDGET_MS = 1000,
};

// Numbers the temporary names; processes start apart from each other.
static volatile LONG lastTempNumber = 0;

// Creates a new temporary file beside `path`, never over an existing one, and
// names it in `tempPath`. A path without a folder gets one in the current
// folder (of its drive, for "C:name"). Fails when the folder is too long for
// a temporary name, or the file cannot be created there.
static HANDLE createTemporaryFile(const char* path, char tempPath[MAX_PATH])
{
    int cut = folderPartLength(path);
    if (cut == 0 && path[0] != '\0' && path[1] == ':')
        cut = 2;
    if (cut > TEMP_FOLDER_MAX) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    memcpy(tempPath, path, cut);
    for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
        UINT number = ((UINT)InterlockedIncrement(&lastTempNumber) + GetCurrentProcessId() * 40503u) & 0xFFFF;
        wsprintfA(tempPath + cut, "kis%04X.tmp", number);
        HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Windows refuses to replace a read-only file; Wine does not, so porvane
// asks first. A folder at the destination is refused by the rename itself.
static bool isReadOnlyFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Errors that another program's brief hold on a file gives. Access is also
// denied for a read-only file, a folder or a folder the user may not write
// to, which no wait changes: only a file that is there and writable counts.
static bool isMomentaryLock(DWORD error, DWORD heldFileAttributes)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    return error == ERROR_ACCESS_DENIED && heldFileAttributes != INVALID_FILE_ATTRIBUTES &&
           !(heldFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

int retryWhileHeld(BOOL (*step)(const void* context), DWORD (*heldFileAttributes)(const void* context),
                   const void* context)
{
    DWORD pause = FIRST_PAUSE_MS, waited = 0;
    while (!step(context)) {
        if (waited >= RETRY_BUDGET_MS || !isMomentaryLock(GetLastError(), heldFileAttributes(context)))
            return 0;
        DWORD wait = pause < RETRY_BUDGET_MS - waited ? pause : RETRY_BUDGET_MS - waited;
        Sleep(wait);
        waited += wait;
        pause *= 2;
    }
    return 1;
}

// The two steps that may meet a hold: the finished temporary file renamed
// over the destination (which another program may hold), and after a
// failure the temporary file removed (which a scanner may hold).
struct Replacement {
    const char* tempPath;
    const char* path;
};

static BOOL replaceDestination(const void* context)
{
    const Replacement* r = (const Replacement*)context;
    return MoveFileExA(r->tempPath, r->path, MOVEFILE_REPLACE_EXISTING);
}

static DWORD destinationAttributes(const void* context)
{
    return GetFileAttributesA(((const Replacement*)context)->path);
}

static BOOL removeTemporaryFile(const void* context)
{
    return DeleteFileA(((const Replacement*)context)->tempPath);
}

static DWORD temporaryFileAttributes(const void* context)
{
    return GetFileAttributesA(((const Replacement*)context)->tempPath);
}

// WriteFile may report success for fewer bytes than asked, as it does when
// the disk fills: that is a failure, and said as one.
static bool writeAll(HANDLE file, const void* bytes, DWORD count)
{
    DWORD written = 0;
    if (!WriteFile(file, bytes, count, &written, NULL))
        return false;
    if (written != count) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

// The file as `count` pieces written one after another, through a
// temporary file that replaces the destination only when complete. A
// failure leaves the error of the step that failed (GetLastError), so that
// the caller can say why: the removal of the temporary file after it must
// not change it.
static KissWriteResult writeThroughTemporaryFile(const char* path, const void* const* pieces, const DWORD* sizes,
                                                 int count)
{
    char tempPath[MAX_PATH];
    if (isReadOnlyFile(path)) {
        SetLastError(ERROR_ACCESS_DENIED);  // as Windows' own rename would refuse it
        return KISS_NOT_CREATED;
    }
    HANDLE file = createTemporaryFile(path, tempPath);
    if (file == INVALID_HANDLE_VALUE)
        return KISS_NOT_CREATED;

    bool written = true;
    for (int i = 0; i < count && written; ++i)
        written = writeAll(file, pieces[i], sizes[i]);
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    bool closed = CloseHandle(file) != FALSE;
    if (written && !closed)
        error = GetLastError();

    const Replacement replacement = {tempPath, path};
    if (written && closed) {
        if (retryWhileHeld(replaceDestination, destinationAttributes, &replacement))
            return KISS_WRITTEN;
        error = GetLastError();
    }
    retryWhileHeld(removeTemporaryFile, temporaryFileAttributes, &replacement);
    SetLastError(error);
    return KISS_WRITE_FAILED;
}

KissWriteResult writeKissFile(const char* path, const CelHeader& header, const uint8_t* block, DWORD blockBytes)
{
    uint8_t headerBytes[CEL_HEADER_BYTES];
    encodeCelHeader(header, headerBytes);
    const void* pieces[2] = {headerBytes, block};
    const DWORD sizes[2] = {CEL_HEADER_BYTES, blockBytes};
    return writeThroughTemporaryFile(path, pieces, sizes, 2);
}

KissWriteResult writeWholeFile(const char* path, const uint8_t* bytes, DWORD count)
{
    const void* pieces[1] = {bytes};
    return writeThroughTemporaryFile(path, pieces, &count, 1);
}
