// Character steps through ANSI text in code page 932, as Windows takes them:
// a lead byte followed by any byte but the terminating zero is one character.
//
// Conversions between code page 932 or UTF-8 and wide text, through iconv.
// Wide text is wchar_t, UTF-32 here ("WCHAR_T" to iconv), so lengths count
// wchar_t units: a character beyond U+FFFF is one unit here, two on Windows.
#include "native_internal.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>
#include <wchar.h>

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

namespace {

// The ANSI code page is 932, which may also be named by its number.
const char* iconvName(UINT codePage)
{
    return codePage == CP_UTF8 ? "UTF-8" : codePage == CP_ACP || codePage == 932 ? "CP932" : nullptr;
}

const char replacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Decodes `length` bytes to wide text. An undecodable byte becomes U+FFFD
// when `replace` is set (as Windows decodes UTF-8), else fails the whole.
bool decode(const char* encoding, const char* text, size_t length, bool replace, std::wstring* wide)
{
    iconv_t converter = iconv_open("WCHAR_T", encoding);
    if (converter == (iconv_t)-1)
        return false;
    wide->clear();
    char* in = (char*)text;
    size_t inLeft = length;
    bool decoded = true;
    while (inLeft > 0) {
        wchar_t buffer[64];
        char* out = (char*)buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        wide->append(buffer, (wchar_t*)out - buffer);
        if (result != (size_t)-1 || errno == E2BIG)
            continue;
        if (!replace) {  // EILSEQ, or EINVAL for a sequence cut by the end
            decoded = false;
            break;
        }
        *wide += L'\xFFFD';
        ++in, --inLeft;
    }
    iconv_close(converter);
    return decoded;
}

// Encodes one wide character; false when the encoding has no bytes for it.
// With `exactly`, a character that iconv only approximates (a best fit,
// such as U+00A5 for 0x5C in 932) counts as having none.
bool encodeOne(iconv_t to, iconv_t back, wchar_t character, bool exactly, std::string* text)
{
    char bytes[8];
    char* in = (char*)&character;
    char* out = bytes;
    size_t inLeft = sizeof character, outLeft = sizeof bytes;
    iconv(to, NULL, NULL, NULL, NULL);
    if (iconv(to, &in, &inLeft, &out, &outLeft) == (size_t)-1)
        return false;
    if (exactly) {
        wchar_t again[2];
        char* from = bytes;
        char* into = (char*)again;
        size_t fromLeft = out - bytes, intoLeft = sizeof again;
        iconv(back, NULL, NULL, NULL, NULL);
        if (iconv(back, &from, &fromLeft, &into, &intoLeft) == (size_t)-1 ||
            (wchar_t*)into != again + 1 || again[0] != character)
            return false;
    }
    text->append(bytes, out);
    return true;
}

// Encodes wide text; a character the encoding cannot hold becomes
// `substitute`, and `*substituted` says whether one did.
bool encode(const char* encoding, const wchar_t* wide, size_t length, bool exactly, const std::string& substitute,
            std::string* text, bool* substituted)
{
    iconv_t to = iconv_open(encoding, "WCHAR_T");
    iconv_t back = iconv_open("WCHAR_T", encoding);
    const bool opened = to != (iconv_t)-1 && back != (iconv_t)-1;
    text->clear();
    *substituted = false;
    for (size_t i = 0; opened && i < length; ++i)
        if (!encodeOne(to, back, wide[i], exactly, text)) {
            *text += substitute;
            *substituted = true;
        }
    if (to != (iconv_t)-1)
        iconv_close(to);
    if (back != (iconv_t)-1)
        iconv_close(back);
    return opened;
}

// Copies a conversion's result out as Windows does: a zero length asks for
// the length needed; too small a buffer is ERROR_INSUFFICIENT_BUFFER.
template <typename Unit> int copyOut(const std::basic_string<Unit>& converted, Unit* to, int length)
{
    if (length == 0)
        return (int)converted.size();
    if (converted.size() > (size_t)length) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(to, converted.data(), converted.size() * sizeof(Unit));
    return (int)converted.size();
}

}

std::string NativePlatform::utf8Text(const std::wstring& wide)
{
    std::string text;
    bool substituted;
    encode("UTF-8", wide.data(), wide.size(), false, replacementCharacter, &text, &substituted);
    return text;
}

std::wstring NativePlatform::wideText(const std::string& utf8)
{
    std::wstring wide;
    decode("UTF-8", utf8.data(), utf8.size(), true, &wide);
    return wide;
}

// Code page 932 or UTF-8, flags 0. A length of -1 includes the terminating
// zero. Bytes that are no UTF-8 become U+FFFD, as on Windows; text that is no
// code page 932 fails with ERROR_GEN_FAILURE, where Windows would substitute.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideLength)
{
    const char* encoding = iconvName(codePage);
    if (encoding == nullptr || text == NULL || length == 0 || wideLength < 0 || (wide == NULL && wideLength != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (flags != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    std::wstring converted;
    if (!decode(encoding, text, length < 0 ? strlen(text) + 1 : (size_t)length, codePage == CP_UTF8, &converted)) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    return copyOut(converted, wide, wideLength);
}

// Code page 932 with flags 0 or WC_NO_BEST_FIT_CHARS, or UTF-8 with flags 0
// and neither default character nor its flag, as Windows asks. A character
// 932 cannot hold becomes `defaultChar` (by default '?') and sets
// *usedDefault; one UTF-8 cannot (a lone surrogate) becomes U+FFFD. Flags 0
// allow iconv's few best fits (U+00A5 as 0x5C, U+301C as 0x8160), not
// Windows' whole table of them.
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int textLength,
                               LPCSTR defaultChar, BOOL* usedDefault)
{
    const char* encoding = iconvName(codePage);
    if (encoding == nullptr || wide == NULL || length == 0 || textLength < 0 || (text == NULL && textLength != 0) ||
        (codePage == CP_UTF8 && (defaultChar != NULL || usedDefault != NULL))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((flags & ~(DWORD)WC_NO_BEST_FIT_CHARS) != 0 || (codePage == CP_UTF8 && flags != 0)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const std::string substitute = codePage == CP_UTF8 ? replacementCharacter
                                   : defaultChar != NULL ? std::string(defaultChar, (LPCSTR)CharNextA(defaultChar))
                                                         : "?";
    std::string converted;
    bool substituted;
    if (!encode(encoding, wide, length < 0 ? wcslen(wide) + 1 : (size_t)length, (flags & WC_NO_BEST_FIT_CHARS) != 0,
                substitute, &converted, &substituted)) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    if (usedDefault != NULL)
        *usedDefault = substituted;
    return copyOut(converted, text, textLength);
}
