#include "kiss_cel.h"

#include <stdint.h>
#include <string.h>

#include <utility>

#include "kiss_bytes.h"

namespace {

uint64_t rowBytes(int depth, uint64_t width)
{
    return depth == 4 ? (width + 1) / 2 : width * (uint64_t)(depth / 8);
}

KissFileProblem readInto(const uint8_t* file, size_t size, KissCel* cel)
{
    size_t data;
    if (hasKissMagic(file, size)) {
        if (size < KISS_HEADER_BYTES)
            return kissFileProblem(KISS_FILE_TRUNCATED, KISS_HEADER_BYTES, (int64_t)size);
        if (file[4] != KISS_MARK_CEL && file[4] != KISS_MARK_CEL_32)
            return kissFileProblem(KISS_CEL_IS_NOT_A_CEL, file[4]);
        if (file[5] != 4 && file[5] != 8 && file[5] != 32)
            return kissFileProblem(KISS_CEL_UNKNOWN_DEPTH, file[5]);
        cel->headered = true;
        cel->depth = file[5];
        cel->width = kissWord(file + 8), cel->height = kissWord(file + 10);
        cel->xOffset = kissWord(file + 12), cel->yOffset = kissWord(file + 14);
        data = KISS_HEADER_BYTES;
    } else {
        if (size < KISS_OLD_CEL_HEADER_BYTES)
            return kissFileProblem(KISS_FILE_TRUNCATED, KISS_OLD_CEL_HEADER_BYTES, (int64_t)size);
        cel->depth = 4;
        cel->width = kissWord(file), cel->height = kissWord(file + 2);
        data = KISS_OLD_CEL_HEADER_BYTES;
    }
    if (cel->width == 0 || cel->height == 0)
        return kissFileProblem(KISS_CEL_EMPTY, cel->width, cel->height);

    // At most 65535 rows of 4 x 65535 bytes: well inside 64 bits.
    const uint64_t row = rowBytes(cel->depth, (uint64_t)cel->width);
    const uint64_t needed = data + row * (uint64_t)cel->height;
    if (needed > size)
        return kissFileProblem(KISS_FILE_TRUNCATED, (int64_t)needed, (int64_t)size);
    // No more than the file's own bytes, twice them for 4 bits.
    const int pixelBytes = cel->depth == 32 ? 4 : 1;
    const uint64_t pixelsBytes = (uint64_t)cel->width * (uint64_t)cel->height * pixelBytes;
    if (pixelsBytes > (uint64_t)PTRDIFF_MAX)  // a 32-bit process cannot hold it beside the file
        return kissFileProblem(KISS_FILE_UNREADABLE);
    cel->pixels.resize((size_t)pixelsBytes);

    uint8_t* out = cel->pixels.data();
    int highest = 0;
    for (int32_t y = 0; y < cel->height; ++y) {
        const uint8_t* in = file + data + (size_t)(row * (uint64_t)y);
        for (int32_t x = 0; x < cel->width; ++x) {
            switch (cel->depth) {
            case 4:
                *out = (uint8_t)(x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F);
                break;
            case 8:
                *out = in[x];
                break;
            default:  // blue, green, red, alpha to red, green, blue, alpha
                out[0] = in[4 * x + 2], out[1] = in[4 * x + 1], out[2] = in[4 * x], out[3] = in[4 * x + 3];
                break;
            }
            if (pixelBytes == 1 && *out > highest)
                highest = *out;
            out += pixelBytes;
        }
    }
    cel->highestColour = highest;
    return KissFileProblem();
}

}  // namespace

bool hasKissMagic(const uint8_t* file, size_t size)
{
    return size >= 4 && memcmp(file, "KiSS", 4) == 0;
}

KissFileProblem readCel(const uint8_t* file, size_t size, KissCel* cel)
{
    KissCel read;
    const KissFileProblem problem = readInto(file, size, &read);
    *cel = problem.problem == KISS_FINE ? std::move(read) : KissCel();
    return problem;
}
