// The console, as a native program sees it: it has none. Its standard handles
// are plain files, pipes or terminals, so GetConsoleMode and WriteConsoleW
// fail on them as Windows fails them on a handle that is not a console, and
// GetConsoleProcessList finds no console to list.
#include "native_internal.h"

// The standard handles are 0x10, 0x11 and 0x12 for descriptors 0, 1 and 2.
static const intptr_t firstStandardHandle = 0x10;

HANDLE WINAPI GetStdHandle(DWORD which)
{
    switch (which) {
    case STD_INPUT_HANDLE: return (HANDLE)(firstStandardHandle + 0);
    case STD_OUTPUT_HANDLE: return (HANDLE)(firstStandardHandle + 1);
    case STD_ERROR_HANDLE: return (HANDLE)(firstStandardHandle + 2);
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
}

int NativePlatform::standardDescriptor(HANDLE handle)
{
    intptr_t descriptor = (intptr_t)handle - firstStandardHandle;
    return descriptor >= 0 && descriptor <= 2 ? (int)descriptor : -1;
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
