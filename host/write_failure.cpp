#include "write_failure.h"
#include "path_names.h"

#include <windows.h>

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
