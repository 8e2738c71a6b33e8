#include "kiss_palette.h"

#include <utility>

#include "kiss_bytes.h"
#include "kiss_cel.h"

namespace {

const int PALETTE_DEPTH_12 = 12, PALETTE_DEPTH_24 = 24;

uint8_t from12Bits(int nibble)
{
    return (uint8_t)(nibble * 17);
}

KissFileProblem readInto(const uint8_t* file, size_t size, KissPalette* palette)
{
    size_t data;
    if (hasKissMagic(file, size)) {
        if (size < KISS_HEADER_BYTES)
            return kissFileProblem(KISS_FILE_TRUNCATED, KISS_HEADER_BYTES, (int64_t)size);
        if (file[4] != KISS_MARK_PALETTE)
            return kissFileProblem(KISS_PALETTE_IS_NOT_A_PALETTE, file[4]);
        if (file[5] != PALETTE_DEPTH_12 && file[5] != PALETTE_DEPTH_24)
            return kissFileProblem(KISS_PALETTE_UNKNOWN_DEPTH, file[5]);
        palette->headered = true;
        palette->depth = file[5];
        palette->colours = kissWord(file + 8);
        palette->groups = kissWord(file + 10) == 0 ? 1 : kissWord(file + 10);
        if (palette->colours == 0)
            return kissFileProblem(KISS_PALETTE_NO_COLOURS);
        data = KISS_HEADER_BYTES;
    } else {
        // Whole groups of 32 bytes, and at least one.
        const uint64_t groups = size / KISS_OLD_PALETTE_GROUP_BYTES;
        if (groups == 0 || size % KISS_OLD_PALETTE_GROUP_BYTES != 0)
            return kissFileProblem(KISS_FILE_TRUNCATED, (int64_t)((groups + 1) * KISS_OLD_PALETTE_GROUP_BYTES),
                           (int64_t)size);
        palette->depth = PALETTE_DEPTH_12;
        palette->colours = KISS_OLD_PALETTE_COLOURS;
        palette->groups = (int)(groups < 0xFFFF ? groups : 0xFFFF);
        data = 0;
    }
    const int colourBytes = palette->depth == PALETTE_DEPTH_24 ? 3 : 2;
    // At most 65535 x 65535 colours: well inside 64 bits.
    const uint64_t count = (uint64_t)palette->colours * (uint64_t)palette->groups;
    const uint64_t needed = data + count * colourBytes;
    if (needed > size)
        return kissFileProblem(KISS_FILE_TRUNCATED, (int64_t)needed, (int64_t)size);
    palette->rgb.resize((size_t)(count * 3));  // at most one and a half times the file's bytes

    const uint8_t* in = file + data;
    uint8_t* out = palette->rgb.data();
    for (uint64_t i = 0; i < count; ++i, in += colourBytes, out += 3) {
        if (colourBytes == 3) {
            out[0] = in[0], out[1] = in[1], out[2] = in[2];
        } else {
            out[0] = from12Bits(in[0] >> 4), out[1] = from12Bits(in[1] & 0x0F), out[2] = from12Bits(in[0] & 0x0F);
        }
    }
    return KissFileProblem();
}

}  // namespace

KissFileProblem readPalette(const uint8_t* file, size_t size, KissPalette* palette)
{
    KissPalette read;
    const KissFileProblem problem = readInto(file, size, &read);
    *palette = problem.problem == KISS_FINE ? std::move(read) : KissPalette();
    return problem;
}

const uint8_t* kissColour(const KissPalette& palette, int group, int index)
{
    if (index < 0 || index >= palette.colours)
        return NULL;
    if (group < 0 || group >= palette.groups)
        group = 0;
    return palette.rgb.data() + 3 * ((size_t)group * palette.colours + index);
}
