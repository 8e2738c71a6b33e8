// Taking the converter's paths apart. They are UTF-16, where a backslash or
// a slash is always a character of its own (no unit of another character
// can be 0x5C), so a path is walked a unit at a time. The ANSI paths the
// plug-in takes are walked with cel/path_text.h instead.
#ifndef PORVANE_PATH_NAMES_H
#define PORVANE_PATH_NAMES_H

#include <string.h>

#include <string>

#include "../../cel/cel_format.h"

// The folder part of `path` without its last separator, except for a root
// ("C:\", "\") which keeps it; "C:" for "C:name"; empty when there is none.
std::wstring folderPart(const std::wstring& path);

// True for a name that says where it is whatever the current folder:
// "C:\dolls\a.png", "\\server\share\a.png".
bool isFullPath(const std::wstring& path);

// The file name, without its folder.
std::wstring fileName(const std::wstring& path);

// The file name without its extension (the part from its last full stop).
std::wstring nameWithoutExtension(const std::wstring& path);

// The file name's extension from its last full stop (".bmp"), in lower case
// for ASCII letters; empty when it has none.
std::wstring extensionOf(const std::wstring& path);

// `name` with `mark` and, from 2 on, `number` before its extension:
// keptFileName(L"doll.cnf", L"-edited", 2) is L"doll-edited2.cnf". The names
// under which a file she had is kept beside the one that replaces it.
std::wstring keptFileName(const std::wstring& name, const wchar_t* mark, unsigned number);

// A folder's name without the separators it may end with (`layers\` as
// Explorer's and PowerShell's completion gives it is `layers`), so that what
// lies beside it is beside it, not in it; a root ("C:\", "\") stays.
std::wstring withoutEndSeparators(const std::wstring& folder);

// `path`'s folder part, kept with its separator, followed by `name`.
std::wstring besideFile(const std::wstring& path, const std::wstring& name);

// `name` in `folder`, with a backslash between them when needed.
std::wstring inFolder(const std::wstring& folder, const std::wstring& name);

// A KiSS file's extension (cel_format.h: KISS_PALETTE_EXTENSION, ...) in UTF-16.
inline std::wstring kissExtension(const char* extension)
{
    return std::wstring(extension, extension + strlen(extension));
}
inline std::wstring kissPaletteExtension()
{
    return kissExtension(KISS_PALETTE_EXTENSION);
}

#endif
