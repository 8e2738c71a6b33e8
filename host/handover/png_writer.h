// Pictures saved as PNG files, through the Windows Imaging Component's
// encoder (windowscodecs.dll, in every Windows since Vista), so that porvane
// brings no picture library of its own: the preview of a doll's set, and a
// doll's cels unpacked as pictures.
//
// A picture is encoded whole into memory (an IStream on movable memory), and
// the bytes then go to the disk through the converter's one writer
// (kiss_output.h): a PNG is written whole or not at all, like every file.
// The PNG is 8 bits a channel, red, green, blue and straight alpha.
#ifndef PORVANE_PNG_WRITER_H
#define PORVANE_PNG_WRITER_H

#include <stdint.h>

#include <string>
#include <vector>

#include "kiss_output.h"

enum PngProblem {
    PNG_ENCODED = 0,
    PNG_NO_IMAGING_COMPONENT,  // this Windows has no imaging component (natively: never)
    PNG_NO_MEMORY,
    PNG_NOT_ENCODED,           // the encoder refused the picture
};

struct IWICImagingFactory;

// The imaging component's factory, made once for all the pictures a command
// saves.
class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // PNG_NO_IMAGING_COMPONENT when there is none, before any picture is tried.
    PngProblem ready() const { return factory_ != NULL ? PNG_ENCODED : PNG_NO_IMAGING_COMPONENT; }

    // `rgba`: `width` x `height` pixels of red, green, blue and alpha, top
    // row first. Replaces `*png` with the file's bytes, or leaves it empty.
    PngProblem encode(const uint8_t* rgba, int32_t width, int32_t height, std::vector<uint8_t>* png) const;

private:
    IWICImagingFactory* factory_ = NULL;
};

// Why a PNG was not saved: not encoded, or encoded and not written.
struct PngSaved {
    PngProblem encoding = PNG_ENCODED;
    WriteProblem written;
};

// Encodes the picture and writes it as `path`, never as one of `protectedFiles`.
PngSaved savePng(const PngEncoder& encoder, const uint8_t* rgba, int32_t width, int32_t height,
                 const std::wstring& path, const ProtectedFiles& protectedFiles);

#endif
