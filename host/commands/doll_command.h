// `porvane-host doll LAYER... --to FOLDER [--shared-palette NAME.kcf]
// [--cnf NAME.cnf] [--background RRGGBB]`: a drawing's layers, given bottom
// first as a drawing program exports them (a folder: its pictures in name
// order), become one KiSS set in FOLDER that looks like the layers stacked:
//   - each layer a cel by the converter's own rules (or, with a shared
//     palette, an 8-bit cel on it), cropped to the part of it that shows;
//     a layer in which nothing shows is left out, and the line says so;
//   - the configuration (doll.cnf unless --cnf names another): the
//     playfield the size of the layers, every palette listed, one object a
//     layer, the front one first as KiSS viewers draw them, each placed
//     where its part lay, its line carrying the layer's own name in a
//     comment; the background is colour 0 of the first palette (white
//     unless --background says otherwise; a set of 32-bit cels alone gets a
//     palette of that one colour);
//   - names inside the set are lowercase ASCII of at most eight characters
//     and the extension, as KiSS viewers and their users' archives expect.
// Every layer is read before anything is written: a layer that cannot be
// read means no set. A set that cannot be written whole gets no
// configuration.
#ifndef PORVANE_DOLL_COMMAND_H
#define PORVANE_DOLL_COMMAND_H

#include <stdint.h>

#include <string>
#include <vector>

#include "../choosing/cel_choice.h"
#include "../handover/plugin_loader.h"

struct DollRequest {
    std::vector<std::wstring> layers;  // bottom first: pictures, folders, names with * or ?
    std::wstring toFolder;
    std::wstring sharedPalette;        // empty: each layer its own colours
    std::wstring configuration = L"doll.cnf";
    uint32_t background = 0xFFFFFF;    // 0xRRGGBB
    bool dither = false;
    TransparencyChoice transparency;
    std::wstring archive;              // --lzh NAME.lzh: the set also packed as one archive (pack_command.h)
};

// Returns the exit status: 0 when the set was made whole, 1 otherwise.
int makeDoll(const Plugin& plugin, const DollRequest& request);

#endif
