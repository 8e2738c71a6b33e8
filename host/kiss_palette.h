// The KiSS palette that goes with an indexed picture's cel: the picture's
// colour table, so that colour index i of the cel means palette entry i.
// The same 800-byte form as the plug-in's palettes: a palette header (24 bits
// a colour, 256 colours, one palette), then 256 x red, green, blue; entries
// the colour table does not have are black.
#ifndef PORVANE_KISS_PALETTE_H
#define PORVANE_KISS_PALETTE_H

#include <stdint.h>

#include "../cel/cel_format.h"

enum { KISS_PALETTE_COLOURS = 256, KISS_PALETTE_BYTES = CEL_HEADER_BYTES + 3 * KISS_PALETTE_COLOURS };

// `table` holds `colours` (at most 256) BMP entries: blue, green, red, unused.
void makeKissPalette(const uint8_t* table, uint32_t colours, uint8_t out[KISS_PALETTE_BYTES]);

#endif
