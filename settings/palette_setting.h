// porvane's one setting, palette mode, as the plug-in and the converter read
// and write it: value PALETTE_SETTING_NAME of key SETTINGS_KEY_PATH under
// HKEY_CURRENT_USER, through the settings store and under its lock. Both
// return 1 when the registry reported success and 0 otherwise.
#ifndef PORVANE_PALETTE_SETTING_H
#define PORVANE_PALETTE_SETTING_H

#include <windows.h>

// The stored value's four bytes as a little-endian number, whatever its
// registry type (the key is created when missing, and left closed).
int readPaletteSetting(DWORD* value);

// Stores `value` as a REG_DWORD, creating the key when missing.
int storePaletteSetting(DWORD value);

// Palette mode is on when the stored value is exactly 1.
const DWORD PALETTE_MODE_ON = 1;

#endif
