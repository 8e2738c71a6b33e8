// What porvane-host says, in the user's language: Japanese when Windows'
// interface language is Japanese (GetUserDefaultUILanguage), English
// otherwise. The texts are in message_table.h.
#ifndef PORVANE_MESSAGES_H
#define PORVANE_MESSAGES_H

#include <initializer_list>
#include <string>
#include <vector>

enum MessageId {
#define M(name, english, japanese) MSG_##name,
#include "message_table.h"
#undef M
    MESSAGE_COUNT
};

// The message with {1}, {2}, ... replaced by `inserts`, in order.
std::wstring text(MessageId id, std::initializer_list<std::wstring> inserts = {});
std::wstring text(MessageId id, const std::vector<std::wstring>& inserts);

// The message's text in one language, with {1}, {2}, ... as they stand.
const wchar_t* messagePattern(MessageId id, bool japanese);

// A number as the message puts it in: "65535", and with its thousands
// grouped for a limit a doll maker reads, "65,535".
inline std::wstring number(long long value) { return std::to_wstring(value); }
std::wstring groupedNumber(long long value);

#endif
