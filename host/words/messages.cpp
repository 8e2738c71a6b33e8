#include "messages.h"

#include <windows.h>

namespace {

struct Message {
    const wchar_t* english;
    const wchar_t* japanese;
};

constexpr Message messages[] = {
#define M(name, english, japanese) {english, japanese},
#include "message_table.h"
#undef M
};
constexpr bool everyMessageWritten()
{
    for (const Message& message : messages)
        if (message.english[0] == L'\0' || message.japanese[0] == L'\0')
            return false;
    return true;
}
static_assert(everyMessageWritten(), "every message has its English and its Japanese");

// The inserts {1} to {9} a text uses, as bits.
constexpr unsigned insertsUsed(const wchar_t* text)
{
    unsigned used = 0;
    for (; *text != L'\0'; ++text)
        if (text[0] == L'{' && text[1] >= L'1' && text[1] <= L'9' && text[2] == L'}')
            used |= 1u << (text[1] - L'1');
    return used;
}

// A translation that drops or invents an insert loses a file name or a number.
constexpr bool everyTranslationTakesTheSameInserts()
{
    for (const Message& message : messages)
        if (insertsUsed(message.english) != insertsUsed(message.japanese))
            return false;
    return true;
}
static_assert(everyTranslationTakesTheSameInserts(), "each language puts in what the other does");

const WORD JAPANESE = 0x11;  // the primary language of every Japanese LANGID

bool inJapanese()
{
    static const bool japanese = (GetUserDefaultUILanguage() & 0x3FF) == JAPANESE;
    return japanese;
}

}  // namespace

const wchar_t* messagePattern(MessageId id, bool japanese)
{
    return japanese ? messages[id].japanese : messages[id].english;
}

std::wstring groupedNumber(long long value)
{
    std::wstring digits = number(value < 0 ? -value : value), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += L',';
        grouped += digits[i];
    }
    return value < 0 ? L"-" + grouped : grouped;
}

std::wstring text(MessageId id, std::initializer_list<std::wstring> inserts)
{
    return text(id, std::vector<std::wstring>(inserts));
}

std::wstring text(MessageId id, const std::vector<std::wstring>& inserts)
{
    const wchar_t* pattern = messagePattern(id, inJapanese());
    std::wstring out;
    for (const wchar_t* at = pattern; *at != L'\0'; ++at) {
        const size_t which = at[0] == L'{' && at[1] >= L'1' && at[1] <= L'9' && at[2] == L'}' ? at[1] - L'1' : ~(size_t)0;
        if (which < inserts.size()) {
            out += inserts[which];
            at += 2;
        } else {
            out += *at;
        }
    }
    return out;
}
