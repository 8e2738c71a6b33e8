// Pictures handed over as the host hands them, and the KiSS file each must
// become: one set for the native tests, the fuzz targets, the benchmarks and
// the tests of the real porvane.xpi under Wine. Free of gtest, so that the
// fuzz targets can link it, and of the plug-in's own headers, so that the
// Wine tests keep seeing only what a host sees.
#ifndef PORVANE_HOST_PICTURE_H
#define PORVANE_HOST_PICTURE_H

#include <windows.h>

#include <stdint.h>
#include <vector>

// Bytes per host row (8 bits a pixel for a depth that makes no sense),
// padded to a multiple of 4 bytes.
int32_t hostStride(int32_t depth, int32_t width);
// Bytes per row of a KiSS file: packed, unpadded.
int64_t kissRowBytes(int32_t depth, int64_t width);

// Host rows of the given size filled with a pattern that differs per byte.
std::vector<uint8_t> patternBits(int32_t depth, int32_t width, int32_t height, uint8_t seed = 0);

// The header's mark: a cel or a palette.
enum { MARK_CEL = 0x20, MARK_PALETTE = 0x10 };

// The KiSS file the host rows must become, worked out pixel by pixel and
// independently of the plug-in: the 32-byte header, then the rows top row
// first (a positive `height` stores them bottom row first), packed; depths
// with no conversion give zero rows. Only each pixel's own bits count, not
// what the host left after a row's last pixel. 24-bit pixels turn from blue,
// green, red into red, green, blue; 32-bit pixels keep their bytes, and get
// alpha 255 when the picture has none at all.
std::vector<uint8_t> expectedKissFile(int16_t depth, int32_t width, int32_t height,
                                      const std::vector<uint8_t>& hostRows, uint8_t mark);

// A picture in movable memory handles, as the host passes it: a 40-byte
// BITMAPINFOHEADER and the rows as stored (`headerHeight` as the header
// says it: negative for top row first), plus the host's 32-byte picture
// information record, whose only field porvane reads is the depth at
// offset 20; every other byte is 0xC3.
struct HostPicture {
    HostPicture(int16_t depth, int32_t width, int32_t headerHeight, const std::vector<uint8_t>& rows);
    ~HostPicture();
    HostPicture(const HostPicture&) = delete;
    HostPicture& operator=(const HostPicture&) = delete;

    HLOCAL header;
    HLOCAL bits;
    uint8_t info[32];
};

#endif
