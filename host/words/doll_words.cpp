#include "doll_words.h"

#include "../doll/set_names.h"
#include "../pictures/psd_format.h"
#include "../system/path_names.h"
#include "messages.h"
#include "problem_words.h"

std::wstring counted(size_t layer, size_t count)
{
    return L"[" + number((long long)layer + 1) + L"/" + number((long long)count) + L"] ";
}

std::wstring orderGuessedLine(const std::vector<std::wstring>& files)
{
    std::wstring order;
    for (const std::wstring& file : files)
        order = order.empty() ? fileName(file) : text(MSG_LIST_JOINED, {order, fileName(file)});
    return text(MSG_DOLL_ORDER_GUESSED, {order});
}

std::wstring sizesDifferLine(const LayerSize& first, const std::vector<LayerSize>& odd)
{
    std::wstring list;
    for (const LayerSize& layer : odd) {
        const std::wstring one = text(MSG_DOLL_LAYER_SIZE, {layer.name, number(layer.width), number(layer.height)});
        list = list.empty() ? one : text(MSG_LIST_JOINED, {list, one});
    }
    return text(MSG_DOLL_SIZES_DIFFER, {first.name, number(first.width), number(first.height), list});
}

// A blend mode's name as the document's program shows it.
static std::wstring blendModeName(uint32_t key)
{
    static const struct {
        uint32_t key;
        MessageId name;
    } modes[] = {
        {psdKey("diss"), MSG_PSD_BLEND_DISSOLVE},       {psdKey("dark"), MSG_PSD_BLEND_DARKEN},
        {psdKey("mul "), MSG_PSD_BLEND_MULTIPLY},       {psdKey("idiv"), MSG_PSD_BLEND_COLOUR_BURN},
        {psdKey("lbrn"), MSG_PSD_BLEND_LINEAR_BURN},    {psdKey("dkCl"), MSG_PSD_BLEND_DARKER_COLOUR},
        {psdKey("lite"), MSG_PSD_BLEND_LIGHTEN},        {psdKey("scrn"), MSG_PSD_BLEND_SCREEN},
        {psdKey("div "), MSG_PSD_BLEND_COLOUR_DODGE},   {psdKey("lddg"), MSG_PSD_BLEND_LINEAR_DODGE},
        {psdKey("lgCl"), MSG_PSD_BLEND_LIGHTER_COLOUR}, {psdKey("over"), MSG_PSD_BLEND_OVERLAY},
        {psdKey("sLit"), MSG_PSD_BLEND_SOFT_LIGHT},     {psdKey("hLit"), MSG_PSD_BLEND_HARD_LIGHT},
        {psdKey("vLit"), MSG_PSD_BLEND_VIVID_LIGHT},    {psdKey("lLit"), MSG_PSD_BLEND_LINEAR_LIGHT},
        {psdKey("pLit"), MSG_PSD_BLEND_PIN_LIGHT},      {psdKey("hMix"), MSG_PSD_BLEND_HARD_MIX},
        {psdKey("diff"), MSG_PSD_BLEND_DIFFERENCE},     {psdKey("smud"), MSG_PSD_BLEND_EXCLUSION},
        {psdKey("fsub"), MSG_PSD_BLEND_SUBTRACT},       {psdKey("fdiv"), MSG_PSD_BLEND_DIVIDE},
        {psdKey("hue "), MSG_PSD_BLEND_HUE},            {psdKey("sat "), MSG_PSD_BLEND_SATURATION},
        {psdKey("colr"), MSG_PSD_BLEND_COLOUR},         {psdKey("lum "), MSG_PSD_BLEND_LUMINOSITY},
    };
    for (const auto& mode : modes)
        if (mode.key == key)
            return text(mode.name);
    return text(MSG_PSD_BLEND_OTHER);
}

std::vector<std::wstring> documentNotes(const DrawingLayers& drawing, size_t layer)
{
    std::vector<std::wstring> lines;
    if (!drawing.fromDocument())
        return lines;
    for (const PsdNote& note : drawing.layer(layer).notes) {
        const PsdLayer& noted = drawing.document().layers[note.layer];
        const std::wstring name = layerName(noted);
        if (note.kinds & PSD_NOTE_HIDDEN)
            lines.push_back(text(MSG_PSD_NOTE_HIDDEN, {name}));
        if (note.kinds & PSD_NOTE_ADJUSTMENT)
            lines.push_back(text(MSG_PSD_NOTE_ADJUSTMENT, {name}));
        if (note.kinds & PSD_NOTE_BASE_NOT_DRAWN)
            lines.push_back(text(MSG_PSD_NOTE_BASE_NOT_DRAWN, {name}));
        if (note.kinds & PSD_NOTE_BLEND_MODE)
            lines.push_back(text(MSG_PSD_NOTE_BLEND_MODE, {name, blendModeName(noted.blendMode)}));
        if (note.kinds & PSD_NOTE_EFFECTS)
            lines.push_back(text(MSG_PSD_NOTE_EFFECTS, {name}));
    }
    return lines;
}

std::wstring nameChangesInWords(unsigned changes)
{
    static const struct {
        NameChange change;
        MessageId words;
    } reasons[] = {
        {NAME_NUMBERED, MSG_NAME_NUMBERED},         {NAME_IN_ROMAJI, MSG_NAME_IN_ROMAJI},
        {NAME_LEFT_OUT, MSG_NAME_LEFT_OUT},         {NAME_SHORTENED, MSG_NAME_SHORTENED},
        {NAME_MADE_DISTINCT, MSG_NAME_MADE_DISTINCT}, {NAME_WINDOWS_DEVICE, MSG_NAME_WINDOWS_DEVICE},
    };
    std::wstring words;
    for (const auto& reason : reasons) {
        if (!(changes & reason.change))
            continue;
        words = words.empty() ? text(reason.words) : text(MSG_LIST_JOINED, {words, text(reason.words)});
        if (reason.change == NAME_NUMBERED)
            break;  // nothing else of the name was kept
    }
    return words;
}
