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
    std::wstring note;              // what was changed, or what to look at; empty: nothing
    PictureHandover handover;
};

// Reads `path` (BMP, PNG, GIF, TIFF or JPEG) and chooses its cel (with
// palette mode on, a strip of 256 x 1 opaque pixels goes over in 24 bits,
// which the plug-in saves as a palette), refusing what a KiSS cel cannot
// hold. Returns 0 with the reason in words; nothing is held then.
int openSourcePicture(const std::wstring& path, const TransparencyChoice& choice, bool paletteMode,
                      SourcePicture* picture, std::wstring* reason);
void closeSourcePicture(SourcePicture* picture);

// The two halves of openSourcePicture, for those who choose the cel
// themselves (the shared palette): reading a picture's file, and handing
// over a chosen cel. Each returns 0 with the reason in words.
int readPicture(const std::wstring& path, DecodedPicture* picture, std::wstring* reason);
int makeSourcePicture(const CelChoice& cel, int32_t width, int32_t height, SourcePicture* picture,
                      std::wstring* reason);

// "61 x 37, 8-bit cel", "64 x 32, 32-bit cel: full colour with transparency".
std::wstring describePicture(const SourcePicture& picture);

// True for cels of colour indices, which go with a palette.
bool isIndexed(const SourcePicture& picture);

// True when the file name ends in an extension of a picture the converter
// reads (.bmp, .png, .gif, .tif, .tiff, .jpg, .jpeg), in any case.
bool hasPictureExtension(const std::wstring& path);

// True when `bytes`, a file's first bytes, start as a picture the converter
// reads does.
bool isPictureStart(const uint8_t* bytes, size_t size);

#endif
