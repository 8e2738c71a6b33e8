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

// NAME-old.EXT, NAME-old2.EXT, ...: the first name beside `path` that is free.
static std::wstring oldName(const std::wstring& path)
{
    const std::wstring stem = nameWithoutExtension(path), extension = fileName(path).substr(stem.size());
    std::wstring name;
    for (int n = 1; n <= OLD_NAME_TRIES; ++n) {
        name = besideFile(path, stem + L"-old" + (n > 1 ? std::to_wstring(n) : L"") + extension);
        if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    return name;
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
    if (there) {
        placing.kept = oldName(path);
        if (!MoveFileExW(path.c_str(), placing.kept.c_str(), 0)) {
            placing.problem = diagnoseWriteFailure(path, GetLastError());
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
