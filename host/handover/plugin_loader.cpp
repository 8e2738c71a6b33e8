#include "plugin_loader.h"

#include "../system/code_pages.h"
#include "../system/path_names.h"

std::wstring widePluginFileName()
{
    const char* name = PORVANE_XPI;
    return std::wstring(name, name + sizeof PORVANE_XPI - 1);  // plain letters
}

std::wstring identityString(const Plugin& plugin, LONG index)
{
    char identity[MAX_PATH] = "";
    plugin.getPluginInfo(index, identity, sizeof identity);
    return decodeText(identity, CP_ACP);
}

bool pluginBuiltIn()
{
    return GetProcAddress(GetModuleHandleA(NULL), "CreatePicture") != NULL;
}

// The plug-in's file beside the program's own.
static std::wstring besideProgram()
{
    wchar_t program[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(NULL, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return widePluginFileName();
    return besideFile(program, widePluginFileName());
}

template <typename Function>
static bool find(HMODULE module, const char* name, Function* function)
{
    *function = (Function)(void*)GetProcAddress(module, name);
    return *function != NULL;
}

PluginLoad loadPlugin(const std::wstring& requested, Plugin* plugin, std::wstring* file)
{
    *plugin = Plugin{};
    *file = !requested.empty() ? requested : besideProgram();
    plugin->module = LoadLibraryW(file->c_str());
    if (plugin->module == NULL)
        return PLUGIN_NOT_LOADED;
    if (!find(plugin->module, "GetPluginInfo", &plugin->getPluginInfo) ||
        !find(plugin->module, "CreatePicture", &plugin->createPicture) ||
        !find(plugin->module, "ConfigurationDlg", &plugin->configurationDlg)) {
        unloadPlugin(plugin);
        return PLUGIN_NOT_A_PLUGIN;
    }
    return PLUGIN_LOADED;
}

void unloadPlugin(Plugin* plugin)
{
    if (plugin->module != NULL)
        FreeLibrary(plugin->module);
    *plugin = Plugin{};
}
