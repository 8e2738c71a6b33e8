// The per-user settings store: one remembered registry key and at most one
// open handle to it, so that a caller names the key once and then makes
// one-shot accesses, each of which opens the key when needed and closes it
// again afterwards. All three functions return 1 when the registry reported
// success and 0 otherwise.
//
// porvane's only setting lives here:
//   HKEY_CURRENT_USER\Software\brovald\porvane, value "ChengePallet", REG_DWORD:
//   1 turns palette mode on; any other value, or none, leaves it off.
#ifndef PORVANE_SETTINGS_STORE_H
#define PORVANE_SETTINGS_STORE_H

#include <windows.h>

#define SETTINGS_KEY_PATH "Software\\brovald\\porvane"
#define PALETTE_SETTING_NAME "ChengePallet"

namespace SettingsStore {

// Opens the remembered key when none is open, and closes the key after the
// access. Any other mode uses the key createKey left open and leaves it open.
const DWORD ONE_SHOT = 1;

// The store's open key and remembered key are shared by the whole module. A
// host may break its promise of one call at a time, so every sequence of
// accesses (createKey, then readValue or writeValue) is made between lock()
// and unlock(): another thread's sequence then waits instead of closing this
// one's key. Not re-entrant; nothing between the two may call back into the
// host.
void lock();
void unlock();

// Creates or opens `keyPath` under `root` and keeps the handle open. The root
// and the path (the caller's constant, not a copy) are remembered either way.
int createKey(HKEY root, const char* keyPath);

// Reads value `name` into the caller's 4-byte buffer and its registry type
// into `type`; the type is not examined, and a value longer than 4 bytes
// fails the read.
int readValue(const char* name, DWORD* type, BYTE* data, DWORD mode);

// Writes `size` bytes from `data` as value `name` of registry type `type`.
int writeValue(const char* name, DWORD type, const BYTE* data, DWORD size, DWORD mode);

}

#endif
