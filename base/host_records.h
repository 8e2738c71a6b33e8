// The host's side of the boundary: the status codes the exports return, the
// records the host hands over with a picture, and its progress callback.
// The subsystems (cel/, settings/) work with these types; plugin_api.h adds
// the exported functions themselves.
#ifndef PORVANE_HOST_RECORDS_H
#define PORVANE_HOST_RECORDS_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// Results that cross the boundary.
enum ExportStatus {
    EXPORT_OK = 0,                // done
    EXPORT_ABORTED = 101,         // the progress callback asked to stop
    EXPORT_NO_MEMORY = 104,       // the picture cannot be held in memory (or is too large for a cel)
    EXPORT_WRITE_ERROR = 109,     // the output file cannot be created or written
    CONFIG_NOT_IMPLEMENTED = -101 // ConfigurationDlg: the function code is neither 0 nor 1
};

// The host's device-independent bitmap header, laid out as the Windows
// BITMAPINFOHEADER. The plug-in reads only width and height.
struct BitmapInfoHeader {
    uint32_t size;
    int32_t width;           // pixels per row
    int32_t height;          // rows; positive: bottom row first, negative: top row first
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPixelsPerMeter;
    int32_t yPixelsPerMeter;
    uint32_t coloursUsed;
    uint32_t coloursImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "BitmapInfoHeader is the 40-byte Windows layout");
static_assert(offsetof(BitmapInfoHeader, width) == 4 && offsetof(BitmapInfoHeader, height) == 8,
              "width and height sit at byte offsets 4 and 8");

// Bytes per row of a device-independent bitmap: its packed row, padded to a
// multiple of 4 bytes.
inline uint64_t dibStride(uint64_t packedRowBytes)
{
    return (packedRowBytes + 3) & ~(uint64_t)3;
}
inline uint64_t dibRowBytes(int32_t depth, int32_t width)
{
    return dibStride(((uint64_t)(uint32_t)width * (uint32_t)depth + 7) / 8);
}

// Windows leaves the fourth byte of a plain 32-bit bitmap unused, and many
// programs leave it zero: a 32-bit bitmap whose fourth bytes are all zero
// (`fourthBytes`: every pixel's fourth byte ORed together) has no alpha, and
// is opaque.
inline bool dibHasNoAlpha(uint8_t fourthBytes)
{
    return fourthBytes == 0;
}

// The host's packed picture information record. The plug-in reads only the
// colour depth; the bytes before it are the host's own business.
#pragma pack(push, 1)
struct PictureInfoRecord {
    uint8_t hostFields[20];  // never read
    int16_t colorDepth;      // bits per pixel
};
#pragma pack(pop)
static_assert(offsetof(PictureInfoRecord, colorDepth) == 20, "colour depth sits at byte offset 20");

// The host's progress function: (numerator, denominator, user value); a
// non-zero answer asks the plug-in to stop.
typedef LONG(WINAPI* ProgressCallback)(LONG numerator, LONG denominator, LONG userValue);

#endif
