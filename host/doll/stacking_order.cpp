#include "stacking_order.h"

#include <stdint.h>

#include <algorithm>

#include "../system/path_names.h"

namespace {

const uint32_t FULL_WIDTH_ZERO = 0xFF10;

// The digit `c` stands for, ASCII or full-width; -1 for any other character.
int digitOf(wchar_t unit)
{
    const uint32_t c = (uint32_t)unit;
    if (c >= '0' && c <= '9')
        return (int)(c - '0');
    return c >= FULL_WIDTH_ZERO && c <= FULL_WIDTH_ZERO + 9 ? (int)(c - FULL_WIDTH_ZERO) : -1;
}

struct Picture {
    std::wstring name;    // without its folder
    bool numbered;        // the name starts with a digit
    std::string number;   // its leading number's digits in ASCII, without leading zeros (0 is "")
};

Picture pictureOf(const std::wstring& path)
{
    Picture picture{fileName(path), false, ""};
    for (wchar_t c : picture.name) {
        const int digit = digitOf(c);
        if (digit < 0)
            break;
        picture.numbered = true;
        if (digit != 0 || !picture.number.empty())
            picture.number += (char)('0' + digit);
    }
    return picture;
}

// Numbers of any length compared by value: the longer is larger, then digit by digit.
bool numberBelow(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

uint32_t caseless(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? (uint32_t)(c + (L'a' - L'A')) : (uint32_t)c;
}

// Name order as a folder lists it: ASCII letters without regard to case,
// then by character code. Compared a character at a time, not through
// std::wstring's compare, whose vector wmemcmp valgrind takes for reads past
// the end.
bool nameBelow(const std::wstring& a, const std::wstring& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i)
        if (caseless(a[i]) != caseless(b[i]))
            return caseless(a[i]) < caseless(b[i]);
    if (a.size() != b.size())
        return a.size() < b.size();
    for (size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return (uint32_t)a[i] < (uint32_t)b[i];
    return false;
}

}  // namespace

std::vector<size_t> stackingOrder(const std::vector<std::wstring>& fileNames, bool* namesSayTheOrder)
{
    std::vector<Picture> pictures;
    pictures.reserve(fileNames.size());
    for (const std::wstring& name : fileNames)
        pictures.push_back(pictureOf(name));
    const bool byNumber = std::all_of(pictures.begin(), pictures.end(), [](const Picture& p) { return p.numbered; });
    std::vector<size_t> order(pictures.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        const Picture &a = pictures[i], &b = pictures[j];
        if (byNumber && a.number != b.number)
            return numberBelow(a.number, b.number);
        return nameBelow(a.name, b.name);
    });
    if (namesSayTheOrder != NULL)
        *namesSayTheOrder = byNumber || pictures.size() < 2;
    return order;
}
