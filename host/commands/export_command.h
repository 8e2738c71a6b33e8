// `porvane-host export PICTURE... [--to FOLDER] [--palette] [--transparent
// corner | N]`, and what dropping pictures or folders on porvane-host.exe
// does: every picture becomes NAME.cel (and with palettes, a cel of colour
// indices also NAME.kcf), in FOLDER or beside the picture. Folders and
// names with * or ? stand for the pictures in them (picture_list.h). One
// line per picture, in the doll maker's words; a failure does not stop the
// run, and a summary line ends it.
#ifndef PORVANE_EXPORT_COMMAND_H
#define PORVANE_EXPORT_COMMAND_H

#include <string>
#include <vector>

#include "../choosing/cel_choice.h"
#include "../handover/plugin_loader.h"

struct ConvertRequest {
    std::vector<std::wstring> pictures;  // as given: pictures, folders, names with * or ?
    std::wstring toFolder;               // empty: beside each picture
    bool palettes = false;
    TransparencyChoice transparency;
    std::wstring sharedPalette;  // --shared-palette NAME.kcf; empty: each cel its own colours
    bool dither = false;         // with a shared palette: error diffusion
};

// Makes `folder` and every missing folder above it; false, with the reason
// said, when it cannot.
bool makeFolder(const std::wstring& folder);

// Returns the exit status: 0 when every picture was converted, 1 otherwise.
int convertPictures(const Plugin& plugin, const ConvertRequest& request);

// `porvane-host export PICTURE DESTINATION`: one picture under exactly the
// name given, as the host saves it, with the same line as a run of many.
// The plug-in's progress report numbered `stopAt` (0 at the start, 1 at the
// end) answers "stop", and then the reports are shown; -1: none. Returns the
// exit status.
int exportAsHost(const Plugin& plugin, const std::wstring& picture, const std::wstring& destination,
                 const TransparencyChoice& transparency, LONG stopAt);

#endif
