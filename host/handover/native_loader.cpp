// Library loading for the native reference host: the plug-in is linked into
// the program, so the program's own module is the plug-in's. "Loading" it
// runs its module attach, and GetProcAddress finds the four exports by name
// in it, as it would in a library that exports them.
#include <windows.h>

#include <string.h>
#include <unistd.h>

#include "../../plugin/plugin_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

static char pluginModule;  // its address serves as the module handle

HMODULE WINAPI LoadLibraryA(LPCSTR /*name*/)
{
    HMODULE module = (HMODULE)&pluginModule;
    DllMain(module, DLL_PROCESS_ATTACH, NULL);
    return module;
}

// Only the program's own module is known by handle; there are no others to name.
HMODULE WINAPI GetModuleHandleA(LPCSTR name)
{
    if (name != NULL) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    return (HMODULE)&pluginModule;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size)
{
    if ((module != NULL && module != (HMODULE)&pluginModule) || size == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    ssize_t length = readlink("/proc/self/exe", name, size);
    if (length < 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    if ((DWORD)length >= size) {  // truncated, and terminated, as Windows does
        name[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    name[length] = '\0';
    return (DWORD)length;
}

HMODULE WINAPI LoadLibraryW(LPCWSTR /*name*/)
{
    return LoadLibraryA(NULL);
}

// The program's file name, from its UTF-8 POSIX name.
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size)
{
    char utf8[4096];
    if (size == 0 || GetModuleFileNameA(module, utf8, sizeof utf8) == 0)
        return 0;
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, name, (int)size);
    if (units == 0) {  // too long for `size`: truncated and terminated, as Windows does
        name[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return (DWORD)units - 1;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module != (HMODULE)&pluginModule)
        return NULL;
    static const struct {
        const char* name;
        FARPROC function;
    } exports[] = {
        {"ConfigurationDlg", (FARPROC)(void*)ConfigurationDlg},
        {"CreatePicture", (FARPROC)(void*)CreatePicture},
        {"GetPluginInfo", (FARPROC)(void*)GetPluginInfo},
        {"IsSupported", (FARPROC)(void*)IsSupported},
    };
    for (const auto& entry : exports)
        if (strcmp(entry.name, name) == 0)
            return entry.function;
    return NULL;
}

BOOL WINAPI FreeLibrary(HMODULE module)
{
    return module == (HMODULE)&pluginModule;
}
