// One picture read from its file, its cel chosen (cel_choice.h), and made
// ready to hand to the plug-in as the host picture program hands it over:
// the bitmap header (a BITMAPINFOHEADER and the colour table) and the pixel
// rows, each in a movable memory handle, and the picture information record
// with the depth. Rows go over bottom row first (a positive height), as
// hosts hand them over and as palette mode expects of a strip; 4-bit
// pixels two to a byte, 32-bit ones as blue, green, red, alpha.
#ifndef PORVANE_SOURCE_PICTURE_H
#define PORVANE_SOURCE_PICTURE_H

#include <string>
#include <vector>

#include "../../base/host_records.h"
#include "../choosing/cel_choice.h"

struct PictureHandover {
    HLOCAL header;
    HLOCAL bits;  // every row the plug-in reads (at least 1 byte)
    PictureInfoRecord info;
};

struct SourcePicture {
    int32_t width;
    int32_t height;
    int depth;                      // of the cel: 4, 8 or 32; 24 for a palette strip
    bool transparent;               // 32 bits: some pixel is not opaque
    std::vector<uint32_t> colours;  // 4 and 8 bits: the palette that goes with the cel
    std::vector<CelNote> notes;     // what the choice changed, or what to look at
    PictureHandover handover;
};

// Reads `path` (pictures/read_picture.h) and chooses its cel (with palette
// mode on, a strip of 256 x 1 opaque pixels goes over in 24 bits, which the
// plug-in saves as a palette). Returns 0 with the problem; nothing is held
// then.
int openSourcePicture(const std::wstring& path, const TransparencyChoice& choice, bool paletteMode,
                      SourcePicture* picture, PictureProblem* problem);
void closeSourcePicture(SourcePicture* picture);

// The second half of openSourcePicture, for those who choose the cel
// themselves: handing over a chosen cel. Returns 0 when there is no memory
// for it.
int makeSourcePicture(const CelChoice& cel, int32_t width, int32_t height, SourcePicture* picture);

// True for cels of colour indices, which go with a palette.
bool isIndexed(const SourcePicture& picture);

#endif
