// The converter works in UTF-16; the plug-in takes and gives ANSI text, a
// KiSS viewer reads its configuration in the ANSI code page, and output that
// is not a console's is UTF-8. These two convert.
#ifndef PORVANE_CODE_PAGES_H
#define PORVANE_CODE_PAGES_H

#include <windows.h>

#include <string>

// KiSS configurations and the names in LZH archives are Shift_JIS, code page
// 932, whatever the user's own code page: the dolls and archivers are
// Japanese.
const UINT CP_SHIFT_JIS = 932;

// `text` in `codePage` (CP_ACP, CP_SHIFT_JIS or CP_UTF8). What the code page cannot hold
// becomes '?'; with `lost`, nothing is replaced by a look-alike either, and
// `*lost` tells whether anything was.
std::string encodeText(const std::wstring& text, UINT codePage, bool* lost = NULL);

// Zero-terminated `text` in `codePage`, in UTF-16.
std::wstring decodeText(const char* text, UINT codePage);

#endif
