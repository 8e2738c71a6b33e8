// A layered Photoshop document as porvane reads it: its structure, without
// a single pixel, and the parts a doll is made of (psd_format.h describes
// the file).
//
//   PsdDocument document;
//   int64_t detail;
//   if (readPsdDocument(file, size, &document, &detail) != PSD_OK) ...
//   for (size_t p = 0; p < document.parts.size(); ++p)
//       composePsdPart(file, size, document, p, &part, &detail);   // psd_compose.h
//
// The layers form a tree: groups hold layers and groups. Each top-level
// layer and each top-level group is a part, listed bottom first; a
// top-level layer clipped to the one below it belongs to that one's part,
// since it shows only where that one does. Hidden top-level layers and
// groups are parts too, flagged hidden. Each part lists, in its notes, the
// layers in it that are not drawn as the document's program draws them.
//
// readPsdDocument reads RGB and greyscale documents of 8 and 16 bits a
// channel, and checks every declared size against the file before anything
// is kept: every channel that is ever drawn has the bytes its compression
// needs for its rows, and the merged picture has its bytes, so a truncated
// file is refused wherever it ends. The caller keeps the file's bytes for
// composing. Any refusal leaves the document empty.
#ifndef PORVANE_PSD_DOCUMENT_H
#define PORVANE_PSD_DOCUMENT_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Why a document or a part of it cannot be read: one code, and a number
// where the reason needs one (the detail).
enum PsdProblem {
    PSD_OK = 0,
    PSD_NOT_A_DOCUMENT,         // it does not start with "8BPS"
    PSD_LARGE_DOCUMENT_FORMAT,  // a large document (.psb)
    PSD_VERSION,                // detail: the version, which is neither 1 nor 2
    PSD_COLOUR_MODE,            // detail: the colour mode (PsdColourMode)
    PSD_DEPTH,                  // detail: the bits a channel (1 or 32; or nonsense)
    PSD_CANVAS_TOO_LARGE,       // detail: the longer side, past PSD_MAX_SIDE
    PSD_TRUNCATED,              // detail: the file's size; it ends inside a section
    PSD_DAMAGED,                // detail: where in the file sizes stop adding up (an offset),
                                // or the layer count when groups do not close
    PSD_COMPRESSION,            // detail: the compression code, unknown here
    PSD_GROUPS_TOO_DEEP,        // groups nested past PSD_MAX_GROUP_NESTING
    PSD_NO_MERGED_PICTURE,      // the document was saved without a picture of all its layers
    PSD_PICTURE_TOO_LARGE,      // detail: CEL_OVER_DIMENSION or CEL_OVER_BLOCK (celFit)
    PSD_NO_MEMORY,              // composing needs more memory than there is
};

// A rectangle on the canvas, as the file gives it: bottom and right exclusive.
struct PsdRect {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    int64_t width() const { return (int64_t)right - left; }
    int64_t height() const { return (int64_t)bottom - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
};

struct PsdChannel {
    int16_t id;          // 0, 1, 2 colours, -1 transparency, -2 / -3 masks
    uint64_t offset;     // of its data (the compression code first) in the file
    uint32_t length;     // of its data
};

struct PsdMask {
    bool present = false;
    int16_t channel = 0;     // PSD_CHANNEL_MASK or PSD_CHANNEL_PIXEL_MASK
    PsdRect rect;            // on the canvas, however the mask is linked to its layer
    uint8_t defaultColour = 255;  // the mask outside its rect
    bool disabled = false;
    bool relativeToLayer = false;
};

enum PsdLayerKind {
    PSD_PIXEL_LAYER,
    PSD_GROUP,              // a group's own record; its members are `members`
    PSD_GROUP_DIVIDER,      // the record that opens a group: drawn never, in no group's members
    PSD_ADJUSTMENT_LAYER,   // an adjustment or fill layer: left out
};

struct PsdLayer {
    PsdLayerKind kind = PSD_PIXEL_LAYER;
    PsdRect bounds;
    std::vector<PsdChannel> channels;
    uint32_t blendMode = 0;     // its key, as psdKey() gives it ('norm', 'mul ', 'pass')
    uint8_t opacity = 255;
    uint8_t fillOpacity = 255;
    bool clipped = false;       // clipped to the layer (or group) below it
    bool hidden = false;
    bool hasEffects = false;
    PsdMask mask;
    // The name: the Unicode one when the document has it, otherwise the
    // Pascal name's bytes as they are, in the ANSI code page of the system
    // that wrote it.
    bool hasUnicodeName = false;
    std::wstring unicodeName;
    std::string pascalName;
    // A group's members, bottom first, as indices into PsdDocument::layers.
    std::vector<uint32_t> members;
};

// What a part shows differently from the document's program (bits).
enum PsdNoteKind {
    PSD_NOTE_HIDDEN = 1,          // left out: hidden
    PSD_NOTE_ADJUSTMENT = 2,      // left out: an adjustment or fill layer
    PSD_NOTE_BASE_NOT_DRAWN = 4,  // left out: clipped to a layer that is hidden or left out
    PSD_NOTE_BLEND_MODE = 8,      // drawn in normal mode instead of its own (PsdLayer::blendMode)
    PSD_NOTE_EFFECTS = 16,        // drawn without its effects
};
struct PsdNote {
    uint32_t layer;
    unsigned kinds;  // PsdNoteKind bits
};

struct PsdPart {
    // The top-level layer or group, then the top-level layers clipped to it.
    std::vector<uint32_t> layers;
    bool hidden = false;
    std::vector<PsdNote> notes;  // in the order of the layers, bottom first
};

struct PsdDocument {
    int32_t width = 0, height = 0;
    int depth = 0;               // 8 or 16 bits a channel
    int colourMode = 0;          // PSD_MODE_RGB or PSD_MODE_GREYSCALE
    int channels = 0;            // in the merged picture
    std::vector<PsdLayer> layers;      // every record, bottom first
    std::vector<uint32_t> topLevel;    // the top-level layers and groups, bottom first
    std::vector<PsdPart> parts;        // bottom first
    // The merged picture (image data section).
    uint64_t mergedOffset = 0;   // of its compression code
    bool mergedIsReal = true;    // false when the document says it was saved without one
    bool mergedHasTransparency = false;
};

PsdProblem readPsdDocument(const uint8_t* file, size_t size, PsdDocument* document, int64_t* detail);

// Among `siblings` (members of one group, or the top level), the layer at
// `base` and the ones clipped to it: base .. the returned index - 1. A
// clipped layer with nothing unclipped below it in its group is a base.
size_t psdClippingRunEnd(const PsdDocument& document, const std::vector<uint32_t>& siblings, size_t base);

#endif
