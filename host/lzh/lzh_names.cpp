#include "lzh_names.h"

#include "lzh_format.h"

namespace {

bool isDoubleByteLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isDoubleByteTrail(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// The length of the character at `i`: 2 for a lead byte and its trail, else 1.
size_t characterBytes(const std::string& s, size_t i)
{
    return isDoubleByteLead((unsigned char)s[i]) && i + 1 < s.size() && isDoubleByteTrail((unsigned char)s[i + 1])
               ? 2
               : 1;
}

}

LzhProblem plainNameProblem(const std::string& name)
{
    if (name.empty())
        return LZH_NAME_EMPTY;
    if (name.size() > Lzh::kLevel0MaxNameBytes)
        return LZH_NAME_TOO_LONG;
    if (name == "." || name == "..")
        return LZH_NAME_NOT_PLAIN;
    for (size_t i = 0; i < name.size(); i += characterBytes(name, i)) {
        const unsigned char c = (unsigned char)name[i];
        if (characterBytes(name, i) == 2)
            continue;
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':' || isDoubleByteLead(c))
            return LZH_NAME_NOT_PLAIN;
    }
    return LZH_OK;
}

std::string foldedName(const std::string& name)
{
    std::string folded = name;
    for (size_t i = 0; i < folded.size(); i += characterBytes(folded, i))
        if (characterBytes(folded, i) == 1 && folded[i] >= 'a' && folded[i] <= 'z')
            folded[i] = (char)(folded[i] - 'a' + 'A');
    return folded;
}

std::string pathWithSlashes(const std::string& stored)
{
    std::string path = stored;
    for (size_t i = 0; i < path.size(); i += characterBytes(path, i)) {
        const unsigned char c = (unsigned char)path[i];
        if (characterBytes(path, i) == 1 && (c == '\\' || c == Lzh::kFolderSeparator))
            path[i] = '/';
    }
    return path;
}
