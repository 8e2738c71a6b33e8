#include "folder_entries.h"

#include <algorithm>

#include "path_names.h"

static std::wstring asciiLower(std::wstring name)
{
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c + (L'a' - L'A'));
    return name;
}

int listFolder(const std::wstring& folder, std::vector<FolderEntry>* entries)
{
    entries->clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(inFolder(folder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;  // a drive's root holds not even "." and ".."
    bool more = true;
    while (more) {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries->push_back({name, found.dwFileAttributes,
                                (uint64_t)found.nFileSizeHigh << 32 | found.nFileSizeLow, found.ftLastWriteTime});
        more = FindNextFileW(search, &found) != FALSE;
    }
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        entries->clear();
        SetLastError(error);
        return 0;
    }
    std::sort(entries->begin(), entries->end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::wstring lowerA = asciiLower(a.name), lowerB = asciiLower(b.name);
        return lowerA != lowerB ? lowerA < lowerB : a.name < b.name;
    });
    return 1;
}
