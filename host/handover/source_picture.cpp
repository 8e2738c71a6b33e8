#include "source_picture.h"

#include <string.h>

#include <new>

#include "../pictures/read_picture.h"

// ---------------------------------------------------------------------------
// The hand-over: movable blocks, as the host allocates them.

static HLOCAL movableBlock(uint64_t bytes)
{
    if (bytes > (SIZE_T)-1)
        return NULL;
    // A movable block of 0 bytes cannot be locked: every block holds one at least.
    return LocalAlloc(LMEM_MOVEABLE, bytes > 0 ? (SIZE_T)bytes : 1);
}

static void freePictureHandover(PictureHandover* handover)
{
    if (handover->header != NULL)
        LocalFree(handover->header);
    if (handover->bits != NULL)
        LocalFree(handover->bits);
    handover->header = handover->bits = NULL;
}

static int fillHeader(HLOCAL block, const CelChoice& cel, int32_t width, int32_t height, uint32_t imageBytes)
{
    uint8_t* memory = (uint8_t*)LocalLock(block);
    if (memory == NULL)
        return 0;
    BitmapInfoHeader bitmap = {};
    bitmap.size = sizeof bitmap;
    bitmap.width = width;
    bitmap.height = height;  // bottom row first, as hosts hand pictures over
    bitmap.planes = 1;
    bitmap.bitCount = (uint16_t)cel.depth;
    bitmap.compression = 0;
    bitmap.imageSize = imageBytes;
    bitmap.coloursUsed = (uint32_t)cel.colours.size();
    memcpy(memory, &bitmap, sizeof bitmap);
    uint8_t* entry = memory + sizeof bitmap;
    for (uint32_t colour : cel.colours) {  // blue, green, red, 0
        entry[0] = (uint8_t)colour, entry[1] = (uint8_t)(colour >> 8), entry[2] = (uint8_t)(colour >> 16), entry[3] = 0;
        entry += 4;
    }
    LocalUnlock(block);
    return 1;
}

static int fillRows(HLOCAL block, const CelChoice& cel, int32_t width, int32_t height, size_t stride)
{
    uint8_t* rows = (uint8_t*)LocalLock(block);
    if (rows == NULL)
        return 0;
    memset(rows, 0, stride * height);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = rows + (size_t)(height - 1 - y) * stride;
        const size_t first = (size_t)y * width;
        for (int32_t x = 0; x < width; ++x) {
            if (cel.depth == 32)
                memcpy(row + 4 * (size_t)x, &cel.pixels[first + x], 4);  // 0xAARRGGBB: blue, green, red, alpha
            else if (cel.depth == 24)
                memcpy(row + 3 * (size_t)x, &cel.pixels[first + x], 3);  // blue, green, red
            else if (cel.depth == 8)
                row[x] = cel.indices[first + x];
            else  // leftmost pixel in the high nibble
                row[x / 2] |= (uint8_t)(x % 2 == 0 ? cel.indices[first + x] << 4 : cel.indices[first + x]);
        }
    }
    LocalUnlock(block);
    return 1;
}

static int handOver(const CelChoice& cel, int32_t width, int32_t height, PictureHandover* handover)
{
    const size_t stride = (size_t)dibRowBytes(cel.depth, width);
    handover->header = movableBlock(sizeof(BitmapInfoHeader) + 4 * cel.colours.size());
    handover->bits = movableBlock((uint64_t)stride * height);
    memset(&handover->info, 0, sizeof handover->info);
    handover->info.colorDepth = (int16_t)cel.depth;
    bool ready = handover->header != NULL && handover->bits != NULL &&
                 fillHeader(handover->header, cel, width, height, (uint32_t)(stride * height)) &&
                 fillRows(handover->bits, cel, width, height, stride);
    if (!ready)
        freePictureHandover(handover);
    return ready;
}

// ---------------------------------------------------------------------------

int makeSourcePicture(const CelChoice& cel, int32_t width, int32_t height, SourcePicture* picture)
{
    *picture = SourcePicture{};
    if (!handOver(cel, width, height, &picture->handover))
        return 0;
    picture->width = width;
    picture->height = height;
    picture->depth = cel.depth;
    picture->transparent = cel.transparent;
    picture->colours = cel.colours;
    picture->notes = cel.notes;
    return 1;
}

int openSourcePicture(const std::wstring& path, const TransparencyChoice& choice, bool paletteMode,
                      SourcePicture* picture, PictureProblem* problem)
{
    *picture = SourcePicture{};
    DecodedPicture decoded;
    CelChoice cel;
    int ready = 0;
    try {
        ready = readPicture(path, &decoded, problem) && chooseCel(&decoded, choice, paletteMode, &cel, problem);
    } catch (const std::bad_alloc&) {
        ready = refuse(problem, PICTURE_NO_MEMORY);
    }
    return ready && (makeSourcePicture(cel, decoded.width, decoded.height, picture) ||
                     refuse(problem, PICTURE_NO_MEMORY));
}

void closeSourcePicture(SourcePicture* picture)
{
    freePictureHandover(&picture->handover);
}

bool isIndexed(const SourcePicture& picture)
{
    return picture.depth <= 8;
}
