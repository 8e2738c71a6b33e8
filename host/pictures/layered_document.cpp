#include "layered_document.h"

#include <string.h>

#include "../../cel/cel_format.h"
#include "psd_format.h"
#include "psd_merged.h"
#include "../system/path_names.h"

bool isLayeredDocumentStart(const uint8_t* file, size_t size)
{
    return size >= 4 && memcmp(file, "8BPS", 4) == 0;
}

PictureProblem layeredProblem(PsdProblem problem, int64_t detail)
{
    switch (problem) {
    case PSD_OK: return {};
    case PSD_NOT_A_DOCUMENT: return {PICTURE_DAMAGED_START};
    case PSD_LARGE_DOCUMENT_FORMAT: return {LAYERED_LARGE_DOCUMENT};
    case PSD_VERSION: return {LAYERED_UNKNOWN_VERSION, detail};
    case PSD_COLOUR_MODE: return {LAYERED_COLOUR_MODE, detail};
    case PSD_DEPTH: return {LAYERED_DEPTH, detail};
    case PSD_CANVAS_TOO_LARGE: return {LAYERED_CANVAS_TOO_LARGE, detail};
    case PSD_TRUNCATED: return {LAYERED_TRUNCATED};
    case PSD_DAMAGED: return {LAYERED_DAMAGED};
    case PSD_COMPRESSION: return {LAYERED_COMPRESSION, detail};
    case PSD_GROUPS_TOO_DEEP: return {LAYERED_GROUPS_TOO_DEEP, PSD_MAX_GROUP_NESTING};
    case PSD_NO_MERGED_PICTURE: return {LAYERED_NO_MERGED_PICTURE};
    case PSD_PICTURE_TOO_LARGE: return {detail == CEL_OVER_DIMENSION ? PICTURE_TOO_LARGE_SIDE : PICTURE_TOO_LARGE_BLOCK};
    case PSD_NO_MEMORY: return {PICTURE_NO_MEMORY};
    }
    return {LAYERED_DAMAGED};
}

int readLayeredDocumentPicture(const uint8_t* file, size_t size, DecodedPicture* picture, PictureProblem* problem)
{
    PsdDocument document;
    int64_t detail = 0;
    PsdProblem read = readPsdDocument(file, size, &document, &detail);
    if (read == PSD_OK)
        read = readPsdMergedPicture(file, size, document, picture, &detail);
    if (read == PSD_OK)
        return 1;
    *problem = layeredProblem(read, detail);
    return 0;
}

bool isLayeredDocumentName(const std::wstring& name)
{
    return extensionOf(name) == L".psd";
}
