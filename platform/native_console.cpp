// The console, as a native program sees it: it has none. Its standard handles
// are plain files, pipes or terminals, so GetConsoleMode and WriteConsoleW
// fail on them as Windows fails them on a handle that is not a console, and
// GetConsoleProcessList finds no console to list.
//
// MultiByteToWideChar turns code page 932 text into UTF-16 through iconv.
#include <windows.h>

#include <errno.h>
#include <iconv.h>
#include <string.h>

#include <vector>

HANDLE WINAPI GetStdHandle(DWORD which)
{
    switch (which) {
    case STD_INPUT_HANDLE: return (HANDLE)(intptr_t)0x10;
    case STD_OUTPUT_HANDLE: return (HANDLE)(intptr_t)0x11;
    case STD_ERROR_HANDLE: return (HANDLE)(intptr_t)0x12;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
}

BOOL WINAPI GetConsoleMode(HANDLE /*console*/, LPDWORD /*mode*/)
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL WINAPI WriteConsoleW(HANDLE /*console*/, const void* /*text*/, DWORD /*length*/, LPDWORD written,
                          LPVOID /*reserved*/)
{
    if (written != NULL)
        *written = 0;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

DWORD WINAPI GetConsoleProcessList(LPDWORD /*processes*/, DWORD /*count*/)
{
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

// Only CP_ACP (932) and flags 0. A length of -1 includes the terminating
// zero; a wide length of 0 asks for the length needed.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, WCHAR* wide, int wideLength)
{
    if (codePage != CP_ACP || flags != 0 || text == NULL || wideLength < 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    size_t inLeft = length < 0 ? strlen(text) + 1 : (size_t)length;
    std::vector<char> converted(inLeft * 2 + 2);  // a 932 character never needs more than one UTF-16 unit per byte
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == (iconv_t)-1) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    char* in = (char*)text;
    char* out = converted.data();
    size_t outLeft = converted.size();
    size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == (size_t)-1) {
        SetLastError(ERROR_GEN_FAILURE);  // Windows substitutes; the native build only reports it
        return 0;
    }
    int units = (int)((converted.size() - outLeft) / 2);
    if (wideLength == 0)
        return units;
    if (units > wideLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < units; ++i)
        wide[i] = (WCHAR)((uint8_t)converted[2 * i] | (uint8_t)converted[2 * i + 1] << 8);
    return units;
}
