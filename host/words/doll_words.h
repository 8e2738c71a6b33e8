// The doll command's lines in the doll maker's words: the order it stacked
// the layers in, layers of other sizes, what a layered document's parts do
// not show as drawn, the names the set could not keep, and what became of an
// earlier set in the folder.
#ifndef PORVANE_DOLL_WORDS_H
#define PORVANE_DOLL_WORDS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "../pictures/drawing_layers.h"

// "[3/12] ", the number a layer's line starts with.
std::wstring counted(size_t layer, size_t count);

// The order the layers were stacked in when their names say none, and how
// to choose it.
std::wstring orderGuessedLine(const std::vector<std::wstring>& files);

struct LayerSize {
    std::wstring name;
    int32_t width, height;
};
// No set: the layers of one drawing are of one size, the first's, and these are not.
std::wstring sizesDifferLine(const LayerSize& first, const std::vector<LayerSize>& odd);

// What the document's layers of part `layer` do not show as they are drawn.
std::vector<std::wstring> documentNotes(const DrawingLayers& drawing, size_t layer);

// Why a name in the set is not the one given (set_names.h's NameChange bits).
std::wstring nameChangesInWords(unsigned changes);

#endif
