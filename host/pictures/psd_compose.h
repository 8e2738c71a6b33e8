// Composing one part of a document (psd_document.h) into a picture: the
// part's layers laid one over another as the document's program shows them,
// for normal blending, with straight alpha, 8 bits a channel:
//   - a layer's own alpha, times its mask, its fill opacity and its opacity;
//   - a group: its members composed on their own (nested groups likewise),
//     times the group's mask, then laid down with the group's opacity;
//   - a mask multiplies alpha; outside its rect its default colour applies;
//     a disabled mask is ignored;
//   - clipping: a layer clipped to the one below (its base: the nearest
//     unclipped layer or group below it in the same group) shows only where
//     the base does. The base's opacity applies to its clipped layers too,
//     as the document's program shows a clipping mask ("the layers in the
//     clipping mask have the opacity and mode of the base"), and its fill
//     opacity only to its own pixels: a base of fill 0 still shows its
//     clipped layers. So a base and its clipped layers are composed
//     together: the base's colour with its fill opacity for alpha, the
//     clipped layers laid over it, and the result's alpha multiplied by the
//     base's own (its alpha times its mask), which keeps the base's soft
//     edges as they are under an opaque clipped layer; that is then laid
//     down with the base's opacity;
//   - hidden layers, adjustment and fill layers, and layers clipped to a
//     hidden or left-out base are left out; other blend modes are drawn as
//     normal, and effects not at all (the part's notes say so).
// A hidden part is composed as if it were visible.
//
// Only the part's layers are read, each within its bounds on the canvas, a
// row of all its channels at a time, straight onto the picture it is laid
// on: the part's, or a group's or a clipping base's own, which are no
// larger than the part. The part is then cropped to the pixels that show
// (alpha above 0), and its transparent pixels are 0.
#ifndef PORVANE_PSD_COMPOSE_H
#define PORVANE_PSD_COMPOSE_H

#include <stddef.h>
#include <stdint.h>

#include "decoded_picture.h"
#include "psd_document.h"

struct PsdPartPicture {
    // Straight alpha, 0xAARRGGBB, top row first; saysTransparency is set.
    // 0 x 0 when nothing of the part shows.
    DecodedPicture picture;
    int32_t x = 0, y = 0;  // its top-left pixel on the canvas
};

// `file` is the document's bytes as readPsdDocument read them. Refuses with
// PSD_PICTURE_TOO_LARGE a part a cel could not hold, with PSD_DAMAGED rows
// that do not decode, and with PSD_NO_MEMORY.
PsdProblem composePsdPart(const uint8_t* file, size_t size, const PsdDocument& document, size_t part,
                          PsdPartPicture* out, int64_t* detail);

#endif
