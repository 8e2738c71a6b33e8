// One BMP picture read and made ready to hand to the plug-in, with what the
// doll maker is told about it.
#ifndef PORVANE_SOURCE_PICTURE_H
#define PORVANE_SOURCE_PICTURE_H

#include <string>

#include "bmp_reader.h"
#include "picture_handover.h"

struct SourcePicture {
    BmpLayout layout;
    PictureHandover handover;
    uint8_t colourTable[4 * BMP_MAX_COLOURS];  // layout.colours entries, for the palette
};

// Reads `path`, refusing what a KiSS cel cannot hold. Returns 0 with the
// reason in words; nothing is held then.
int openSourcePicture(const std::string& path, SourcePicture* picture, std::string* reason);
void closeSourcePicture(SourcePicture* picture);

// 1 when a KiSS cel can hold the picture: at most 65,535 pixels a side, and
// a data block that fits a signed 32-bit size. 0 with the reason otherwise.
int fitsKissCel(const BmpLayout& layout, std::string* reason);

// "61 x 37, 8 bits", "64 x 32, top row first, 16 bits turned into 24 bits".
std::string describePicture(const BmpLayout& layout);

// True for pictures of colour indices (1, 4 or 8 bits), which get a palette.
bool isIndexed(const BmpLayout& layout);

#endif
