// What porvane-host says, in the user's language: Japanese when Windows'
// interface language is Japanese (GetUserDefaultUILanguage), English
// otherwise. The texts are in message_table.h.
#ifndef PORVANE_MESSAGES_H
#define PORVANE_MESSAGES_H

#include <initializer_list>
#include <string>

enum MessageId {
#define M(name, english, japanese) MSG_##name,
#include "message_table.h"
#undef M
    MESSAGE_COUNT
};

// The message with {1}, {2}, ... replaced by `inserts`, in order.
std::wstring text(MessageId id, std::initializer_list<std::wstring> inserts = {});

// A number as the message puts it in.
inline std::wstring number(long long value) { return std::to_wstring(value); }

#endif
