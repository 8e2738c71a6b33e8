// The palette-mode setting exactly as the registry holds it, stored and read
// through the registry calls themselves, so that a value written with the
// wrong size or type shows as such. One set for the native and the Wine tests
// and the fuzz targets: both builds offer the same registry calls. Free of
// gtest (PrintTo needs none).
#ifndef PORVANE_STORED_SETTING_H
#define PORVANE_STORED_SETTING_H

#include <windows.h>

#include <stdint.h>
#include <ostream>
#include <vector>

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
    if (!stored.present) {
        *out << "(no value)";
        return;
    }
    *out << "type " << stored.type << ", bytes {";
    for (size_t i = 0; i < stored.bytes.size(); ++i)
        *out << (i ? ", " : " ") << (unsigned)stored.bytes[i];
    *out << (stored.bytes.empty() ? "}" : " }");
}

const Stored noValue = {false, 0, {}};
inline Stored dword(uint8_t low) { return Stored{true, REG_DWORD, {low, 0, 0, 0}}; }

// Stores the setting with the given type and bytes, making the key if needed.
inline bool storeSetting(DWORD type, const std::vector<uint8_t>& bytes)
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_CURRENT_USER, settingsKey, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, settingName, 0, type, bytes.data(), (DWORD)bytes.size());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

inline bool storeSettingDword(DWORD value)
{
    return storeSetting(REG_DWORD, {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16),
                                    (uint8_t)(value >> 24)});
}

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
