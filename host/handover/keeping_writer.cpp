#include "keeping_writer.h"

#include <algorithm>

#include "../system/file_access.h"
#include "../system/path_names.h"

enum { OLD_NAME_TRIES = 1000 };

static bool sameBytes(const std::wstring& path, const uint8_t* bytes, size_t size)
{
    FileBytes there;
    if (!readWholeFile(path.c_str(), &there))
        return false;
    const bool same = there.size == size && std::equal(bytes, bytes + size, there.data);
    freeFileBytes(&there);
    return same;
}

// Moves `path` to NAME-old.EXT beside it, or NAME-old2.EXT, ...: the first
// name that is free. False, with GetLastError() saying why, when it cannot.
static bool moveToOldName(const std::wstring& path, std::wstring* keptAs)
{
    for (unsigned n = 1; n <= OLD_NAME_TRIES; ++n) {
        *keptAs = besideFile(path, keptFileName(fileName(path), L"-old", n));
        if (MoveFileExW(path.c_str(), keptAs->c_str(), 0))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

Placing placeKeepingOld(const uint8_t* bytes, size_t size, const std::wstring& path, const ProtectedFiles& protectedFiles)
{
    Placing placing;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool there = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (there && sameBytes(path, bytes, size)) {
        placing.placed = PLACED_ALREADY_THERE;
        return placing;
    }
    // What the writer would refuse is refused before anything moves: the
    // picture being converted, and a file she made read-only.
    if (there && isProtected(path, protectedFiles)) {
        placing.problem = {WRITE_IS_A_PICTURE, path};
        return placing;
    }
    if (there && (attributes & FILE_ATTRIBUTE_READONLY)) {
        placing.problem = {WRITE_READ_ONLY, path};
        return placing;
    }
    if (there) {
        if (!moveToOldName(path, &placing.kept)) {
            placing.problem = diagnoseWriteFailure(path, GetLastError());
            placing.kept.clear();
            return placing;
        }
    }
    placing.problem = writeBytesFile(bytes, size, path, protectedFiles);
    if (placing.problem.code == WRITE_DONE) {
        placing.placed = there ? PLACED_OLD_KEPT : PLACED_NEW;
        return placing;
    }
    if (there)
        MoveFileExW(placing.kept.c_str(), path.c_str(), 0);  // as it was
    placing.kept.clear();
    return placing;
}
