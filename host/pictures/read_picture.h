// Reading a picture's file into the one form every reader fills in
// (decoded_picture.h): BMPs through porvane's own reader, PNG, GIF, TIFF and
// JPEG through the Windows Imaging Component, and a layered Photoshop
// document (.psd) as the picture of all its layers it stores. The kind is told by the file's
// first bytes, never by its name; a picture a KiSS cel could not hold is
// refused before its pixels are decoded.
#ifndef PORVANE_READ_PICTURE_H
#define PORVANE_READ_PICTURE_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "decoded_picture.h"
#include "picture_problem.h"

// Reads `path`. Returns 0 with the problem; nothing is held then.
int readPicture(const std::wstring& path, DecodedPicture* picture, PictureProblem* problem);

// Decodes the `size` bytes of a picture file; `path` only tells a damaged
// picture (named as one) from a file of another kind.
int decodePicture(const std::wstring& path, const uint8_t* file, size_t size, DecodedPicture* picture,
                  PictureProblem* problem);

// Why a file could not be read, from the error the system gave (any file:
// the KiSS commands read configurations and archives with it too).
PictureProblemCode notOpened(DWORD error);

// True when the file name ends in an extension of a picture the converter
// reads (.bmp, .png, .gif, .tif, .tiff, .jpg, .jpeg, .psd), in any case.
bool hasPictureExtension(const std::wstring& path);

// True when `bytes`, a file's first bytes, start as a picture the converter
// reads does.
bool isPictureStart(const uint8_t* bytes, size_t size);

#endif
