#include "failure_words.h"
#include "path_names.h"

#include "../plugin/host_records.h"

std::string whyNotOpened(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "there is no such file";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "it is in use by another program";
    case ERROR_ACCESS_DENIED:
        return "it cannot be opened (a folder, or no permission to read it)";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "not enough memory to read it";
    default:
        return "it cannot be read (Windows error " + std::to_string(error) + ")";
    }
}

std::string whyNotWritten(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const std::string folder = folderPart(path);
        const DWORD folderAttributes = folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesA(folder.c_str());
        if (folderAttributes == INVALID_FILE_ATTRIBUTES)
            return "its folder " + folder + " does not exist";
        if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return folder + " is a file, not a folder";
        return "the file cannot be created there";
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return "it is a folder: give a file name, or put the folder after --to";
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return "it is read-only: clear its read-only setting, or choose another name";
    // Opening a file to share it with no one fails while anyone has it open.
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (probe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? "it is in use by another program: close it there first"
                                                          : "it cannot be opened";
    CloseHandle(probe);
    return "it cannot be replaced";
}

std::string exportStatusInWords(LONG status, const std::string& destination)
{
    switch (status) {
    case EXPORT_OK: return "written";
    case EXPORT_ABORTED: return "stopped by the progress callback";
    case EXPORT_NO_MEMORY: return "not enough memory for this picture";
    case EXPORT_WRITE_ERROR: return whyNotWritten(destination);
    default: return "the plug-in answered " + std::to_string(status);
    }
}
