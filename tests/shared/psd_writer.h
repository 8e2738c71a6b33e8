// A small writer of layered Photoshop documents for the tests, the fuzz
// seeds and the benchmark: each document made here, from a description,
// written the way the document's program lays the file out (the reader's
// format notes: host/pictures/psd_format.h). It shares no code with the
// reader: its PackBits encoder, its prediction and its layout are its own.
#ifndef PORVANE_TESTS_PSD_WRITER_H
#define PORVANE_TESTS_PSD_WRITER_H

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

struct PsdTestChannel {
    int16_t id;                     // 0, 1, 2 colours; -1 transparency; -2 / -3 masks
    std::vector<uint16_t> samples;  // one a pixel of its rect, 0..255 or 0..65535 by the depth
};

struct PsdTestMask {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    uint8_t defaultColour = 0;
    uint8_t flags = 0;              // 2: disabled
    bool besideVectorMask = false;  // written as the pixel mask of a layer that has a vector mask too
};

struct PsdTestLayer {
    std::string name;                 // the Pascal name
    std::u16string unicodeName;       // written as luni when not empty
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<PsdTestChannel> channels;
    std::string blendMode = "norm";
    uint8_t opacity = 255;
    int fillOpacity = -1;             // iOpa when 0..255
    bool clipped = false;
    bool hidden = false;
    int section = -1;                 // lsct type when 0..3
    std::string sectionBlendMode;     // lsct's blend mode key, when given
    bool hasMask = false;
    PsdTestMask mask;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> blocks;  // more blocks: key, data
    int compression = 0;              // of every channel: 0 raw, 1 RLE, 2 ZIP, 3 ZIP with prediction
};

struct PsdTestDocument {
    int version = 1;
    int32_t width = 1, height = 1;
    int depth = 8;
    int mode = 3;                     // 3 RGB, 1 grey
    int channels = 0;                 // of the merged picture; 0: the colours, and alpha when transparent
    std::vector<PsdTestLayer> layers; // bottom first
    bool mergedTransparency = false;  // a negative layer count
    bool layersInGlobalBlock = false; // in an Lr16 block, the layer info empty
    bool mergedIsReal = true;         // false: a version info resource that says otherwise
    int mergedCompression = 0;        // 0 raw, 1 RLE
    std::vector<std::vector<uint16_t>> merged;  // channels of width x height samples; empty: all zero
};

std::vector<uint8_t> writePsd(const PsdTestDocument& document);
// The same, its layers (bottom first) made one at a time by `layer`, each
// dropped once stored, in place of document.layers: a large document never
// sits in memory as samples.
std::vector<uint8_t> writePsd(const PsdTestDocument& document, size_t layers,
                              const std::function<PsdTestLayer(size_t)>& layer);

// A layer of `width` x `height` pixels at (left, top) from 0xAARRGGBB pixels:
// red, green, blue and transparency channels (grey: the green one as grey).
PsdTestLayer psdTestLayer(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height,
                          const std::vector<uint32_t>& pixels, bool grey = false);
// A group's divider and its record: members go between them.
PsdTestLayer psdTestDivider();
PsdTestLayer psdTestGroup(const std::string& name, uint8_t opacity = 255, bool hidden = false);

#endif
