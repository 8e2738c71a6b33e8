#include "code_pages.h"

#include <vector>

std::string encodeText(const std::wstring& text, UINT codePage, bool* lost)
{
    // A flag, or asking what was lost, is refused for UTF-8, which loses nothing.
    const DWORD flags = lost != NULL && codePage != CP_UTF8 ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL replaced = FALSE;
    BOOL* asked = lost != NULL && codePage != CP_UTF8 ? &replaced : NULL;
    const int bytes = WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), NULL, 0, NULL, asked);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), &out[0], bytes, NULL, asked);
    if (lost != NULL)
        *lost = replaced != FALSE || (bytes <= 0 && !text.empty());
    return out;
}

std::wstring decodeText(const char* text, UINT codePage)
{
    const int units = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    std::vector<wchar_t> wide(units > 0 ? units : 1, L'\0');
    if (units > 0)
        MultiByteToWideChar(codePage, 0, text, -1, wide.data(), units);
    return wide.data();
}
