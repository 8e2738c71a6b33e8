#include "host_picture.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int32_t hostStride(int32_t depth, int32_t width)
{
    return (int32_t)((((int64_t)width * (depth > 0 ? depth : 8)) + 31) / 32 * 4);
}

int64_t kissRowBytes(int32_t depth, int64_t width)
{
    return depth == 1 || depth == 4 || depth == 24 || depth == 32 ? (width * depth + 7) / 8 : width;
}

std::vector<uint8_t> patternBits(int32_t depth, int32_t width, int32_t height, uint8_t seed)
{
    size_t size = (size_t)hostStride(depth, width) * (size_t)llabs((int64_t)height);
    std::vector<uint8_t> bits(size);
    for (size_t i = 0; i < size; ++i)
        bits[i] = (uint8_t)(i * 7 + seed + (i >> 8));
    return bits;
}

std::vector<uint8_t> expectedKissFile(int16_t depth, int32_t width, int32_t height,
                                      const std::vector<uint8_t>& hostRows, uint8_t mark)
{
    const int32_t rows = (int32_t)llabs((int64_t)height);
    const size_t rowBytes = (size_t)kissRowBytes(depth, width), stride = (size_t)hostStride(depth, width);
    std::vector<uint8_t> file(32 + rowBytes * rows, 0);
    const uint8_t header[12] = {'K', 'i', 'S', 'S', mark, (uint8_t)depth, 0, 0, (uint8_t)width,
                                (uint8_t)(width >> 8), (uint8_t)rows, (uint8_t)(rows >> 8)};
    memcpy(file.data(), header, sizeof header);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)
        return file;
    bool anyAlpha = false;
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* from = hostRows.data() + (size_t)(height > 0 ? rows - 1 - y : y) * stride;
        uint8_t* to = file.data() + 32 + (size_t)y * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            if (depth == 24) {  // the host stores blue, green, red
                to[3 * x] = from[3 * x + 2];
                to[3 * x + 1] = from[3 * x + 1];
                to[3 * x + 2] = from[3 * x];
            } else if (depth == 32) {  // blue, green, red, alpha on both sides
                memcpy(to + 4 * x, from + 4 * x, 4);
                anyAlpha = anyAlpha || from[4 * x + 3] != 0;
            } else {  // only the pixel's own bits: whatever follows the last pixel stays zero
                const int32_t bit = x * depth, shift = 8 - depth - bit % 8;
                to[bit / 8] |= from[bit / 8] & (uint8_t)(((1u << depth) - 1) << shift);
            }
        }
    }
    if (depth == 32 && !anyAlpha)  // no alpha anywhere: an opaque picture
        for (size_t alpha = 32 + 3; alpha < file.size(); alpha += 4)
            file[alpha] = 0xFF;
    return file;
}

// A movable block holding `count` bytes, at least 4: a movable block of 0
// bytes is "discarded" on Windows and cannot be locked, and the host always
// hands over a real block.
static HLOCAL movableCopy(const void* bytes, size_t count)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, count < 4 ? 4 : count);
    void* memory = handle != NULL ? LocalLock(handle) : NULL;
    if (memory == NULL) {
        fprintf(stderr, "HostPicture: no memory for a %lu-byte block\n", (unsigned long)count);
        abort();  // a test cannot go on without its picture
    }
    if (count > 0)
        memcpy(memory, bytes, count);
    LocalUnlock(handle);
    return handle;
}

static void putLittleEndian(uint8_t* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = (uint8_t)(value >> (8 * i));
}

HostPicture::HostPicture(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& rows)
{
    uint8_t bitmapHeader[40] = {};
    putLittleEndian(bitmapHeader, sizeof bitmapHeader, 4);  // biSize
    putLittleEndian(bitmapHeader + 4, (uint32_t)width, 4);
    putLittleEndian(bitmapHeader + 8, (uint32_t)headerHeight, 4);
    putLittleEndian(bitmapHeader + 12, 1, 2);                // biPlanes
    putLittleEndian(bitmapHeader + 14, (uint16_t)depth, 2);  // biBitCount
    putLittleEndian(bitmapHeader + 20, (uint32_t)rows.size(), 4);  // biSizeImage
    header = movableCopy(bitmapHeader, sizeof bitmapHeader);
    bits = movableCopy(rows.data(), rows.size());
    memset(info, 0xC3, sizeof info);  // the host's own fields, which the plug-in must not read
    putLittleEndian(info + 20, (uint16_t)depth, 2);
}

HostPicture::~HostPicture()
{
    LocalFree(header);
    LocalFree(bits);
}
