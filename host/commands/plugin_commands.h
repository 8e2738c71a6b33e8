// The commands that use the plug-in's own functions, or its setting, and no
// picture: `info` (its four identity strings), `about` and `settings` (its
// About box and settings dialog, as the host's menu opens them), and
// `palette-mode` (the setting shown or set, as the plug-in reads it).
// Each returns the exit status.
#ifndef PORVANE_PLUGIN_COMMANDS_H
#define PORVANE_PLUGIN_COMMANDS_H

#include <string>

#include "../handover/plugin_loader.h"

int showIdentity(const Plugin& plugin);
int showAboutBox(const Plugin& plugin);

// The settings dialog, then whether the doll maker changed palette mode.
int showSettings(const Plugin& plugin);

// `change`: L"on", L"off", or empty to show the setting.
int paletteMode(const std::wstring& change);

#endif
