// A picture as read from its file, before porvane decides what it becomes:
// the one form every reader (porvane's own BMP reader, and the Windows
// Imaging Component for PNG, GIF, TIFF and JPEG) fills in.
#ifndef PORVANE_DECODED_PICTURE_H
#define PORVANE_DECODED_PICTURE_H

#include <stdint.h>

#include <string>
#include <vector>

// Colours are 0xAARRGGBB, as the imaging component gives them: alpha 255 is
// opaque, 0 fully transparent.
inline uint8_t alphaOf(uint32_t colour) { return (uint8_t)(colour >> 24); }
const uint32_t FULLY_OPAQUE = 0xFF000000u;

struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    // 1, 2, 4 or 8 for a picture of colour indices; 0 for a full-colour one.
    int indexBits = 0;
    // Indexed: the colour table (at most 256 entries; a pixel may name an
    // entry past its end, which is opaque black).
    std::vector<uint32_t> colours;
    // Top row first, no padding. Indexed: one index a byte; full colour: one
    // 0xAARRGGBB a pixel.
    std::vector<uint8_t> indices;
    std::vector<uint32_t> pixels;
    // The file says what is transparent (PNG, GIF, TIFF). A BMP or JPEG
    // cannot: there colour 0 of a colour table is the transparent one, as
    // doll makers paint them, and a full-colour picture is opaque.
    bool saysTransparency = false;
    // The file keeps its colours only nearly (JPEG): a flat colour comes
    // back as a cloud of colours close to it.
    bool lossy = false;
};

#endif
