#include "path_names.h"
#include "../cel/path_text.h"

#include <windows.h>

// Where the file name starts: after the last separator, or after a drive's colon.
static size_t fileNameStart(const std::string& path)
{
    size_t start = folderPartLength(path.c_str());
    if (start == 0 && path.size() >= 2 && path[1] == ':')
        start = 2;
    return start;
}

// Where the file name's extension starts (npos: it has none).
static size_t extensionStart(const std::string& path)
{
    size_t found = std::string::npos;
    const size_t start = fileNameStart(path);
    for (const char* at = path.c_str() + start; *at != '\0';) {
        const char* next = CharNextA(at);
        if (next - at == 1 && *at == '.' && at != path.c_str() + start)  // ".bmp" alone is a name
            found = at - path.c_str();
        at = next;
    }
    return found;
}

std::string folderPart(const std::string& path)
{
    const size_t start = fileNameStart(path);
    if (start == 0)
        return "";
    const char* begin = path.c_str();
    const char* last = CharPrevA(begin, begin + start);  // the separator or the colon
    if (*last == ':' || last == begin || (last == begin + 2 && begin[1] == ':'))
        return path.substr(0, start);  // a root: "C:", "C:\", "\"
    return path.substr(0, last - begin);
}

std::string nameWithoutExtension(const std::string& path)
{
    const size_t start = fileNameStart(path), extension = extensionStart(path);
    return path.substr(start, extension == std::string::npos ? std::string::npos : extension - start);
}

std::string besideFile(const std::string& path, const std::string& name)
{
    return path.substr(0, fileNameStart(path)) + name;
}

std::string inFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char* last = previousCharacter(folder.c_str(), folder.c_str() + folder.size());
    return isFolderSeparator(last) ? folder + name : folder + "\\" + name;
}

std::string extensionOf(const std::string& path)
{
    const size_t extension = extensionStart(path);
    return extension == std::string::npos ? "" : path.substr(extension);
}
