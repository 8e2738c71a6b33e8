// A BMP file as the host picture program hands it to a plug-in: the DIB
// header block (BITMAPINFOHEADER and colour table) and the pixel bits, each in
// its own movable memory handle, and the colour depth for the picture
// information record.
#ifndef PORVANE_BMP_PICTURE_H
#define PORVANE_BMP_PICTURE_H

#include <windows.h>
#include <string>

struct BmpPicture {
    HLOCAL header = NULL;  // BITMAPINFOHEADER and colour table
    HLOCAL bits = NULL;    // pixel rows as stored in the file
    int width = 0;
    int height = 0;
    int depth = 0;
};

// Reads `fileName`; on failure returns 0 and says why in `error`.
int loadBmpPicture(const char* fileName, BmpPicture* picture, std::string* error);
void freeBmpPicture(BmpPicture* picture);

#endif
