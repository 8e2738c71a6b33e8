#include "path_text.h"

#include <windows.h>

bool isFolderSeparator(const char* at)
{
    return *at == '\\' || *at == '/';
}

int folderPartLength(const char* path)
{
    const char* folderEnd = path;
    for (const char* at = path; *at != '\0'; at = CharNextA(at))
        if (isFolderSeparator(at))
            folderEnd = at + 1;
    return (int)(folderEnd - path);
}

const char* previousCharacter(const char* start, const char* at)
{
    return CharPrevA(start, at);
}
