// The palette-mode setting exactly as the registry holds it, read through the
// registry calls themselves, so that a value written with the wrong size or
// type shows as such. Shared by the native and the Wine tests of the dialog:
// both builds offer the same registry calls.
#ifndef PORVANE_STORED_SETTING_H
#define PORVANE_STORED_SETTING_H

#include <windows.h>

#include <stdint.h>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

const char settingsKey[] = "Software\\brovald\\porvane";
const char settingName[] = "ChengePallet";

struct Stored {
    bool present;
    DWORD type;
    std::vector<uint8_t> bytes;
    bool operator==(const Stored& other) const
    {
        return present == other.present && (!present || (type == other.type && bytes == other.bytes));
    }
};

inline void PrintTo(const Stored& stored, std::ostream* out)
{
    if (!stored.present)
        *out << "(no value)";
    else
        *out << "type " << stored.type << ", bytes " << ::testing::PrintToString(stored.bytes);
}

const Stored noValue = {false, 0, {}};
inline Stored dword(uint8_t low) { return Stored{true, REG_DWORD, {low, 0, 0, 0}}; }

inline Stored readStoredSetting()
{
    Stored stored = noValue;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return stored;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, settingName, NULL, &type, NULL, &size) == ERROR_SUCCESS) {
        std::vector<uint8_t> bytes(size + 1);  // never a null buffer, even for an empty value
        if (RegQueryValueExA(key, settingName, NULL, &type, bytes.data(), &size) == ERROR_SUCCESS)
            stored = Stored{true, type, std::vector<uint8_t>(bytes.begin(), bytes.begin() + size)};
    }
    RegCloseKey(key);
    return stored;
}

#endif
