#include "picture_handover.h"

#include <string.h>

static HLOCAL movableBlock(uint64_t bytes)
{
    if (bytes > (SIZE_T)-1)
        return NULL;
    // A movable block of 0 bytes cannot be locked: every block holds one at least.
    return LocalAlloc(LMEM_MOVEABLE, bytes > 0 ? (SIZE_T)bytes : 1);
}

static int fillHeader(HLOCAL header, const uint8_t* file, const BmpLayout& layout)
{
    uint8_t* memory = (uint8_t*)LocalLock(header);
    if (memory == NULL)
        return 0;
    BitmapInfoHeader bitmap = {};
    bitmap.size = sizeof bitmap;
    bitmap.width = layout.width;
    bitmap.height = layout.height;
    bitmap.planes = 1;
    bitmap.bitCount = (uint16_t)layout.depth;
    bitmap.compression = 0;  // the rows are always handed over uncompressed
    bitmap.imageSize = (uint32_t)layout.pixelBytes;
    bitmap.coloursUsed = layout.colours;
    memcpy(memory, &bitmap, sizeof bitmap);
    memcpy(memory + sizeof bitmap, file + layout.colourTable, 4 * layout.colours);
    LocalUnlock(header);
    return 1;
}

static int fillRows(HLOCAL bits, const uint8_t* file, size_t size, const BmpLayout& layout, std::string* reason)
{
    uint8_t* rows = (uint8_t*)LocalLock(bits);
    if (rows == NULL) {
        *reason = "not enough memory for this picture";
        return 0;
    }
    int decoded = decodeBmpRows(file, size, layout, rows, reason);
    LocalUnlock(bits);
    return decoded;
}

int makePictureHandover(const uint8_t* file, size_t size, const BmpLayout& layout, PictureHandover* picture,
                    std::string* reason)
{
    picture->header = movableBlock(sizeof(BitmapInfoHeader) + 4 * layout.colours);
    picture->bits = movableBlock(layout.pixelBytes);
    memset(&picture->info, 0, sizeof picture->info);
    picture->info.colorDepth = (int16_t)layout.depth;

    bool ready = picture->header != NULL && picture->bits != NULL && fillHeader(picture->header, file, layout);
    if (!ready)
        *reason = "not enough memory for this picture";
    else
        ready = fillRows(picture->bits, file, size, layout, reason);
    if (!ready)
        freePictureHandover(picture);
    return ready;
}

void freePictureHandover(PictureHandover* picture)
{
    if (picture->header != NULL)
        LocalFree(picture->header);
    if (picture->bits != NULL)
        LocalFree(picture->bits);
    picture->header = picture->bits = NULL;
}
