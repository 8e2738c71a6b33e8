#include "doll_command.h"
#include "../system/code_pages.h"
#include "../system/console_text.h"
#include "export_command.h"
#include "../handover/kiss_output.h"
#include "../words/messages.h"
#include "../system/path_names.h"
#include "../pictures/picture_list.h"
#include "../choosing/shared_palette.h"
#include "../pictures/read_picture.h"
#include "../words/cel_words.h"
#include "../words/problem_words.h"
#include "../handover/source_picture.h"

#include <algorithm>
#include <set>

enum {
    SHORT_NAME_CHARACTERS = 8,  // before the extension, as KiSS viewers and their archives expect
};

// One layer on its way into the set.
struct Layer {
    std::wstring path;
    DecodedPicture picture;
    CelChoice cel;
    int32_t x = 0, y = 0, width = 0, height = 0;  // the part that shows, on the playfield
    std::wstring name;                              // its cel's name in the set, without extension
};

// ---------------------------------------------------------------------------
// Names inside the set.

// Lowercase letters, digits, '-' and '_' of the layer's name, at most eight,
// and a number where that is empty or taken.
static std::wstring shortName(const std::wstring& layer, std::set<std::wstring>* taken)
{
    std::wstring base;
    for (wchar_t c : nameWithoutExtension(layer)) {
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c + (L'a' - L'A'));
        if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_')
            base += c;
    }
    if (base.empty())
        base = L"cel";
    base.resize(std::min<size_t>(base.size(), SHORT_NAME_CHARACTERS));
    std::wstring name = base;
    for (int n = 2; taken->count(name) > 0; ++n) {
        const std::wstring suffix = number(n);
        name = base.substr(0, SHORT_NAME_CHARACTERS - suffix.size()) + suffix;
    }
    taken->insert(name);
    return name;
}

// The configuration's own name, and the shared palette's, in the same form;
// a cel may have the same name before its extension.
static std::wstring shortFileName(const std::wstring& given, const std::wstring& extension)
{
    std::set<std::wstring> none;
    return shortName(given, &none) + extension;
}

// ---------------------------------------------------------------------------
// Cropping a cel to the part of it that shows.

static bool shows(const CelChoice& cel, size_t i)
{
    return cel.depth == 32 ? alphaOf(cel.pixels[i]) != 0 : cel.indices[i] != 0;
}

// False when nothing shows.
static bool crop(Layer* layer)
{
    const int32_t width = layer->picture.width, height = layer->picture.height;
    int32_t left = width, top = height, right = -1, bottom = -1;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (shows(layer->cel, (size_t)y * width + x)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0)
        return false;
    layer->x = left, layer->y = top;
    layer->width = right - left + 1, layer->height = bottom - top + 1;
    CelChoice& cel = layer->cel;
    for (int32_t y = 0; y < layer->height; ++y) {
        const size_t from = (size_t)(top + y) * width + left, to = (size_t)y * layer->width;
        if (cel.depth == 32)
            std::copy(cel.pixels.begin() + from, cel.pixels.begin() + from + layer->width, cel.pixels.begin() + to);
        else
            std::copy(cel.indices.begin() + from, cel.indices.begin() + from + layer->width, cel.indices.begin() + to);
    }
    (cel.depth == 32 ? cel.pixels.resize((size_t)layer->width * layer->height)
                     : cel.indices.resize((size_t)layer->width * layer->height));
    cel.transparent = std::any_of(cel.pixels.begin(), cel.pixels.end(),
                                  [](uint32_t pixel) { return alphaOf(pixel) != 255; });
    return true;
}

// ---------------------------------------------------------------------------
// The configuration.

// `layers` bottom first; `palettes` in the order the cels' palette numbers
// count them. The cel of layer i uses palette `paletteOf[i]`.
static std::string configuration(const std::vector<const Layer*>& layers, const std::vector<std::wstring>& palettes,
                                 const std::vector<size_t>& paletteOf, int32_t width, int32_t height,
                                 const std::wstring& celExtension)
{
    std::wstring text = L"; A KiSS set made by porvane-host from " + number((long long)layers.size()) +
                        L" layers. Objects are listed front first, as viewers draw them.\r\n";
    text += L"(" + number(width) + L"," + number(height) + L")\r\n";
    text += L"[0\r\n";  // the border: colour 0 of the first palette, the background
    for (const std::wstring& palette : palettes)
        text += L"%" + palette + L"\r\n";
    std::wstring positions = L"$0";
    for (size_t object = 0; object < layers.size(); ++object) {
        const size_t i = layers.size() - 1 - object;  // the top layer is object 0
        const Layer& layer = *layers[i];
        text += L"#" + number((long long)object) + L" " + layer.name + celExtension + L" *" +
                number((long long)paletteOf[i]) + L" :0 ; " + fileName(layer.path) + L"\r\n";
        positions += L" " + number(layer.x) + L"," + number(layer.y);
    }
    return encodeText(text + positions + L"\r\n", CP_ACP);  // as a KiSS viewer reads it
}

// ---------------------------------------------------------------------------

// Reads every layer; false when any cannot be read (each is said).
static bool readLayers(const std::vector<std::wstring>& paths, std::vector<Layer>* layers)
{
    bool all = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        (*layers)[i].path = paths[i];
        PictureProblem problem;
        if (!readPicture(paths[i], &(*layers)[i].picture, &problem)) {
            say(L"[" + number((long long)i + 1) + L"/" + number((long long)paths.size()) + L"] " +
                text(MSG_LINE_NOT_CONVERTED, {paths[i], inWords(problem)}));
            all = false;
        }
    }
    return all;
}

// Chooses every layer's cel. False, with the reason said, when a choice cannot apply.
static bool chooseCels(const DollRequest& request, std::vector<Layer>* layers, SharedPalette* shared)
{
    PictureProblem problem;
    if (request.sharedPalette.empty()) {
        for (Layer& layer : *layers)
            if (!chooseCel(&layer.picture, request.transparency, false, &layer.cel, &problem)) {
                complain(text(MSG_LINE_NOT_CONVERTED, {layer.path, inWords(problem)}));
                return false;
            }
        return true;
    }
    for (Layer& layer : *layers) {
        std::vector<CelNote> notes;
        if (!toFullColour(&layer.picture, request.transparency, &notes, &problem)) {
            complain(text(MSG_LINE_NOT_CONVERTED, {layer.path, inWords(problem)}));
            return false;
        }
        if (!shared->count(layer.picture)) {
            complain(inWords(PictureProblem{PICTURE_TOO_MANY_FOR_ONE_PALETTE, (int64_t)SharedPalette::mostPixels()}));
            return false;
        }
    }
    if (!shared->choose()) {
        complain(inWords(PictureProblem{PICTURE_TOO_MANY_FOR_ONE_PALETTE, (int64_t)SharedPalette::mostPixels()}));
        return false;
    }
    for (Layer& layer : *layers)
        if (!shared->celFor(layer.picture, request.dither, &layer.cel)) {
            complain(text(MSG_LINE_NOT_CONVERTED, {layer.path, inWords(PictureProblem{PICTURE_NO_MEMORY})}));
            return false;
        }
    return true;
}

int makeDoll(const Plugin& plugin, const DollRequest& request)
{
    const PictureList list = listPictures(request.layers);
    for (const std::wstring& name : list.unmatched)
        say(text(MSG_NO_FILE_MATCHES, {name}));
    if (list.pictures.empty() || !list.unmatched.empty()) {
        say(text(list.pictures.empty() ? MSG_DOLL_NO_LAYERS : MSG_DOLL_LAYER_UNREADABLE));
        return 1;
    }
    std::vector<Layer> layers(list.pictures.size());
    if (!readLayers(list.pictures, &layers)) {
        say(text(MSG_DOLL_LAYER_UNREADABLE));
        return 1;
    }
    SharedPalette shared(request.background);
    if (!chooseCels(request, &layers, &shared) || !makeFolder(request.toFolder))
        return 1;

    const std::wstring celExtension = identityString(plugin, PLUGIN_CEL_EXTENSION);
    std::set<std::wstring> taken;
    const std::wstring cnf = shortFileName(request.configuration, L".cnf");
    const std::wstring sharedName =
        request.sharedPalette.empty() ? L"" : shortFileName(request.sharedPalette, kissPaletteExtension());
    int32_t playWidth = 0, playHeight = 0;
    for (const Layer& layer : layers)
        playWidth = std::max(playWidth, layer.picture.width), playHeight = std::max(playHeight, layer.picture.height);

    // Each layer that shows, as a cel (and its own palette) in the set.
    std::vector<const Layer*> placed;
    std::vector<std::wstring> palettes;
    std::vector<size_t> paletteOf;
    if (!sharedName.empty())
        palettes.push_back(sharedName);
    bool whole = true;
    size_t at = 0;
    const ProtectedFiles pictures = [&] {
        ProtectedFiles files;
        for (const Layer& layer : layers)
            files.push_back(identifyFile(layer.path.c_str()));
        return files;
    }();
    for (Layer& layer : layers) {
        const std::wstring counter = L"[" + number((long long)++at) + L"/" + number((long long)layers.size()) + L"] ";
        if (!crop(&layer)) {
            say(counter + text(MSG_DOLL_EMPTY_LAYER, {layer.path}));
            continue;
        }
        layer.name = shortName(layer.path, &taken);
        SourcePicture picture;
        if (!makeSourcePicture(layer.cel, layer.width, layer.height, &picture)) {
            say(counter + text(MSG_LINE_NOT_CONVERTED, {layer.path, inWords(PictureProblem{PICTURE_NO_MEMORY})}));
            whole = false;
            continue;
        }
        const CelOutcome cel = exportCel(plugin, picture, inFolder(request.toFolder, layer.name + celExtension),
                                         pictures, NULL, 0);
        std::wstring what = text(MSG_DOLL_PLACED, {describeCel(picture), number(layer.x), number(layer.y)});
        bool written = cel.status == EXPORT_OK;
        if (written && sharedName.empty() && isIndexed(picture)) {
            std::vector<uint32_t> colours = layer.cel.colours;
            colours[0] = request.background;  // the transparent colour: the playfield's where it is palette 0's
            const std::wstring palette = inFolder(request.toFolder, layer.name + kissPaletteExtension());
            const WriteProblem paletteWritten = writePalette(colours, palette, pictures);
            written = paletteWritten.code == WRITE_DONE;
            what = written ? text(MSG_AND_PALETTE, {what, palette})
                           : text(MSG_PALETTE_NOT_WRITTEN, {what, palette, inWords(paletteWritten)});
            paletteOf.push_back(palettes.size());
            palettes.push_back(layer.name + kissPaletteExtension());
        } else {
            paletteOf.push_back(0);
        }
        closeSourcePicture(&picture);
        say(counter + (cel.status == EXPORT_OK ? text(MSG_LINE_CONVERTED, {layer.path, cel.written, what})
                                               : text(MSG_LINE_NOT_WRITTEN, {layer.path, cel.written, inWords(cel.problem)})));
        whole = whole && written;
        placed.push_back(&layer);
    }
    // The shared palette, or for 32-bit cels alone a palette of the background.
    if (whole && !sharedName.empty()) {
        const std::wstring path = inFolder(request.toFolder, sharedName);
        const WriteProblem written = writePalette(shared.colours(), path, pictures);
        whole = written.code == WRITE_DONE;
        say(sharedPaletteLine(path, shared, written));
    } else if (whole && palettes.empty()) {
        const std::wstring name = nameWithoutExtension(cnf) + kissPaletteExtension();
        whole = writePalette({request.background}, inFolder(request.toFolder, name), pictures).code == WRITE_DONE;
        palettes.push_back(name);
    }
    const std::wstring cnfPath = inFolder(request.toFolder, cnf);
    if (!whole) {
        say(text(MSG_DOLL_NOT_WHOLE));
        return 1;
    }
    if (placed.empty()) {
        say(text(MSG_DOLL_NO_LAYERS));
        return 1;
    }
    const std::string cnfText = configuration(placed, palettes, paletteOf, playWidth, playHeight, celExtension);
    const WriteProblem cnfWritten = writeTextFile(cnfText, cnfPath);
    if (cnfWritten.code != WRITE_DONE) {
        say(text(MSG_DOLL_SET_NOT_WRITTEN, {cnfPath, inWords(cnfWritten)}));
        return 1;
    }
    say(text(MSG_DOLL_SET_WRITTEN, {cnfPath, number((long long)placed.size()), number(playWidth), number(playHeight)}));
    return 0;
}
