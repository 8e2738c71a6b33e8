#include "drawing_layers.h"

#include <new>

#include "../system/code_pages.h"
#include "../system/path_names.h"
#include "layered_document.h"
#include "psd_compose.h"
#include "read_picture.h"

DrawingLayers::~DrawingLayers()
{
    freeFileBytes(&document_);
}

void DrawingLayers::usePictures(const std::vector<std::wstring>& files)
{
    for (const std::wstring& file : files) {
        DrawingLayer layer;
        layer.file = file;
        layer.name = nameWithoutExtension(file);
        layers_.push_back(layer);
    }
}

std::wstring layerName(const PsdLayer& layer)
{
    return layer.hasUnicodeName ? layer.unicodeName : decodeText(layer.pascalName.c_str(), CP_ACP);
}

int DrawingLayers::useDocument(const std::wstring& file, PictureProblem* problem)
{
    freeFileBytes(&document_);
    if (!readWholeFile(file.c_str(), &document_)) {
        *problem = PictureProblem{notOpened(GetLastError())};  // missing, held or not allowed, said as such
        return 0;
    }
    int64_t detail = 0;
    PsdProblem read = PSD_NO_MEMORY;
    try {
        read = readPsdDocument(document_.data, document_.size, &psd_, &detail);
    } catch (const std::bad_alloc&) {
        psd_ = PsdDocument();
    }
    if (read != PSD_OK) {
        *problem = layeredProblem(read, detail);
        freeFileBytes(&document_);
        return 0;
    }
    for (const PsdPart& part : psd_.parts) {
        const PsdLayer& top = psd_.layers[part.layers.front()];
        DrawingLayer layer;
        layer.file = file;
        layer.name = layerName(top);
        if (!top.hasUnicodeName)
            layer.ansiName = top.pascalName;
        layer.hidden = part.hidden;
        layer.notes = part.notes;
        layers_.push_back(layer);
    }
    return 1;
}

int DrawingLayers::read(size_t i, LayerPicture* layer, PictureProblem* problem) const
{
    *layer = LayerPicture();
    if (!fromDocument())
        return readPicture(layers_[i].file, &layer->picture, problem);
    PsdPartPicture part;
    int64_t detail = 0;
    PsdProblem composed = PSD_NO_MEMORY;
    try {
        composed = composePsdPart(document_.data, document_.size, psd_, i, &part, &detail);
    } catch (const std::bad_alloc&) {
    }
    if (composed != PSD_OK) {
        *problem = layeredProblem(composed, detail);
        return 0;
    }
    layer->picture = std::move(part.picture);
    layer->x = part.x;
    layer->y = part.y;
    return 1;
}
