#include "settings_store.h"

namespace SettingsStore {

static HKEY openKey = NULL;
static HKEY rememberedRoot = NULL;
static const char* rememberedPath = NULL;

// 1 while a thread holds the store. A spin lock needs no setting up (a
// critical section would have to be initialised at attach, before any
// export), and it is only ever held for a few registry calls.
static volatile LONG busy = 0;

void lock()
{
    while (InterlockedExchange(&busy, 1) != 0)
        Sleep(0);  // give the holder the processor
}

void unlock()
{
    InterlockedExchange(&busy, 0);
}

int createKey(HKEY root, const char* keyPath)
{
    rememberedRoot = root;
    rememberedPath = keyPath;
    if (openKey != NULL) {  // never left open by the plug-in itself, but never leaked either
        RegCloseKey(openKey);
        openKey = NULL;
    }
    HKEY key = NULL;
    if (RegCreateKeyA(root, keyPath, &key) != ERROR_SUCCESS)
        return 0;
    openKey = key;
    return 1;
}

// The key an access goes through, or NULL when there is none to use.
static HKEY beginAccess(DWORD mode)
{
    if (mode != ONE_SHOT || openKey != NULL)
        return openKey;
    HKEY key = NULL;
    if (rememberedPath == NULL || RegOpenKeyExA(rememberedRoot, rememberedPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

static void endAccess(HKEY key, DWORD mode)
{
    if (mode != ONE_SHOT)
        return;
    RegCloseKey(key);
    openKey = NULL;
}

int readValue(const char* name, DWORD* type, BYTE* data, DWORD mode)
{
    HKEY key = beginAccess(mode);
    if (key == NULL)
        return 0;
    DWORD size = 4;
    LONG result = RegQueryValueExA(key, name, NULL, type, data, &size);
    endAccess(key, mode);
    return result == ERROR_SUCCESS ? 1 : 0;
}

int writeValue(const char* name, DWORD type, const BYTE* data, DWORD size, DWORD mode)
{
    HKEY key = beginAccess(mode);
    if (key == NULL)
        return 0;
    LONG result = RegSetValueExA(key, name, 0, type, data, size);
    endAccess(key, mode);
    return result == ERROR_SUCCESS ? 1 : 0;
}

}
