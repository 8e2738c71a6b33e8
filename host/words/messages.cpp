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
static_assert(sizeof messages / sizeof messages[0] == MESSAGE_COUNT, "one row a message");

constexpr bool everyMessageWritten()
{
    for (const Message& message : messages)
        if (message.english[0] == L'\0' || message.japanese[0] == L'\0')
            return false;
    return true;
}
static_assert(everyMessageWritten(), "every message has its English and its Japanese");

const WORD JAPANESE = 0x11;  // the primary language of every Japanese LANGID

bool inJapanese()
{
    static const bool japanese = (GetUserDefaultUILanguage() & 0x3FF) == JAPANESE;
    return japanese;
}

}  // namespace

std::wstring text(MessageId id, std::initializer_list<std::wstring> inserts)
{
    const wchar_t* pattern = inJapanese() ? messages[id].japanese : messages[id].english;
    std::wstring out;
    for (const wchar_t* at = pattern; *at != L'\0'; ++at) {
        const size_t which = at[0] == L'{' && at[1] >= L'1' && at[1] <= L'9' && at[2] == L'}' ? at[1] - L'1' : ~(size_t)0;
        if (which < inserts.size()) {
            out += inserts.begin()[which];
            at += 2;
        } else {
            out += *at;
        }
    }
    return out;
}
