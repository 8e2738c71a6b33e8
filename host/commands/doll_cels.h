// Making each cel of a doll, once the survey (doll_survey.h) has found where
// every layer lies and which recolour which: a layer is read again, its cel
// chosen, cut to what shows and written, then dropped, so that a doll of
// many large layers needs the memory of one or two of them.
//
// With each part on its own colours, a picture of colour indices keeps them
// (a 4- or 8-bit cel and its own palette) and a full-colour one becomes a
// 32-bit cel, soft edges kept; a part with colour variants becomes an 8-bit
// cel on its own palette, a group a colour. With one shared palette, every
// part is an 8-bit cel on it; the parts with variants each get their own
// range of its entries, so that a group can recolour them alone.
#ifndef PORVANE_DOLL_CELS_H
#define PORVANE_DOLL_CELS_H

#include <stdint.h>

#include <string>
#include <vector>

#include "../choosing/shared_palette.h"
#include "../handover/kiss_output.h"
#include "../handover/set_writer.h"
#include "doll_survey.h"

// What every cel of one doll shares.
struct DollColours {
    const Plugin* plugin;
    SetWriter* writer;    // every file of the set goes through it
    const DrawingLayers* drawing;
    const DollSurvey* survey;
    TransparencyChoice transparency;
    uint32_t background;  // colour 0 of every palette: the playfield's
    bool dither;          // on a palette that cannot hold every colour
    int groups;           // palette groups of every palette of the set
    ProtectedFiles pictures;  // no file written may be one of them
};

// One cel to make: a drawn layer, and its files' names in the set.
struct CelJob {
    size_t layer;
    std::wstring cel;
    std::wstring palette;  // its own palette, where it has one; empty otherwise
};

struct CelDone {
    PictureProblem readProblem;   // why the layer could not be read again
    WriteProblem writeProblem;    // why a file could not be written
    int depth = 0;
    bool transparent = false;
    bool ownPalette = false;      // a palette was written for it
    int32_t width = 0, height = 0;
    std::vector<CelNote> notes;
    bool done() const { return readProblem.code == PICTURE_READ && writeProblem.code == WRITE_DONE; }
};

// The cel of `job` on its own colours, and its own palette where it has
// indices.
CelDone makeCelOnOwnColours(const DollColours& doll, const CelJob& job);

// One palette for every part: the parts are counted first (count), the
// palette chosen once (choose), then each part's cel made on it (makeCel).
class DollPalette {
public:
    explicit DollPalette(const DollColours& doll);
    // False, with the problem, when a part cannot be read or the parts are
    // past what one palette can be chosen from.
    bool count(const std::vector<CelJob>& jobs, PictureProblem* problem, size_t* failedJob);
    bool choose();
    CelDone makeCel(const CelJob& job) const;
    // Every group of the palette file: group 0 the colours as drawn, group k
    // with each part's k-th variant. False, with the problem, when a part or
    // a variant cannot be read again.
    bool groups(std::vector<std::vector<uint32_t>>* groups, PictureProblem* problem) const;
    size_t partColours() const;   // different visible colours of all the parts
    size_t chosenColours() const;
    bool exact() const;

private:
    // The palette's ranges: the parts without variants share the first, each
    // part with variants has one of its own.
    struct Range {
        size_t layer;          // the part with variants; unused for the first
        SharedPalette colours;
        int firstEntry = 1;
    };
    size_t rangeOf(size_t layer) const;
    std::vector<uint32_t> drawnColours() const;
    const DollColours& doll_;
    std::vector<Range> ranges_;
};

#endif
