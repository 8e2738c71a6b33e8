#include "palette_setting.h"
#include "settings_store.h"

int readPaletteSetting(DWORD* value)
{
    DWORD type = 0;
    BYTE data[4] = {0, 0, 0, 0};
    SettingsStore::lock();
    SettingsStore::createKey(HKEY_CURRENT_USER, SETTINGS_KEY_PATH);
    int read = SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, SettingsStore::ONE_SHOT);
    SettingsStore::unlock();
    *value = read ? (DWORD)data[0] | (DWORD)data[1] << 8 | (DWORD)data[2] << 16 | (DWORD)data[3] << 24 : 0;
    return read;
}

int storePaletteSetting(DWORD value)
{
    SettingsStore::lock();
    int stored = SettingsStore::createKey(HKEY_CURRENT_USER, SETTINGS_KEY_PATH) &&
                 SettingsStore::writeValue(PALETTE_SETTING_NAME, REG_DWORD, (const BYTE*)&value, sizeof value,
                                           SettingsStore::ONE_SHOT);
    SettingsStore::unlock();
    return stored;
}
