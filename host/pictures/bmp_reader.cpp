#include "bmp_reader.h"

#include <string.h>

#include "../../base/host_records.h"

// Compression codes of the info header.
enum { BMP_RGB = 0, BMP_RLE8 = 1, BMP_RLE4 = 2, BMP_BITFIELDS = 3, BMP_JPEG = 4, BMP_PNG = 5 };

static uint32_t u32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | (uint32_t)at[3] << 24; }
static uint16_t u16(const uint8_t* at) { return (uint16_t)(at[0] | at[1] << 8); }

// a * b, or UINT64_MAX when that does not fit.
static uint64_t productOrMax(uint64_t a, uint64_t b)
{
    return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

// The info header: BITMAPINFOHEADER (40 bytes) or one of its later forms,
// which add the colour masks (52), the alpha mask (56), colour spaces (108)
// and colour profiles (124); or OS/2 1.x's BITMAPCOREHEADER (12 bytes).
static int checkInfoHeaderSize(uint32_t size, PictureProblem* problem)
{
    switch (size) {
    case BMP_OS2_HEADER_BYTES: case 40: case 52: case 56: case 108: case 124:
        return 1;
    case 16: case 64:
        return refuse(problem, BMP_OS2_2);
    default:
        return refuse(problem, BMP_UNKNOWN_HEADER, size);
    }
}

// Which conversion the compression and depth call for.
static int chooseConversion(uint32_t compression, int depth, BmpLayout* layout, PictureProblem* problem)
{
    switch (compression) {
    case BMP_RGB:
        if (depth == 1 || depth == 4 || depth == 8 || depth == 24 || depth == 32) {
            layout->conversion = BMP_AS_STORED;
            return 1;
        }
        if (depth == 16) {  // 5-5-5, the top bit unused
            layout->conversion = BMP_BIT_FIELDS;
            layout->masks[0] = 0x7C00, layout->masks[1] = 0x03E0, layout->masks[2] = 0x001F;
            return 1;
        }
        return refuse(problem, BMP_DEPTH, depth);
    case BMP_RLE8:
    case BMP_RLE4:
        if (depth != (compression == BMP_RLE8 ? 8 : 4))
            return refuse(problem, BMP_RUN_LENGTH_DEPTH, depth);
        layout->conversion = BMP_RUN_LENGTH;
        return 1;
    case BMP_BITFIELDS:
        if (depth != 16 && depth != 32)
            return refuse(problem, BMP_MASKS_DEPTH, depth);
        layout->conversion = BMP_BIT_FIELDS;
        return 1;
    case BMP_JPEG:
    case BMP_PNG:
        return refuse(problem, BMP_HOLDS_PNG_OR_JPEG);
    default:
        return refuse(problem, BMP_COMPRESSION, compression);
    }
}

int readBmpLayout(const uint8_t* file, size_t size, BmpLayout* layout, PictureProblem* problem)
{
    *layout = BmpLayout{};
    if (size < 2 || file[0] != 'B' || file[1] != 'M')
        return refuse(problem, BMP_NOT_BMP);
    if (size < BMP_FILE_HEADER_BYTES + 4)
        return refuse(problem, BMP_TOO_SHORT);
    const uint32_t infoSize = u32(file + BMP_FILE_HEADER_BYTES);
    if (!checkInfoHeaderSize(infoSize, problem))
        return 0;
    uint64_t headerEnd = BMP_FILE_HEADER_BYTES + (uint64_t)infoSize;
    if (headerEnd > size)
        return refuse(problem, BMP_SHORT_HEADER);

    const uint8_t* info = file + BMP_FILE_HEADER_BYTES;
    const bool os2 = infoSize == BMP_OS2_HEADER_BYTES;
    layout->width = os2 ? u16(info + 4) : (int32_t)u32(info + 4);
    layout->height = os2 ? u16(info + 6) : (int32_t)u32(info + 8);
    layout->fileDepth = u16(info + (os2 ? 10 : 14));
    layout->compression = os2 ? (uint32_t)BMP_RGB : u32(info + 16);
    if (!chooseConversion(layout->compression, layout->fileDepth, layout, problem))
        return 0;
    if (layout->width < 0)
        return refuse(problem, BMP_NEGATIVE_WIDTH);
    layout->rows = layout->height < 0 ? 0u - (uint32_t)layout->height : (uint32_t)layout->height;
    if (layout->height < 0 && layout->conversion == BMP_RUN_LENGTH)
        return refuse(problem, BMP_TOP_DOWN_RUN_LENGTH);

    // Colour masks: in the later headers themselves; after a 40-byte one.
    if (layout->compression == BMP_BITFIELDS) {
        const uint8_t* masks = info + 40;
        if (infoSize == 40) {
            if (headerEnd + 12 > size)
                return refuse(problem, BMP_SHORT_MASKS);
            masks = file + headerEnd;
            headerEnd += 12;
        }
        for (int channel = 0; channel < 3; ++channel)
            layout->masks[channel] = u32(masks + 4 * channel);
        if (infoSize >= 56)
            layout->masks[3] = u32(info + 52);
    }

    const uint64_t pixels = u32(file + 10);
    if (pixels < headerEnd)
        return refuse(problem, BMP_PIXELS_IN_HEADER);
    if (pixels > size)
        return refuse(problem, BMP_SHORT_PIXELS);
    layout->pixels = (size_t)pixels;

    // The colour table lies between the header and the pixels; a file may
    // hold fewer entries than it announces, never more than the depth uses.
    layout->colourTable = (size_t)headerEnd;
    layout->colourEntryBytes = os2 ? 3 : 4;
    if (layout->fileDepth <= 8) {
        const uint32_t used = os2 ? 0 : u32(info + 32), most = 1u << layout->fileDepth;
        uint64_t colours = used == 0 || used > most ? most : used;
        if (colours > (pixels - headerEnd) / layout->colourEntryBytes)
            colours = (pixels - headerEnd) / layout->colourEntryBytes;
        layout->colours = (uint32_t)colours;
    }

    layout->fileRowBytes = dibRowBytes(layout->fileDepth, layout->width);
    layout->pixelBytes = productOrMax(productOrMax((uint32_t)layout->width, layout->rows), layout->fileDepth <= 8 ? 1 : 4);
    if (layout->conversion != BMP_RUN_LENGTH && productOrMax(layout->fileRowBytes, layout->rows) > size - pixels)
        return refuse(problem, BMP_SHORT_PIXELS);
    return 1;
}

// ---------------------------------------------------------------------------
// Run-length compressed BMP pixels (BI_RLE8 and BI_RLE4), as older Windows
// paint programs save them.
//
// The data is a series of two-byte codes, bottom row first: a count n > 0
// and a value give n pixels of that index (for 4 bits, of the value's two
// nibbles in turn); a zero count is an escape: 0 ends the row, 1 ends the
// picture, 2 moves right and up by the next two bytes, and 3 to 255 are that
// many pixels given one by one (two to a byte for 4 bits), padded to an even
// number of bytes. Pixels that no code sets are colour 0; pixels beyond the
// right edge or the top row are dropped.
static int decodeRunLength(const uint8_t* data, size_t size, const BmpLayout& layout, DecodedPicture* picture)
{
    const bool fourBits = layout.fileDepth == 4;
    const uint64_t width = (uint32_t)layout.width;
    uint64_t x = 0, y = 0;  // y counts rows from the bottom, as the data does

    auto put = [&](uint8_t index) {
        if (x < width && y < layout.rows)
            picture->indices[(layout.rows - 1 - y) * width + x] = index;
        ++x;
    };
    auto nibble = [](uint8_t byte, unsigned i) { return (uint8_t)(i % 2 == 0 ? byte >> 4 : byte & 0x0F); };

    size_t at = 0;
    while (y < layout.rows && at < size) {
        if (size - at < 2)
            return 0;
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(fourBits ? nibble(value, i) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of the row
            x = 0;
            ++y;
            break;
        case 1:  // end of the picture
            return 1;
        case 2:  // move right and up
            if (size - at < 2)
                return 0;
            x += data[at];
            y += data[at + 1];
            at += 2;
            break;
        default: {  // `value` pixels given one by one
            const size_t bytes = fourBits ? (value + 1u) / 2 : value;
            if (size - at < bytes)
                return 0;
            for (unsigned i = 0; i < value; ++i)
                put(fourBits ? nibble(data[at + i / 2], i) : data[at + i]);
            at += bytes;
            if (bytes % 2 == 1 && at < size)  // the padding byte
                ++at;
            break;
        }
        }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Pixels whose colours sit in bit fields: 16-bit pixels (5-5-5, or any
// masks) and 32-bit pixels with colour masks. Each channel is scaled from its
// field's range to 0-255, rounded to the nearest value; a channel with no
// mask is 0.
static uint8_t channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const uint64_t top = mask >> shift;  // the field's largest value (masks with gaps are taken as they are)
    const uint64_t value = (pixel & mask) >> shift;
    return (uint8_t)((value * 255 + top / 2) / top);
}

// One pixel of `bytes` bytes (2 or 4), little-endian, as 0xAARRGGBB.
static uint32_t spreadBitFields(const uint8_t* in, int bytes, const uint32_t masks[4])
{
    uint32_t pixel = 0;
    for (int byte = 0; byte < bytes; ++byte)
        pixel |= (uint32_t)in[byte] << (8 * byte);
    return (uint32_t)channel(pixel, masks[3]) << 24 | (uint32_t)channel(pixel, masks[0]) << 16 |
           (uint32_t)channel(pixel, masks[1]) << 8 | channel(pixel, masks[2]);
}

// ---------------------------------------------------------------------------

// The colour index of pixel x in a packed row of 1, 4 or 8 bits.
static uint8_t indexAt(const uint8_t* row, int depth, uint32_t x)
{
    switch (depth) {
    case 1: return (uint8_t)(row[x / 8] >> (7 - x % 8) & 1);
    case 4: return (uint8_t)(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
    default: return row[x];
    }
}

int decodeBmp(const uint8_t* file, size_t size, const BmpLayout& layout, DecodedPicture* picture, PictureProblem* problem)
{
    const uint32_t width = (uint32_t)layout.width;
    picture->width = layout.width;
    picture->height = (int32_t)layout.rows;
    picture->saysTransparency = false;
    const bool indexed = layout.fileDepth <= 8;
    picture->indexBits = indexed ? layout.fileDepth : 0;
    picture->colours.clear();
    for (uint32_t i = 0; i < layout.colours; ++i) {
        const uint8_t* entry = file + layout.colourTable + i * layout.colourEntryBytes;
        picture->colours.push_back(FULLY_OPAQUE | (uint32_t)entry[2] << 16 | (uint32_t)entry[1] << 8 | entry[0]);
    }
    const size_t count = (size_t)width * layout.rows;
    picture->indices.assign(indexed ? count : 0, 0);
    picture->pixels.assign(indexed ? 0 : count, 0);

    const uint8_t* data = file + layout.pixels;
    if (layout.conversion == BMP_RUN_LENGTH) {  // pixels that no code sets are colour 0
        if (!decodeRunLength(data, size - layout.pixels, layout, picture)) {
            return refuse(problem, BMP_RUN_LENGTH_ENDS);
        }
        return 1;
    }
    uint32_t alphaSeen = 0;
    for (uint32_t y = 0; y < layout.rows; ++y) {
        const uint8_t* row = data + y * layout.fileRowBytes;
        const size_t out = (size_t)(layout.height < 0 ? y : layout.rows - 1 - y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            if (indexed) {
                picture->indices[out + x] = indexAt(row, layout.fileDepth, x);
                continue;
            }
            uint32_t pixel;
            if (layout.conversion == BMP_BIT_FIELDS) {
                pixel = spreadBitFields(row + x * (layout.fileDepth / 8), layout.fileDepth / 8, layout.masks);
            } else {
                const uint8_t* at = row + x * (layout.fileDepth / 8);
                pixel = (uint32_t)at[2] << 16 | (uint32_t)at[1] << 8 | at[0];
                if (layout.fileDepth == 32)
                    pixel |= (uint32_t)at[3] << 24;
            }
            alphaSeen |= pixel;
            picture->pixels[out + x] = pixel;
        }
    }
    if (!indexed && dibHasNoAlpha((uint8_t)(alphaSeen >> 24))) {
        for (uint32_t& pixel : picture->pixels)
            pixel |= FULLY_OPAQUE;
    } else if (!indexed) {
        picture->saysTransparency = true;  // its alpha does
    }
    return 1;
}
