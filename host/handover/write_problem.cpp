#include "write_problem.h"

#include "../system/path_names.h"

// What stands at `path` says why, where the error alone does not.
static WriteProblem fromWhatIsThere(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const std::wstring folder = folderPart(path);
        const DWORD folderAttributes = folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(folder.c_str());
        if (folderAttributes == INVALID_FILE_ATTRIBUTES)
            return {WRITE_FOLDER_MISSING, folder};
        if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return {WRITE_FOLDER_IS_FILE, folder};
        return {WRITE_CANNOT_CREATE, path};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {WRITE_NAME_IS_FOLDER, path};
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return {WRITE_READ_ONLY, path};
    // Opening a file to share it with no one fails while anyone has it open.
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (probe == INVALID_HANDLE_VALUE)
        return {GetLastError() == ERROR_SHARING_VIOLATION ? WRITE_HELD_BY_ANOTHER : WRITE_CANNOT_REPLACE, path};
    CloseHandle(probe);
    return {WRITE_CANNOT_REPLACE, path};
}

WriteProblem diagnoseWriteFailure(const std::wstring& path, DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {WRITE_DISK_FULL, path};
    case ERROR_WRITE_PROTECT:
        return {WRITE_DISK_READ_ONLY, path};
    case ERROR_FILENAME_EXCED_RANGE:
        return {WRITE_NAME_TOO_LONG, path};
    case ERROR_INVALID_NAME:
        return {WRITE_NAME_NOT_ALLOWED, path};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return {WRITE_NO_MEMORY, path};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {WRITE_HELD_BY_ANOTHER, path};
    case ERROR_ACCESS_DENIED: {
        // A read-only file, a folder at the name, or a folder the user may
        // not write to: what stands there tells them apart.
        WriteProblem problem = fromWhatIsThere(path);
        if (problem.code == WRITE_CANNOT_CREATE)
            problem.code = WRITE_NO_PERMISSION;
        return problem;
    }
    default:
        return fromWhatIsThere(path);
    }
}
