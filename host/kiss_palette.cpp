#include "kiss_palette.h"

#include <string.h>

void makeKissPalette(const uint8_t* table, uint32_t colours, uint8_t out[KISS_PALETTE_BYTES])
{
    CelHeader header;
    header.mark = CEL_MARK_PALETTE;
    header.depth = 24;
    header.width = KISS_PALETTE_COLOURS;
    header.height = 1;
    encodeCelHeader(header, out);

    uint8_t* entry = out + CEL_HEADER_BYTES;
    memset(entry, 0, 3 * KISS_PALETTE_COLOURS);
    for (uint32_t i = 0; i < colours && i < KISS_PALETTE_COLOURS; ++i, entry += 3, table += 4) {
        entry[0] = table[2];
        entry[1] = table[1];
        entry[2] = table[0];
    }
}
