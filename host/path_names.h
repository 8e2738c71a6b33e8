// Taking paths apart. Paths are text in the ANSI code page (932, Shift_JIS,
// for most users), where the second byte of a double-byte character can be
// 0x5C, the backslash: they are walked a character at a time with
// CharNextA, never byte by byte. Both `\` and `/` separate folders.
#ifndef PORVANE_PATH_NAMES_H
#define PORVANE_PATH_NAMES_H

#include <string>

// The folder part of `path` without its last separator, except for a root
// ("C:\", "\") which keeps it; "C:" for "C:name"; empty when there is none.
std::string folderPart(const std::string& path);

// The file name without its extension (the part from its last full stop).
std::string nameWithoutExtension(const std::string& path);

// `path`'s folder part, kept with its separator, followed by `name`.
std::string besideFile(const std::string& path, const std::string& name);

// `name` in `folder`, with a backslash between them when needed.
std::string inFolder(const std::string& folder, const std::string& name);

// The file name's extension from its last full stop (".bmp"); empty when it has none.
std::string extensionOf(const std::string& path);

#endif
