#include "failure_words.h"
#include "messages.h"
#include "../system/path_names.h"

#include "../../base/host_records.h"

std::wstring whyNotOpened(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return text(MSG_NO_SUCH_FILE);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return text(MSG_IN_USE);
    case ERROR_ACCESS_DENIED:
        return text(MSG_CANNOT_OPEN);
    case ERROR_NOT_ENOUGH_MEMORY:
        return text(MSG_NO_MEMORY_TO_READ);
    default:
        return text(MSG_CANNOT_READ);
    }
}

std::wstring whyNotWritten(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const std::wstring folder = folderPart(path);
        const DWORD folderAttributes = folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(folder.c_str());
        if (folderAttributes == INVALID_FILE_ATTRIBUTES)
            return text(MSG_FOLDER_MISSING, {folder});
        if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return text(MSG_FOLDER_IS_FILE, {folder});
        return text(MSG_CANNOT_CREATE_THERE);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return text(MSG_NAME_IS_FOLDER);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return text(MSG_READ_ONLY);
    // Opening a file to share it with no one fails while anyone has it open.
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (probe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? text(MSG_HELD_BY_ANOTHER) : text(MSG_CANNOT_BE_OPENED);
    CloseHandle(probe);
    return text(MSG_CANNOT_BE_REPLACED);
}

std::wstring exportStatusInWords(LONG status, const std::wstring& destination)
{
    switch (status) {
    case EXPORT_ABORTED: return text(MSG_STOPPED);
    case EXPORT_NO_MEMORY: return text(MSG_NO_MEMORY);
    case EXPORT_WRITE_ERROR: return whyNotWritten(destination);
    default: return text(MSG_PLUGIN_ANSWERED, {number(status)});
    }
}
