// Finding and loading porvane.xpi as the host picture program does, and its
// exports. The plug-in is looked for beside porvane-host itself (the release
// and the build put them in one folder), so the program works from any
// folder; --plugin names another copy. The native build links the plug-in
// into the program: there the program's own module exports its functions,
// and there is no other copy to load.
#ifndef PORVANE_PLUGIN_LOADER_H
#define PORVANE_PLUGIN_LOADER_H

#include <string>

#include "../../plugin/plugin_api.h"

struct Plugin {
    HMODULE module;
    decltype(&GetPluginInfo) getPluginInfo;
    decltype(&CreatePicture) createPicture;
    decltype(&ConfigurationDlg) configurationDlg;
};

// The plug-in's file name, PORVANE_XPI.
std::wstring widePluginFileName();

// The plug-in's identity string `index` (0 to 3), in UTF-16;
// PLUGIN_CEL_EXTENSION is the extension it gives a cel (".cel").
const LONG PLUGIN_CEL_EXTENSION = 3;
std::wstring identityString(const Plugin& plugin, LONG index);

// True when the plug-in is built into this program (the native build).
bool pluginBuiltIn();

// Loads `requested` (the --plugin file), or the plug-in beside the program
// when it is empty; `*file` is the file tried.
enum PluginLoad {
    PLUGIN_LOADED,
    PLUGIN_NOT_LOADED,    // no such file, or not a library Windows can load
    PLUGIN_NOT_A_PLUGIN,  // a library, without the plug-in's functions
};
PluginLoad loadPlugin(const std::wstring& requested, Plugin* plugin, std::wstring* file);
void unloadPlugin(Plugin* plugin);

#endif
