#include "source_picture.h"
#include "failure_words.h"
#include "file_access.h"

#include <string.h>

#include "../cel/cel_format.h"

// ---------------------------------------------------------------------------
// The hand-over: movable blocks, as the host allocates them.

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

static void freePictureHandover(PictureHandover* picture)
{
    if (picture->header != NULL)
        LocalFree(picture->header);
    if (picture->bits != NULL)
        LocalFree(picture->bits);
    picture->header = picture->bits = NULL;
}

static int makePictureHandover(const uint8_t* file, size_t size, const BmpLayout& layout, PictureHandover* picture,
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


// ---------------------------------------------------------------------------

// The limits of a KiSS cel, as the plug-in checks them.
static int fitsKissCel(const BmpLayout& layout, std::string* reason)
{
    switch (celFit(layout.depth, layout.width, layout.rows)) {
    case CEL_FITS:
        return 1;
    case CEL_OVER_DIMENSION:
        *reason = "too large for a KiSS cel (at most 65,535 pixels a side)";
        return 0;
    case CEL_OVER_BLOCK:
        *reason = "too large for a KiSS cel (its pixels would take more than 2 GB)";
        return 0;
    }
    return 0;
}

int openSourcePicture(const std::string& path, SourcePicture* picture, std::string* reason)
{
    memset(picture, 0, sizeof *picture);
    FileBytes file;
    if (!readWholeFile(path.c_str(), &file)) {
        *reason = whyNotOpened(GetLastError());
        return 0;
    }
    int ready = readBmpLayout(file.data, file.size, &picture->layout, reason) && fitsKissCel(picture->layout, reason) &&
                makePictureHandover(file.data, file.size, picture->layout, &picture->handover, reason);
    if (ready)
        memcpy(picture->colourTable, file.data + picture->layout.colourTable, 4 * picture->layout.colours);
    freeFileBytes(&file);
    return ready;
}

void closeSourcePicture(SourcePicture* picture)
{
    freePictureHandover(&picture->handover);
}

bool isIndexed(const BmpLayout& layout)
{
    return layout.depth <= 8;
}

std::string describePicture(const BmpLayout& layout)
{
    std::string words = std::to_string(layout.width) + " x " + std::to_string(layout.rows);
    if (layout.height < 0)
        words += ", top row first";
    const std::string bits = std::to_string(layout.fileDepth) + (layout.fileDepth == 1 ? " bit" : " bits");
    switch (layout.conversion) {
    case BMP_AS_STORED: return words + ", " + bits;
    case BMP_RUN_LENGTH: return words + ", " + bits + ", run-length compressed";
    case BMP_16_TO_24: return words + ", " + bits + " turned into 24 bits";
    case BMP_BIT_FIELDS_32: return words + ", " + bits + " with colour masks, rearranged";
    }
    return words;
}
