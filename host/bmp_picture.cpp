#include "bmp_picture.h"

#include <stdio.h>
#include <string.h>
#include <vector>

static unsigned readU32(const unsigned char* at) { return at[0] | at[1] << 8 | at[2] << 16 | (unsigned)at[3] << 24; }
static unsigned readU16(const unsigned char* at) { return at[0] | at[1] << 8; }

static HLOCAL movableCopy(const unsigned char* bytes, size_t count)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, count > 0 ? count : 1);
    if (handle == NULL)
        return NULL;
    void* memory = LocalLock(handle);
    if (memory != NULL && count > 0)
        memcpy(memory, bytes, count);
    LocalUnlock(handle);
    return handle;
}

int loadBmpPicture(const char* fileName, BmpPicture* picture, std::string* error)
{
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        *error = "cannot open the file";
        return 0;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);

    // 14-byte file header, then the DIB: a 40-byte (or larger) info header,
    // the colour table, and the bits at the file header's offset.
    if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') {
        *error = "not a BMP file";
        return 0;
    }
    unsigned bitsOffset = readU32(&bytes[10]);
    unsigned infoSize = readU32(&bytes[14]);
    if (infoSize < 40 || bitsOffset < 14 + infoSize || bitsOffset > bytes.size()) {
        *error = "unsupported or damaged BMP header";
        return 0;
    }
    picture->width = (int)readU32(&bytes[18]);
    picture->height = (int)readU32(&bytes[22]);
    picture->depth = (int)readU16(&bytes[28]);
    long long stride = ((long long)picture->width * picture->depth + 31) / 32 * 4;
    long long rows = picture->height < 0 ? -(long long)picture->height : picture->height;
    if (picture->width < 0 || stride * rows > (long long)(bytes.size() - bitsOffset)) {
        *error = "the pixel data is shorter than the header says";
        return 0;
    }
    if (readU32(&bytes[30]) != 0) {
        *error = "compressed BMP files are not supported";
        return 0;
    }
    picture->header = movableCopy(&bytes[14], bitsOffset - 14);
    picture->bits = movableCopy(bytes.data() + bitsOffset, bytes.size() - bitsOffset);
    if (picture->header == NULL || picture->bits == NULL) {
        freeBmpPicture(picture);
        *error = "out of memory";
        return 0;
    }
    return 1;
}

void freeBmpPicture(BmpPicture* picture)
{
    if (picture->header != NULL)
        LocalFree(picture->header);
    if (picture->bits != NULL)
        LocalFree(picture->bits);
    picture->header = picture->bits = NULL;
}
