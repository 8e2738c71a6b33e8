// A layered Photoshop document (psd_document.h) as the converter takes it:
// its problems as picture problems, its merged picture for `export`, and its
// parts, one at a time, for `doll`.
#ifndef PORVANE_LAYERED_DOCUMENT_H
#define PORVANE_LAYERED_DOCUMENT_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "decoded_picture.h"
#include "picture_problem.h"
#include "psd_compose.h"
#include "psd_document.h"

// True when the file's first bytes are a layered document's ("8BPS").
bool isLayeredDocumentStart(const uint8_t* file, size_t size);

// Whether `name` is a layered document's (.psd), by its extension: a
// document given or dropped is a drawing, not one picture.
bool isLayeredDocumentName(const std::wstring& name);

// What `problem` (with its detail) is as a picture problem.
PictureProblem layeredProblem(PsdProblem problem, int64_t detail);

// The picture of all the document's layers together, as it stores it.
int readLayeredDocumentPicture(const uint8_t* file, size_t size, DecodedPicture* picture, PictureProblem* problem);

#endif
