// The merged picture a document keeps of all its layers (its image data
// section), for `export`: 3 colour channels (1 for grey), raw or RLE, and
// its transparency when the document has one (the channel after the
// colours, when the layer count is negative). Where that picture is not
// opaque, the document's program stores its colours laid over white, and
// other writers as they are: a picture that shows the white (every
// transparent pixel white, no colour darker than its share of white) has
// its colours taken off it again, so the picture comes out as the layers
// would.
#ifndef PORVANE_PSD_MERGED_H
#define PORVANE_PSD_MERGED_H

#include <stddef.h>
#include <stdint.h>

#include "decoded_picture.h"
#include "psd_document.h"

// PSD_NO_MERGED_PICTURE when the document was saved without one,
// PSD_COMPRESSION for a compression other than raw or RLE,
// PSD_PICTURE_TOO_LARGE when a cel could not hold it.
PsdProblem readPsdMergedPicture(const uint8_t* file, size_t size, const PsdDocument& document,
                                DecodedPicture* picture, int64_t* detail);

// For readPsdDocument, once the header and layers are read: whether the
// image data holds every row it needs (PSD_TRUNCATED when the file ends
// first). A compression it cannot read is left for readPsdMergedPicture to
// refuse.
PsdProblem checkPsdMergedPicture(const uint8_t* file, size_t size, const PsdDocument& document, int64_t* detail);

#endif
