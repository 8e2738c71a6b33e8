// The check of a whole KiSS doll: its configuration, and every palette and
// cel it names, as viewers will meet them. It reads what the caller fetches
// (a folder on disk, an archive) and returns findings, top of the
// configuration first; no findings means the doll is sound.
//
// Judged, beside what the configuration reader finds in its lines:
//   - the names: not ASCII, not 8.3, characters KiSS names do not use, and
//     names that find their file only without regard to case;
//   - each file: missing, unreadable, damaged (shorter than its header
//     says, a depth viewers do not know, not a cel or not a palette);
//   - the playfield: missing, or too large for a viewer to open;
//   - cels: palette numbers with no palette, colour numbers past their
//     palette's colours, cels larger than the playfield;
//   - sets: none, more than ten, objects shown in a set that gives them no
//     position, positions for objects no cel has, palette groups a palette
//     lacks (viewers show its first group);
//   - FKiSS: lines above ;@EventHandler, broken parentheses and quotes,
//     commands no viewer knows, or that only some take (not in lowercase).
// Each file is read once, however many lines name it, and its findings are
// at the first line naming it.
#ifndef PORVANE_KISS_CHECK_H
#define PORVANE_KISS_CHECK_H

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "kiss_configuration.h"
#include "kiss_problems.h"

enum KissFetchStatus {
    KISS_FETCHED,
    KISS_NOT_THERE,
    KISS_NOT_READABLE,
};

struct KissFetched {
    KissFetchStatus status = KISS_NOT_THERE;
    std::string name;  // the file's own name, found as a viewer finds it (findKissFile in kiss_names.h)
    std::vector<uint8_t> bytes;
};

// Gives the file the configuration names `name` (as it writes it, in
// Shift_JIS), from the folder or archive the configuration is in: the file
// findKissFile picks among the names there (an archive's without their
// folders), KISS_NOT_THERE when none.
typedef std::function<KissFetched(const std::string& name)> KissFetcher;

// The viewer GnomeKiss cannot open a playfield wider or higher than an X
// window can be, nor one whose picture (3 bytes a pixel) passes 2 GB.
const int64_t KISS_LARGEST_PLAYFIELD_SIDE = 32767;
const int64_t KISS_LARGEST_PLAYFIELD_BYTES = 0x7FFFFFFF;

// `configurationName` is the configuration's file name, without its folder:
// the name findings about the configuration carry, and judged as the
// others are.
std::vector<KissFinding> checkDoll(const std::string& configurationName, const KissConfiguration& configuration,
                                   const KissFetcher& fetch);

#endif
