// Splitting a destination path, which is text in the ANSI code page.
//
// The host hands porvane its destination as ANSI text: code page 932
// (Shift_JIS) for most of porvane's users. There a character may take two
// bytes, and the second one may be 0x5C, the byte of a backslash: ソ is
// 83 5C, 表 is 95 5C. So a path is walked character by character, never byte
// by byte, and only a character of its own is a folder separator (a
// backslash or, as Windows also accepts, a slash) or a full stop.
#ifndef PORVANE_PATH_TEXT_H
#define PORVANE_PATH_TEXT_H

// True when the character at `at` separates folders.
bool isFolderSeparator(const char* at);

// Bytes of `path` up to and including its last folder separator; 0 when the
// path names no folder.
int folderPartLength(const char* path);

// The start of the character before the one at `at`, or `start` itself.
const char* previousCharacter(const char* start, const char* at);

#endif
