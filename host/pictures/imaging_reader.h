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
// A PNG's chunks are checked before it comes here (png_check.h).
#ifndef PORVANE_IMAGING_READER_H
#define PORVANE_IMAGING_READER_H

#include <stddef.h>
#include <stdint.h>

#include "decoded_picture.h"
#include "picture_problem.h"

// Decodes the `size` bytes of a picture file. `saysTransparency` is whether
// this kind of file can say what is transparent (a JPEG cannot). Returns 0
// with the problem; `fits` is asked before the pixels are copied (width,
// height, whether the picture is of colour indices).
int readWithImagingComponent(const uint8_t* file, size_t size, bool saysTransparency,
                             int (*fits)(int64_t width, int64_t height, bool indexed, PictureProblem* problem),
                             DecodedPicture* picture, PictureProblem* problem);

#endif
