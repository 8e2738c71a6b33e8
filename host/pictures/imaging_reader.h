// Pictures that Windows itself reads: PNG, GIF (its first frame), TIFF (its
// first page) and JPEG, through the Windows Imaging Component
// (windowscodecs.dll, part of every Windows since Vista), so that porvane
// brings no picture library of its own.
//
// A picture of colour indices keeps them, with its colour table and the
// alpha of each entry (a PNG's tRNS, a GIF's transparent colour); any other
// picture is converted to blue, green, red and straight (not premultiplied)
// alpha, with no gamma applied.
//
// The imaging component decodes some damaged PNG files without complaint
// (wrong header or pixel-data checksums), so a PNG's chunks are checked here
// first: every chunk's CRC-32, up to IEND, within the file.
#ifndef PORVANE_IMAGING_READER_H
#define PORVANE_IMAGING_READER_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "decoded_picture.h"

enum { PNG_SIGNATURE_BYTES = 8 };
extern const uint8_t PNG_SIGNATURE[PNG_SIGNATURE_BYTES];

// 1 when every chunk of the PNG file is whole and its checksum matches; 0
// with the reason otherwise.
int checkPngChunks(const uint8_t* file, size_t size, std::wstring* reason);

// Decodes the `size` bytes of a picture file. `saysTransparency` is whether
// this kind of file can say what is transparent (a JPEG cannot). Returns 0
// with the reason in words; `fits` is asked before the pixels are copied
// (width, height, whether the picture is of colour indices).
int readWithImagingComponent(const uint8_t* file, size_t size, bool saysTransparency,
                             int (*fits)(int32_t width, int32_t height, bool indexed, std::wstring* reason),
                             DecodedPicture* picture, std::wstring* reason);

#endif
