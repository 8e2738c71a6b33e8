#include "picture_list.h"
#include "../system/file_access.h"
#include "../system/path_names.h"
#include "read_picture.h"

#include <windows.h>

#include <algorithm>

bool hasWildcard(const std::wstring& name)
{
    return fileName(name).find_first_of(L"*?") != std::wstring::npos;
}

static bool isKissFile(const std::wstring& path)
{
    const std::wstring extension = extensionOf(path);
    return extension == kissExtension(KISS_CEL_EXTENSION) || extension == kissExtension(KISS_PALETTE_EXTENSION) ||
           extension == kissExtension(KISS_CONFIGURATION_EXTENSION);
}

// A name with a picture's extension is a picture; any other is one when its
// first bytes are a picture's.
static bool looksLikePicture(const std::wstring& path)
{
    if (hasPictureExtension(path))
        return true;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint8_t start[16] = {0};
    DWORD got = 0;
    const bool read = ReadFile(file, start, sizeof start, &got, NULL) != FALSE;
    CloseHandle(file);
    return read && isPictureStart(start, got);
}

static void sortOut(const std::wstring& path, PictureList* list)
{
    if (isKissFile(path))
        ++list->kissFiles;
    else if (looksLikePicture(path))
        list->pictures.push_back(path);
    else
        ++list->otherFiles;
}

// The files (not folders) matching `pattern`, in name order.
static std::vector<std::wstring> matchingFiles(const std::wstring& pattern, const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    auto lower = [](std::wstring name) {
        for (wchar_t& c : name)
            if (c >= L'A' && c <= L'Z')
                c = (wchar_t)(c + (L'a' - L'A'));
        return name;
    };
    std::sort(names.begin(), names.end(),
              [&](const std::wstring& a, const std::wstring& b) { return lower(a) < lower(b) || (lower(a) == lower(b) && a < b); });
    for (std::wstring& name : names)
        name = folder.empty() ? name : inFolder(folder, name);
    return names;
}

PictureList listPictures(const std::vector<std::wstring>& names)
{
    PictureList list;
    for (const std::wstring& name : names) {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        std::vector<std::wstring> files;
        if (hasWildcard(name)) {
            files = matchingFiles(name, folderPart(name));
            if (files.empty())
                list.unmatched.push_back(name);
        } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files = matchingFiles(inFolder(name, L"*"), name);
        } else if (attributes == INVALID_FILE_ATTRIBUTES) {
            list.pictures.push_back(name);  // its line says there is no such file
        } else {
            files.push_back(name);
        }
        for (const std::wstring& file : files)
            sortOut(file, &list);
    }
    return list;
}
