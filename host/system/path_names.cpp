#include "path_names.h"

static bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Where the file name starts: after the last separator, or after a drive's colon.
static size_t fileNameStart(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos)
        return separator + 1;
    return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// Where the file name's extension starts (npos: it has none).
static size_t extensionStart(const std::wstring& path)
{
    const size_t start = fileNameStart(path), dot = path.rfind(L'.');
    return dot != std::wstring::npos && dot > start ? dot : std::wstring::npos;  // ".bmp" alone is a name
}

std::wstring folderPart(const std::wstring& path)
{
    const size_t start = fileNameStart(path);
    if (start == 0)
        return L"";
    const size_t last = start - 1;  // the separator or the colon
    if (path[last] == L':' || last == 0 || (last == 2 && path[1] == L':'))
        return path.substr(0, start);  // a root: "C:", "C:\", "\"
    return path.substr(0, last);
}

std::wstring fileName(const std::wstring& path)
{
    return path.substr(fileNameStart(path));
}

std::wstring nameWithoutExtension(const std::wstring& path)
{
    const size_t start = fileNameStart(path), extension = extensionStart(path);
    return path.substr(start, extension == std::wstring::npos ? std::wstring::npos : extension - start);
}

std::wstring withoutEndSeparators(const std::wstring& folder)
{
    const size_t last = folder.find_last_not_of(L"\\/");
    if (last == std::wstring::npos)
        return folder.substr(0, 1);  // "\" or nothing
    if (last == 1 && folder[1] == L':')
        return folder.substr(0, 3);  // "C:\" (or "C:")
    return folder.substr(0, last + 1);
}

std::wstring keptFileName(const std::wstring& name, const wchar_t* mark, unsigned number)
{
    const std::wstring stem = nameWithoutExtension(name);
    return stem + mark + (number > 1 ? std::to_wstring(number) : L"") + name.substr(stem.size());
}

std::wstring extensionOf(const std::wstring& path)
{
    const size_t extension = extensionStart(path);
    std::wstring out = extension == std::wstring::npos ? L"" : path.substr(extension);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c + (L'a' - L'A'));
    return out;
}

std::wstring besideFile(const std::wstring& path, const std::wstring& name)
{
    return path.substr(0, fileNameStart(path)) + name;
}

std::wstring inFolder(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || isSeparator(folder.back()))
        return folder + name;
    return folder + L"\\" + name;
}

bool isFullPath(const std::wstring& path)
{
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool share = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
    return drive || share;
}
