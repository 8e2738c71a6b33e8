#include "png_check.h"

#include <zlib.h>

const uint8_t PNG_SIGNATURE[PNG_SIGNATURE_BYTES] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

enum {
    CHUNK_FRAME_BYTES = 12,  // length, type and CRC around the data
    IHDR_READ_BYTES = 10,    // the width, the height, the bit depth and the colour type
    COLOUR_TYPE_INDEXED = 3,
};

static uint32_t bigEndian32(const uint8_t* at)
{
    return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

static bool isType(const uint8_t* type, const char* name)
{
    return type[0] == name[0] && type[1] == name[1] && type[2] == name[2] && type[3] == name[3];
}

int checkPngChunks(const uint8_t* file, size_t size, PngSize* declared, PictureProblem* problem)
{
    size_t at = PNG_SIGNATURE_BYTES;
    for (bool first = true;; first = false) {
        if (size - at < CHUNK_FRAME_BYTES)
            return refuse(problem, PNG_ENDS_EARLY);
        const uint32_t length = bigEndian32(file + at);
        if (length > size - at - CHUNK_FRAME_BYTES)
            return refuse(problem, PNG_ENDS_EARLY);
        const uint8_t* type = file + at + 4;
        if (crc32(0, type, (uInt)(4 + length)) != bigEndian32(type + 4 + length))  // within the file: under 2 GB
            return refuse(problem, PNG_CHECKSUM);
        if (first) {
            if (!isType(type, "IHDR") || length < IHDR_READ_BYTES)
                return refuse(problem, PICTURE_DAMAGED);
            const uint8_t* data = type + 4;
            *declared = PngSize{bigEndian32(data), bigEndian32(data + 4), data[9] == COLOUR_TYPE_INDEXED};
        }
        at += CHUNK_FRAME_BYTES + (size_t)length;
        if (isType(type, "IEND"))
            return 1;
    }
}
