#include "source_picture.h"
#include "../pictures/bmp_reader.h"
#include "../words/failure_words.h"
#include "../system/file_access.h"
#include "../pictures/imaging_reader.h"
#include "../words/messages.h"
#include "../system/path_names.h"

#include <string.h>

#include <new>

#include "../../cel/cel_format.h"

// ---------------------------------------------------------------------------
// What kind of file it is, by its first bytes.

enum PictureKind { KIND_UNKNOWN, KIND_BMP, KIND_PNG, KIND_GIF, KIND_TIFF, KIND_JPEG };

static PictureKind kindOf(const uint8_t* file, size_t size)
{
    auto startsWith = [&](const char* bytes, size_t count) { return size >= count && memcmp(file, bytes, count) == 0; };
    if (startsWith("BM", 2))
        return KIND_BMP;
    if (size >= PNG_SIGNATURE_BYTES && memcmp(file, PNG_SIGNATURE, PNG_SIGNATURE_BYTES) == 0)
        return KIND_PNG;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return KIND_GIF;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        return KIND_TIFF;
    if (startsWith("\xFF\xD8\xFF", 3))
        return KIND_JPEG;
    return KIND_UNKNOWN;
}

bool isPictureStart(const uint8_t* bytes, size_t size)
{
    return kindOf(bytes, size) != KIND_UNKNOWN;
}

bool hasPictureExtension(const std::wstring& path)
{
    const std::wstring extension = extensionOf(path);
    for (const wchar_t* known : {L".bmp", L".png", L".gif", L".tif", L".tiff", L".jpg", L".jpeg"})
        if (extension == known)
            return true;
    return false;
}

// The limits of a KiSS cel, as the plug-in checks them, asked before the
// pixels are read: a picture of colour indices takes a byte a pixel while it
// is read, any other four.
static int fitsKissCel(int32_t width, int32_t height, bool indexed, std::wstring* reason)
{
    switch (celFit(indexed ? 8 : 32, width, height)) {
    case CEL_FITS:
        return 1;
    case CEL_OVER_DIMENSION:
        *reason = text(MSG_TOO_LARGE_SIDE);
        return 0;
    case CEL_OVER_BLOCK:
        *reason = text(MSG_TOO_LARGE_BLOCK);
        return 0;
    }
    return 0;
}

static int decodePicture(const std::wstring& path, const uint8_t* file, size_t size, DecodedPicture* picture,
                         std::wstring* reason)
{
    switch (kindOf(file, size)) {
    case KIND_BMP: {
        BmpLayout layout;
        return readBmpLayout(file, size, &layout, reason) &&
               fitsKissCel(layout.width, (int32_t)layout.rows, layout.fileDepth <= 8, reason) &&
               decodeBmp(file, size, layout, picture, reason);
    }
    case KIND_PNG:
        if (!checkPngChunks(file, size, reason))
            return 0;
        return readWithImagingComponent(file, size, true, fitsKissCel, picture, reason);
    case KIND_GIF:
    case KIND_TIFF:
        return readWithImagingComponent(file, size, true, fitsKissCel, picture, reason);
    case KIND_JPEG:
        return readWithImagingComponent(file, size, false, fitsKissCel, picture, reason);
    case KIND_UNKNOWN:
        break;
    }
    if (hasPictureExtension(path))
        *reason = text(MSG_DAMAGED_PICTURE);
    else
        *reason = text(MSG_NOT_A_PICTURE);
    return 0;
}

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
    const size_t stride = (size_t)bmpRowBytes(cel.depth, width);
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

int readPicture(const std::wstring& path, DecodedPicture* picture, std::wstring* reason)
{
    FileBytes file;
    if (!readWholeFile(path.c_str(), &file)) {
        *reason = whyNotOpened(GetLastError());
        return 0;
    }
    int read = 0;
    try {
        read = decodePicture(path, file.data, file.size, picture, reason);
    } catch (const std::bad_alloc&) {
        *reason = text(MSG_NO_MEMORY);
    }
    freeFileBytes(&file);
    return read;
}

int makeSourcePicture(const CelChoice& cel, int32_t width, int32_t height, SourcePicture* picture,
                      std::wstring* reason)
{
    *picture = SourcePicture{};
    if (!handOver(cel, width, height, &picture->handover)) {
        *reason = text(MSG_NO_MEMORY);
        return 0;
    }
    picture->width = width;
    picture->height = height;
    picture->depth = cel.depth;
    picture->transparent = cel.transparent;
    picture->colours = cel.colours;
    picture->note = cel.note;
    return 1;
}

int openSourcePicture(const std::wstring& path, const TransparencyChoice& choice, bool paletteMode,
                      SourcePicture* picture, std::wstring* reason)
{
    *picture = SourcePicture{};
    DecodedPicture decoded;
    CelChoice cel;
    int ready = 0;
    try {
        ready = readPicture(path, &decoded, reason) && chooseCel(&decoded, choice, paletteMode, &cel, reason);
    } catch (const std::bad_alloc&) {
        *reason = text(MSG_NO_MEMORY);
    }
    return ready && makeSourcePicture(cel, decoded.width, decoded.height, picture, reason);
}

void closeSourcePicture(SourcePicture* picture)
{
    freePictureHandover(&picture->handover);
}

bool isIndexed(const SourcePicture& picture)
{
    return picture.depth <= 8;
}

std::wstring describePicture(const SourcePicture& picture)
{
    const std::wstring width = number(picture.width), height = number(picture.height);
    switch (picture.depth) {
    case 4: return text(MSG_CEL_4_BIT, {width, height});
    case 8: return text(MSG_CEL_8_BIT, {width, height});
    case 24: return text(MSG_KISS_PALETTE_STRIP);
    default: return text(picture.transparent ? MSG_CEL_FULL_COLOUR_TRANSPARENT : MSG_CEL_FULL_COLOUR, {width, height});
    }
}
