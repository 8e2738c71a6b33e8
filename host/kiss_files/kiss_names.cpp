#include "kiss_names.h"

#include <string.h>

namespace {

bool isLeadByte(uint8_t c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isSecondByte(uint8_t c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c + ('a' - 'A')) : c;
}

const char NAME_PUNCTUATION[] = "_~-&^!";

}  // namespace

size_t sjisCharBytes(const char* at, const char* end)
{
    return end - at >= 2 && isLeadByte((uint8_t)at[0]) && isSecondByte((uint8_t)at[1]) ? 2 : 1;
}

size_t sjisCharCount(const char* begin, const char* end)
{
    size_t count = 0;
    for (const char* at = begin; at < end; at += sjisCharBytes(at, end))
        ++count;
    return count;
}

bool sameKissName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    const char *p = a.data(), *q = b.data(), *end = a.data() + a.size();
    while (p < end) {
        const size_t bytes = sjisCharBytes(p, end);
        if (bytes == 2 ? memcmp(p, q, 2) != 0 : asciiLower(*p) != asciiLower(*q))
            return false;
        p += bytes, q += bytes;
    }
    return true;
}

int findKissFile(const std::string& wanted, const std::vector<std::string>& names)
{
    int caseless = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == wanted)
            return (int)i;
        if (caseless < 0 && sameKissName(names[i], wanted))
            caseless = (int)i;
    }
    return caseless;
}

KissProblem kissNameProblem(const std::string& name, int64_t number[2])
{
    const char *begin = name.data(), *end = begin + name.size();
    size_t character = 0, base = 0, extension = 0;
    bool dot = false;
    for (const char* at = begin; at < end; at += sjisCharBytes(at, end)) {
        ++character;
        const uint8_t c = (uint8_t)*at;
        if (c >= 0x80) {
            number[0] = (int64_t)character;
            return KISS_NAME_NOT_ASCII;
        }
        const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (c == '.' && !dot) {
            dot = true;
            continue;
        }
        if (!letterOrDigit && (c == 0 || strchr(NAME_PUNCTUATION, c) == NULL)) {
            number[0] = (int64_t)character;
            return KISS_NAME_CHARACTER;
        }
        ++(dot ? extension : base);
    }
    if (base > KISS_NAME_BASE_CHARACTERS || extension > KISS_NAME_EXTENSION_CHARACTERS) {
        number[0] = (int64_t)base, number[1] = (int64_t)extension;
        return KISS_NAME_NOT_8_3;
    }
    return KISS_FINE;
}
