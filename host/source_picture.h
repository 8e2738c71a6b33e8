// One picture read from its file and made ready to hand to the plug-in as the
// host picture program hands it over: the bitmap header (a BITMAPINFOHEADER
// and the colour table) and the pixel rows, each in a movable memory handle,
// and the picture information record with the depth.
#ifndef PORVANE_SOURCE_PICTURE_H
#define PORVANE_SOURCE_PICTURE_H

#include <string>

#include "../plugin/host_records.h"
#include "bmp_reader.h"

struct PictureHandover {
    HLOCAL header;
    HLOCAL bits;  // exactly layout.pixelBytes (at least 1 byte): every row the plug-in reads
    PictureInfoRecord info;
};

struct SourcePicture {
    BmpLayout layout;
    PictureHandover handover;
    uint8_t colourTable[4 * BMP_MAX_COLOURS];  // layout.colours entries (blue, green, red, 0), for the palette
};

// Reads `path`, refusing what a KiSS cel cannot hold. Returns 0 with the
// reason in words; nothing is held then.
int openSourcePicture(const std::string& path, SourcePicture* picture, std::string* reason);
void closeSourcePicture(SourcePicture* picture);

// "61 x 37, 8 bits", "64 x 32, top row first, 16 bits turned into 24 bits".
std::string describePicture(const BmpLayout& layout);

// True for pictures of colour indices (1, 4 or 8 bits), which get a palette.
bool isIndexed(const BmpLayout& layout);

#endif
