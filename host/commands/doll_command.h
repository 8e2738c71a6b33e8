// `porvane-host doll LAYERS... --to FOLDER [options]`: a drawing becomes one
// KiSS set in FOLDER that a viewer shows as the drawing shows. The drawing is
// pictures of one size, one a layer, given bottom first (a folder: its
// pictures in the order their numbers say, stacking_order.h), or one layered
// document (.psd), whose top-level layers and groups are the parts.
//   - Each part that shows becomes one cel, cut to what shows and placed
//     where it lay (doll_cels.h for what each becomes); the bottom one, the
//     body, is fixed in place, the others can be dragged.
//   - Layers that recolour another (doll/colour_variants.h) get no cel of
//     their own: their colours become palette groups of the other's cel, and
//     set k shows the doll in group k.
//   - One more set keeps the body in place and lays every other part beside
//     it, to be put on (doll/dress_up_layout.h).
//   - Names in the set are readable lowercase ASCII 8.3 (doll/set_names.h);
//     the configuration carries each layer's own name beside its cel.
//   - The set goes into FOLDER whole or not at all (handover/set_writer.h),
//     and a file of an earlier set she edited by hand is kept, not lost
//     (doll/made_record.h).
#ifndef PORVANE_DOLL_COMMAND_H
#define PORVANE_DOLL_COMMAND_H

#include <stdint.h>

#include <string>
#include <vector>

#include "../choosing/cel_choice.h"
#include "../handover/plugin_loader.h"

struct DollRequest {
    std::vector<std::wstring> layers;  // bottom first: pictures, folders, names with * or ?, or one .psd
    std::wstring toFolder;
    std::wstring sharedPalette;        // empty: each part its own colours
    std::wstring configuration;        // --cnf; empty: doll.cnf
    uint32_t background = 0xFFFFFF;    // 0xRRGGBB
    bool dither = false;
    TransparencyChoice transparency;
    std::wstring archive;              // --lzh NAME.lzh: the set also packed as one archive (pack_command.h)
};

// Returns the exit status: 0 when the set was made whole, 1 otherwise.
int makeDoll(const Plugin& plugin, const DollRequest& request);

#endif
