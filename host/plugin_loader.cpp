#include "plugin_loader.h"
#include "path_names.h"

#include <string.h>

bool pluginBuiltIn()
{
    return GetProcAddress(GetModuleHandleA(NULL), "CreatePicture") != NULL;
}

// The plug-in's file beside the program's own.
static std::string besideProgram()
{
    char program[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(NULL, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return PORVANE_XPI;
    return besideFile(program, PORVANE_XPI);
}

template <typename Function>
static bool find(HMODULE module, const char* name, Function* function)
{
    *function = (Function)(void*)GetProcAddress(module, name);
    return *function != NULL;
}

int loadPlugin(const char* requested, Plugin* plugin, std::string* problem)
{
    *plugin = Plugin{};
    const std::string file = requested != NULL ? requested : besideProgram();
    plugin->module = LoadLibraryA(file.c_str());
    if (plugin->module == NULL) {
        const std::string error = " (Windows error " + std::to_string(GetLastError()) + ")";
        if (requested != NULL)
            *problem = "cannot load " + file + error + ": check the file named after --plugin";
        else
            *problem = "cannot load " + file + error + ". porvane-host looks for " PORVANE_XPI " in its own folder, " +
                       folderPart(file) + ": copy " PORVANE_XPI " there, or name it with --plugin FILE";
        return 0;
    }
    if (!find(plugin->module, "GetPluginInfo", &plugin->getPluginInfo) ||
        !find(plugin->module, "CreatePicture", &plugin->createPicture) ||
        !find(plugin->module, "ConfigurationDlg", &plugin->configurationDlg)) {
        *problem = file + " is not a picture-export plug-in like " PORVANE_XPI ": its functions are missing";
        unloadPlugin(plugin);
        return 0;
    }
    return 1;
}

void unloadPlugin(Plugin* plugin)
{
    if (plugin->module != NULL)
        FreeLibrary(plugin->module);
    *plugin = Plugin{};
}
