#include "picture_export.h"
#include "cel_format.h"
#include "kiss_file_writer.h"
#include "palette_mode.h"
#include "picture_rows.h"

static bool askedToStop(ProgressCallback progress, LONG numerator, LONG userValue)
{
    return progress != NULL && progress(numerator, 1, userValue) != 0;
}

// Everything between allocating the block and closing the file.
static KissWriteResult convertAndWrite(LPSTR path, const PictureLayout& layout, const uint8_t* pixels, uint8_t* block,
                                       int16_t depth, const BitmapInfoHeader* bitmapHeader)
{
    convertRows(layout, pixels, block);

    CelHeader header;
    header.mark = CEL_MARK_CEL;
    header.depth = (uint8_t)depth;
    header.width = (uint16_t)layout.width;
    header.height = (uint16_t)layout.rows;
    PaletteMode::apply(depth, bitmapHeader->width, bitmapHeader->height, path, &header);

    return writeKissFile(path, header, block, layout.blockBytes);
}

LONG exportPicture(LPSTR path, HLOCAL* bitmapInfo, HLOCAL* bits, const PictureInfoRecord* info,
                   ProgressCallback progress, LONG userValue)
{
    if (askedToStop(progress, 0, userValue))
        return EXPORT_ABORTED;

    const BitmapInfoHeader* bitmapHeader = (const BitmapInfoHeader*)LocalLock(*bitmapInfo);
    if (bitmapHeader == NULL)
        return EXPORT_NO_MEMORY;
    const uint8_t* pixels = (const uint8_t*)LocalLock(*bits);
    if (pixels == NULL) {
        LocalUnlock(*bitmapInfo);
        return EXPORT_NO_MEMORY;
    }

    // Sizes are checked before anything is allocated; an empty block still
    // gets a real allocation so that "no memory" is never confused with it.
    const int16_t depth = info->colorDepth;
    PictureLayout layout;
    uint8_t* block = NULL;
    if (planPicture(depth, bitmapHeader->width, bitmapHeader->height, &layout))
        block = (uint8_t*)LocalAlloc(LMEM_FIXED, layout.blockBytes > 0 ? layout.blockBytes : 1);

    KissWriteResult written = KISS_NOT_CREATED;
    if (block != NULL)
        written = convertAndWrite(path, layout, pixels, block, depth, bitmapHeader);

    // Unlocking and freeing may reset the thread's last error; a failed
    // write keeps the writer's, which says why (a full disk, say).
    const DWORD error = GetLastError();
    LocalUnlock(*bitmapInfo);
    LocalUnlock(*bits);
    if (block == NULL)
        return EXPORT_NO_MEMORY;
    LocalFree(block);
    SetLastError(error);

    if (written == KISS_NOT_CREATED)
        return EXPORT_WRITE_ERROR;
    if (askedToStop(progress, 1, userValue))
        return EXPORT_ABORTED;
    return written == KISS_WRITTEN ? EXPORT_OK : EXPORT_WRITE_ERROR;
}
