// Character steps through ANSI text in code page 932, as Windows takes them:
// a lead byte followed by any byte but the terminating zero is one character.
#include <windows.h>

BOOL WINAPI IsDBCSLeadByte(BYTE byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

LPSTR WINAPI CharNextA(LPCSTR at)
{
    if (*at == '\0')
        return (LPSTR)at;
    if (IsDBCSLeadByte((BYTE)at[0]) && at[1] != '\0')
        return (LPSTR)(at + 2);
    return (LPSTR)(at + 1);
}

// Double-byte text cannot be read backwards: the characters are found from
// the start, as Windows does.
LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR at)
{
    LPCSTR previous = start;
    while (previous < at) {
        LPCSTR next = CharNextA(previous);
        if (next >= at || next == previous)
            break;
        previous = next;
    }
    return (LPSTR)previous;
}
