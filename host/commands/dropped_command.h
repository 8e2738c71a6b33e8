// What dropping files and folders on porvane-host.exe does. A folder whose
// pictures are layers of one drawing (all of one size, and more than one of
// them with transparency) and a layered document (.psd) each become a KiSS
// set, made by `doll` in a new folder beside them named after them
// ("layers" → "layers-kiss"); every other picture, and a folder of pictures
// that are not one drawing's layers, is saved beside itself with its
// palette, as `export ... --palette` does.
#ifndef PORVANE_DROPPED_COMMAND_H
#define PORVANE_DROPPED_COMMAND_H

#include <string>
#include <vector>

#include "../handover/plugin_loader.h"

// The folder a dropped drawing's set goes into.
std::wstring setFolderBeside(const std::wstring& drawing);

// Returns the exit status: 0 when everything dropped was made into a set or
// converted, 1 otherwise.
int convertDropped(const Plugin& plugin, const std::vector<std::wstring>& dropped);

#endif
