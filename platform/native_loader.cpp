// LoadLibraryA for the native reference host: the plug-in is linked into the
// program, so "loading" it runs its module attach and GetProcAddress finds
// the four exports by name.
#include <windows.h>

#include <string.h>

#include "../plugin/plugin_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

static char pluginModule;  // its address serves as the module handle

HMODULE WINAPI LoadLibraryA(LPCSTR /*name*/)
{
    HMODULE module = (HMODULE)&pluginModule;
    DllMain(module, DLL_PROCESS_ATTACH, NULL);
    return module;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module != (HMODULE)&pluginModule)
        return NULL;
    static const struct {
        const char* name;
        FARPROC function;
    } exports[] = {
        {"ConfigurationDlg", (FARPROC)ConfigurationDlg},
        {"CreatePicture", (FARPROC)CreatePicture},
        {"GetPluginInfo", (FARPROC)GetPluginInfo},
        {"IsSupported", (FARPROC)IsSupported},
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
