// A picture as the host hands it to CreatePicture: the bitmap header (a
// BITMAPINFOHEADER and the colour table) and the pixel rows, each in a
// movable memory handle, and the picture information record with the depth.
#ifndef PORVANE_PICTURE_HANDOVER_H
#define PORVANE_PICTURE_HANDOVER_H

#include <string>

#include "../plugin/host_records.h"
#include "bmp_reader.h"

struct PictureHandover {
    HLOCAL header;
    HLOCAL bits;  // exactly layout.pixelBytes (at least 1 byte): every row the plug-in reads
    PictureInfoRecord info;
};

// Builds the hand-over from a BMP file read by readBmpLayout. Returns 0 with
// the reason when memory runs out or the pixels cannot be decoded; nothing is
// held then.
int makePictureHandover(const uint8_t* file, size_t size, const BmpLayout& layout, PictureHandover* picture,
                    std::string* reason);
void freePictureHandover(PictureHandover* picture);

#endif
