// A drawing's layers, as `doll` takes them: pictures of one size, one a
// layer, given bottom first (a folder's in the order its names say), or the
// parts of one layered document (layered_document.h). Each layer is read when
// it is asked for and handed back whole, so that the caller holds no more
// than the layers it is working on: a document's part is composed anew each
// time (within its own bounds), a picture read from its file anew.
#ifndef PORVANE_DRAWING_LAYERS_H
#define PORVANE_DRAWING_LAYERS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "../system/file_access.h"
#include "decoded_picture.h"
#include "picture_problem.h"
#include "psd_document.h"

struct DrawingLayer {
    std::wstring file;       // the picture, or the document, as given
    std::wstring name;       // the file's name without its extension, or the document's layer or group name
    std::string ansiName;    // a document's layer name as its bytes in the ANSI code page, where it has no Unicode one
    bool hidden = false;     // a document's hidden layer or group
    std::vector<PsdNote> notes;  // a document's layers not drawn as its program draws them
};

// A layer's pixels, and where they lie on the drawing's canvas.
struct LayerPicture {
    DecodedPicture picture;
    int32_t x = 0, y = 0;
};

class DrawingLayers {
public:
    DrawingLayers() = default;
    ~DrawingLayers();
    DrawingLayers(const DrawingLayers&) = delete;  // it owns the document's bytes
    DrawingLayers& operator=(const DrawingLayers&) = delete;

    // The pictures `files`, bottom first.
    void usePictures(const std::vector<std::wstring>& files);
    // The parts of the layered document `file`; 0 with the problem when it
    // cannot be read.
    int useDocument(const std::wstring& file, PictureProblem* problem);

    size_t count() const { return layers_.size(); }
    const DrawingLayer& layer(size_t i) const { return layers_[i]; }
    bool fromDocument() const { return document_.data != NULL; }
    // A document's canvas (0 x 0 for pictures, each of which has its own size).
    int32_t canvasWidth() const { return psd_.width; }
    int32_t canvasHeight() const { return psd_.height; }
    // The names of a document's layers, bottom first, for what its notes name.
    const PsdDocument& document() const { return psd_; }

    // Reads layer `i`. 0 with the problem when it cannot be read.
    int read(size_t i, LayerPicture* layer, PictureProblem* problem) const;

private:
    std::vector<DrawingLayer> layers_;
    FileBytes document_ = {NULL, 0};
    PsdDocument psd_;
};

// A document layer's name as the doll maker sees it: its Unicode name, or
// its name's bytes in the ANSI code page.
std::wstring layerName(const PsdLayer& layer);

#endif
