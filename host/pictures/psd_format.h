// The layered Photoshop document (.psd), as porvane reads it: the layout,
// its constants and porvane's limits, in one place. All multi-byte fields
// are big-endian; "rect" is four int32: top, left, bottom, right, in canvas
// pixels (bottom and right exclusive).
//
// Header, 26 bytes
//   0  4  signature "8BPS"
//   4  2  version: 1 (.psd); 2 is the large document format (.psb), which
//         widens several lengths to 8 bytes and is refused
//   6  6  reserved
//  12  2  channels in the merged picture, 1..56
//  14  4  height, 1..30000       18  4  width, 1..30000
//  22  2  bits a channel: 1, 8, 16 or 32 (porvane reads 8 and 16)
//  24  2  colour mode: 0 bitmap, 1 greyscale, 2 indexed, 3 RGB, 4 CMYK,
//         7 multichannel, 8 duotone, 9 Lab (porvane reads 1 and 3)
//
// Then four sections, each but the last behind a uint32 length:
//   colour mode data (a colour table for indexed documents): skipped;
//   image resources: a run of "8BIM", uint16 id, Pascal name padded to an
//     even length (the length byte included), uint32 size, data padded to
//     even. Only id 1057 (version info) is read: uint32 version, then one
//     byte, 0 when the merged picture is not a real one (the document was
//     saved without it);
//   layer and mask information (below);
//   image data, to the end of the file: the merged picture of every layer,
//     uint16 compression, then the channels one after another (for RLE,
//     first the table of every row's byte count, channel by channel, then
//     the rows). When the layer count below is negative, the channel after
//     the colour ones is the merged picture's transparency, and the colours
//     are laid over white where it is not opaque.
//
// Layer and mask information (uint32 length, then):
//   layer info: uint32 length (0 when the layers are kept in an Lr16, Lr32
//     or Layr block below), int16 layer count (negative: see image data),
//     the layer records, then every layer's channel data, layer by layer,
//     channel by channel, in record order;
//   global layer mask info: uint32 length and data, skipped;
//   additional information blocks (as in a layer record, below) to the end.
//
// Layer record; records come bottom layer first:
//   rect bounds; uint16 channel count, then per channel int16 id (0, 1, 2:
//   red, green, blue, or 0: grey; -1 transparency; -2 layer mask; -3 the
//   pixel mask when the layer also has a vector mask) and uint32 length of
//   its data; "8BIM"; 4-byte blend mode key; opacity (0..255); clipping (0:
//   base, 1: clipped to the layer below); flags (bit 1: hidden; bits 3 and
//   4: the pixels do not show, as in group records); filler; uint32 length
//   of the rest:
//     mask data: uint32 length (0, 20, or 36 and more); rect, default colour
//       (0 or 255: the mask outside its rect), flags (bit 0: position
//       relative to the layer, bit 1: disabled, bit 3: rendered from a
//       vector mask, bit 4: parameters follow). From 36 bytes the layer has
//       a vector and a pixel mask: the first rect and flags are the vector
//       mask's, and the pixel mask's flags, default colour and rect follow
//       at once (before any parameters, as the files have them);
//     blending ranges: uint32 length and data, skipped;
//     name: Pascal string padded to a multiple of 4 bytes, length byte
//       included, in the system's ANSI code page;
//     additional information blocks to the end: "8BIM" or "8B64", 4-byte
//       key, uint32 length, data (writers pad the length to 2 or 4 bytes).
//       Those porvane reads: luni (uint32 count, UTF-16 units: the name);
//       lsct/lsdk (uint32 type: 1 or 2 a group's record, 3 the divider that
//       opens it; then "8BIM" and the group's blend mode key); iOpa (fill
//       opacity, one byte); lfx2, lrFX, lmfx (effects); the adjustment and
//       fill layer keys (PSD_ADJUSTMENT_KEYS).
//
// Channel data: uint16 compression, then the rows, each `width` samples of
// 1 or 2 bytes, of the layer's bounds (of the mask's rect for -2 and -3):
//   0 raw; 1 RLE: a uint16 byte count for every row, then each row in
//   PackBits (n = 0..127: n + 1 bytes follow; n = -127..-1: the next byte
//   1 - n times; -128: nothing); 2 ZIP: a zlib stream of the rows; 3 ZIP
//   with prediction: each sample of a row is stored as its difference from
//   the one before it (16-bit samples as big-endian 16-bit differences).
//
// Groups: the divider record (lsct type 3) comes first, then the group's
// members, then the group's own record (type 1 or 2) with its name, opacity,
// visibility, blend mode (often "pass", pass-through) and mask.
#ifndef PORVANE_PSD_FORMAT_H
#define PORVANE_PSD_FORMAT_H

#include <stdint.h>

// A four-character code as it reads in the file ('8BPS', 'norm').
constexpr uint32_t psdKey(const char (&code)[5])
{
    return (uint32_t)(uint8_t)code[0] << 24 | (uint32_t)(uint8_t)code[1] << 16 | (uint32_t)(uint8_t)code[2] << 8 |
           (uint32_t)(uint8_t)code[3];
}

const uint32_t PSD_SIGNATURE = psdKey("8BPS");
const uint32_t PSD_BLOCK_SIGNATURE = psdKey("8BIM");
const uint32_t PSD_BLOCK_SIGNATURE_64 = psdKey("8B64");

enum {
    PSD_HEADER_BYTES = 26,
    PSD_VERSION_DOCUMENT = 1,
    PSD_VERSION_LARGE_DOCUMENT = 2,
    PSD_MAX_SIDE = 30000,        // the format's own limit on the canvas
    // A layer may reach past the canvas, but no further than the large
    // document format's own limit: this bounds a row of any channel.
    PSD_MAX_LAYER_SIDE = 300000,
    PSD_MAX_CHANNELS = 56,       // in the merged picture and in a layer
    PSD_MAX_GROUP_NESTING = 64,  // porvane's: every level may hold a picture while composing
    PSD_RESOURCE_VERSION_INFO = 1057,
};

enum PsdColourMode {
    PSD_MODE_BITMAP = 0,
    PSD_MODE_GREYSCALE = 1,
    PSD_MODE_INDEXED = 2,
    PSD_MODE_RGB = 3,
    PSD_MODE_CMYK = 4,
    PSD_MODE_MULTICHANNEL = 7,
    PSD_MODE_DUOTONE = 8,
    PSD_MODE_LAB = 9,
};

enum PsdCompression {
    PSD_RAW = 0,
    PSD_RLE = 1,
    PSD_ZIP = 2,
    PSD_ZIP_PREDICTED = 3,
};

// Channel ids in a layer record.
enum {
    PSD_CHANNEL_TRANSPARENCY = -1,
    PSD_CHANNEL_MASK = -2,
    PSD_CHANNEL_PIXEL_MASK = -3,  // with a vector mask beside it
};

// Layer record flags and mask flags.
enum {
    PSD_LAYER_HIDDEN = 0x02,
    PSD_MASK_RELATIVE_TO_LAYER = 0x01,
    PSD_MASK_DISABLED = 0x02,
};

// Mask data: a mask's rect, default colour and flags; from 36 bytes, a
// vector mask's and then a pixel mask's.
enum { PSD_MASK_FIELDS_BYTES = 18, PSD_TWO_MASKS_BYTES = 36 };

// lsct / lsdk types.
enum { PSD_SECTION_OTHER = 0, PSD_SECTION_OPEN_GROUP = 1, PSD_SECTION_CLOSED_GROUP = 2, PSD_SECTION_DIVIDER = 3 };

const uint32_t PSD_BLEND_NORMAL = psdKey("norm");
const uint32_t PSD_BLEND_PASS_THROUGH = psdKey("pass");

const uint32_t PSD_KEY_UNICODE_NAME = psdKey("luni");
const uint32_t PSD_KEY_SECTION = psdKey("lsct");
const uint32_t PSD_KEY_NESTED_SECTION = psdKey("lsdk");
const uint32_t PSD_KEY_FILL_OPACITY = psdKey("iOpa");
// Global blocks that hold the layer info in place of the empty one: 16-bit
// documents (Lr16), 32-bit ones (Lr32), and some 8-bit ones (Layr).
const uint32_t PSD_KEY_LAYERS_16 = psdKey("Lr16");
const uint32_t PSD_KEY_LAYERS_32 = psdKey("Lr32");
const uint32_t PSD_KEY_LAYERS = psdKey("Layr");

const uint32_t PSD_EFFECTS_KEYS[] = {psdKey("lfx2"), psdKey("lrFX"), psdKey("lmfx")};
// Adjustment layers, then fill layers (solid colour, gradient, pattern).
const uint32_t PSD_ADJUSTMENT_KEYS[] = {
    psdKey("levl"), psdKey("curv"), psdKey("brit"), psdKey("hue2"), psdKey("hue "), psdKey("blnc"), psdKey("selc"),
    psdKey("mixr"), psdKey("grdm"), psdKey("phfl"), psdKey("expA"), psdKey("vibA"), psdKey("post"), psdKey("thrs"),
    psdKey("nvrt"), psdKey("CgEd"), psdKey("clrL"), psdKey("SoCo"), psdKey("GdFl"), psdKey("PtFl"),
};

// What deflate can expand its input to at most (about 1032 : 1): a ZIP
// channel declaring more pixels than that is damaged, and is refused before
// anything is allocated for it.
const uint64_t PSD_DEFLATE_MAX_RATIO = 1032;
// The least a PackBits row of n bytes takes: 2 bytes for every 128.
inline uint64_t psdLeastPackedRowBytes(uint64_t rowBytes) { return (rowBytes + 127) / 128 * 2; }

#endif
