#include "psd_document.h"
#include "psd_bytes.h"
#include "psd_channels.h"
#include "psd_format.h"
#include "psd_merged.h"

#include <algorithm>
#include <new>

#include "../../cel/cel_format.h"

namespace {

// The least a layer record takes: bounds, channel count, signature, blend
// mode, opacity to filler, and the length of the rest.
const uint64_t LEAST_RECORD_BYTES = 16 + 2 + 4 + 4 + 4 + 4;
const uint64_t CHANNEL_INFO_BYTES = 6;
const uint64_t BLOCK_HEADER_BYTES = 12;

bool isDrawnNormally(uint32_t blendMode) { return blendMode == PSD_BLEND_NORMAL || blendMode == PSD_BLEND_PASS_THROUGH; }

template <size_t N>
bool isOneOf(uint32_t key, const uint32_t (&keys)[N])
{
    return std::find(keys, keys + N, key) != keys + N;
}

PsdRect readRect(PsdBytes* bytes)
{
    PsdRect rect;
    rect.top = bytes->i32();
    rect.left = bytes->i32();
    rect.bottom = bytes->i32();
    rect.right = bytes->i32();
    return rect;
}

// A rectangle a layer or mask may have: not inside out, and within
// PSD_MAX_LAYER_SIDE a side.
bool isPlausible(const PsdRect& rect)
{
    return rect.width() >= 0 && rect.height() >= 0 && rect.width() <= PSD_MAX_LAYER_SIDE &&
           rect.height() <= PSD_MAX_LAYER_SIDE;
}

// Additional information blocks, to the end of `bytes`. Writers pad a
// block's length to 2 or 4 bytes, or pad after it: zeros before a signature
// are skipped. Anything after the last block that is not one is ignored.
template <typename Visit>
PsdProblem readBlocks(PsdBytes bytes, Visit visit, int64_t* detail)
{
    for (;;) {
        for (int pad = 0; pad < 3 && bytes.has(BLOCK_HEADER_BYTES) && bytes.peekU32() >> 24 == 0; ++pad)
            bytes.skip(1);
        if (!bytes.has(BLOCK_HEADER_BYTES))
            return PSD_OK;
        const uint32_t signature = bytes.u32();
        if (signature != PSD_BLOCK_SIGNATURE && signature != PSD_BLOCK_SIGNATURE_64)
            return PSD_OK;
        const uint32_t key = bytes.u32();
        const uint64_t at = bytes.offset();
        PsdBytes data = bytes.run(bytes.u32());
        if (data.isShort())
            return psdFail(PSD_DAMAGED, (int64_t)at, detail);
        visit(key, data);
    }
}

// luni: a uint32 count of UTF-16 units, big-endian. wchar_t is UTF-16 on
// Windows and UTF-32 elsewhere, where surrogate pairs are combined (a lone
// surrogate becomes U+FFFD). Trailing NULs, which some writers add, go.
std::wstring unicodeName(PsdBytes data)
{
    const uint32_t count = data.u32();
    std::vector<uint16_t> units;
    for (uint32_t i = 0; i < count && data.has(2); ++i)
        units.push_back(data.u16());
    while (!units.empty() && units.back() == 0)
        units.pop_back();
    std::wstring name;
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t unit = units[i];
        if (sizeof(wchar_t) == 2 || unit < 0xD800 || unit > 0xDFFF) {
            name.push_back((wchar_t)unit);
        } else if (unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            name.push_back((wchar_t)(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
            ++i;
        } else {
            name.push_back((wchar_t)0xFFFD);
        }
    }
    return name;
}

// Mask data: none (length 0), one mask (20 bytes), or a vector mask and a
// pixel mask (36 and more), of which the pixel mask is the one drawn.
PsdProblem readMask(PsdBytes data, PsdMask* mask, int64_t* detail)
{
    const uint64_t at = data.offset(), length = data.left();
    if (length < PSD_MASK_FIELDS_BYTES)
        return PSD_OK;
    mask->present = true;
    mask->channel = PSD_CHANNEL_MASK;
    mask->rect = readRect(&data);
    mask->defaultColour = data.u8();
    uint8_t flags = data.u8();
    if (length >= PSD_TWO_MASKS_BYTES) {
        mask->channel = PSD_CHANNEL_PIXEL_MASK;
        flags = data.u8();
        mask->defaultColour = data.u8();
        mask->rect = readRect(&data);
    }
    mask->disabled = (flags & PSD_MASK_DISABLED) != 0;
    mask->relativeToLayer = (flags & PSD_MASK_RELATIVE_TO_LAYER) != 0;
    return isPlausible(mask->rect) ? PSD_OK : psdFail(PSD_DAMAGED, (int64_t)at, detail);
}

PsdProblem readRecord(PsdBytes* info, PsdLayer* layer, int64_t* detail)
{
    const uint64_t at = info->offset();
    layer->bounds = readRect(info);
    const uint16_t channels = info->u16();
    if (!isPlausible(layer->bounds) || channels > PSD_MAX_CHANNELS || !info->has(channels * CHANNEL_INFO_BYTES))
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    for (uint16_t c = 0; c < channels; ++c) {
        PsdChannel channel;
        channel.id = info->i16();
        channel.length = info->u32();
        channel.offset = 0;
        layer->channels.push_back(channel);
    }
    if (info->u32() != PSD_BLOCK_SIGNATURE)
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    layer->blendMode = info->u32();
    layer->opacity = info->u8();
    layer->clipped = info->u8() != 0;
    layer->hidden = (info->u8() & PSD_LAYER_HIDDEN) != 0;
    info->skip(1);
    PsdBytes extra = info->run(info->u32());
    if (info->isShort())
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);

    PsdProblem problem = readMask(extra.run(extra.u32()), &layer->mask, detail);
    if (problem != PSD_OK)
        return problem;
    extra.run(extra.u32());  // blending ranges
    const uint8_t nameBytes = extra.u8();
    const uint8_t* name = extra.take(nameBytes);
    if (extra.isShort())
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    layer->pascalName.assign((const char*)name, nameBytes);

    uint32_t section = PSD_SECTION_OTHER, sectionBlendMode = 0;
    bool adjustment = false;
    problem = readBlocks(
        extra,
        [&](uint32_t key, PsdBytes data) {
            if (key == PSD_KEY_UNICODE_NAME) {
                layer->hasUnicodeName = true;
                layer->unicodeName = unicodeName(data);
            } else if (key == PSD_KEY_SECTION || key == PSD_KEY_NESTED_SECTION) {
                section = data.u32();
                if (data.left() >= 8 && data.u32() == PSD_BLOCK_SIGNATURE)
                    sectionBlendMode = data.u32();
            } else if (key == PSD_KEY_FILL_OPACITY) {
                if (data.has(1))
                    layer->fillOpacity = data.u8();
            } else if (isOneOf(key, PSD_EFFECTS_KEYS)) {
                layer->hasEffects = true;
            } else if (isOneOf(key, PSD_ADJUSTMENT_KEYS)) {
                adjustment = true;
            }
        },
        detail);
    if (problem != PSD_OK)
        return problem;

    if (section == PSD_SECTION_OPEN_GROUP || section == PSD_SECTION_CLOSED_GROUP)
        layer->kind = PSD_GROUP;
    else if (section == PSD_SECTION_DIVIDER)
        layer->kind = PSD_GROUP_DIVIDER;
    else if (adjustment)
        layer->kind = PSD_ADJUSTMENT_LAYER;
    if (sectionBlendMode != 0)
        layer->blendMode = sectionBlendMode;
    return PSD_OK;
}

// The rows a layer's channel holds: its bounds, or its mask's rect.
bool channelShape(const PsdLayer& layer, int16_t id, int colourChannels, PsdRect* shape)
{
    if (id >= PSD_CHANNEL_TRANSPARENCY && id < colourChannels) {
        *shape = layer.bounds;
        return true;
    }
    if (layer.mask.present && id == layer.mask.channel) {
        *shape = layer.mask.rect;
        return true;
    }
    return false;  // never drawn (a vector mask beside a pixel mask, a spot colour)
}

// Layer info: the count, the records, then every channel's data. Each
// channel porvane draws is checked against its bytes here, so that a
// document that passes holds every row it declares.
PsdProblem readLayerInfo(const uint8_t* file, size_t size, PsdBytes info, PsdDocument* document, int64_t* detail)
{
    if (info.left() == 0)
        return PSD_OK;
    const uint64_t at = info.offset();
    const int16_t count = info.i16();
    document->mergedHasTransparency = count < 0;
    const uint64_t layers = count < 0 ? (uint64_t)(-(int32_t)count) : (uint64_t)count;
    if (info.isShort() || !info.has(layers * LEAST_RECORD_BYTES))
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    document->layers.resize((size_t)layers);
    for (PsdLayer& layer : document->layers) {
        const PsdProblem problem = readRecord(&info, &layer, detail);
        if (problem != PSD_OK)
            return problem;
    }
    const int colourChannels = document->colourMode == PSD_MODE_RGB ? 3 : 1;
    for (PsdLayer& layer : document->layers) {
        for (PsdChannel& channel : layer.channels) {
            channel.offset = info.offset();
            if (!info.skip(channel.length))
                return psdFail(PSD_DAMAGED, (int64_t)channel.offset, detail);
            PsdRect shape;
            PsdChannelRows rows;
            if (!channelShape(layer, channel.id, colourChannels, &shape))
                continue;
            const PsdProblem problem = psdLayerChannelRows(file, size, channel, shape.width(), shape.height(),
                                                           document->depth, &rows, detail);
            if (problem != PSD_OK)
                return problem;
        }
        // A mask whose channel is missing masks nothing.
        if (layer.mask.present &&
            std::none_of(layer.channels.begin(), layer.channels.end(),
                         [&](const PsdChannel& c) { return c.id == layer.mask.channel; }))
            layer.mask.present = false;
    }
    return PSD_OK;
}

// Layer and mask information: the layer info, the global mask info, then
// global blocks, among them Lr16 / Lr32 / Layr, which hold the layer info
// when the first one is empty.
PsdProblem readLayerSection(const uint8_t* file, size_t size, PsdBytes section, PsdDocument* document,
                            int64_t* detail)
{
    if (section.left() == 0)
        return PSD_OK;
    const uint64_t at = section.offset();
    PsdBytes info = section.run(section.u32());
    if (section.isShort())
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    if (section.has(4))
        section.run(section.u32());  // global layer mask info
    if (section.isShort())
        return psdFail(PSD_DAMAGED, (int64_t)at, detail);
    if (info.left() == 0) {
        const PsdProblem problem = readBlocks(
            section,
            [&](uint32_t key, PsdBytes data) {
                if (info.left() == 0 && (key == PSD_KEY_LAYERS_16 || key == PSD_KEY_LAYERS_32 || key == PSD_KEY_LAYERS))
                    info = data;
            },
            detail);
        if (problem != PSD_OK)
            return problem;
    }
    return readLayerInfo(file, size, info, document, detail);
}

// Image resources: only the version info's word on the merged picture.
void readResources(PsdBytes resources, PsdDocument* document)
{
    while (resources.has(BLOCK_HEADER_BYTES)) {
        resources.skip(4);  // "8BIM", or another maker's signature
        const uint16_t id = resources.u16();
        const uint8_t nameBytes = resources.u8();
        resources.skip(nameBytes + (nameBytes + 1) % 2);
        const uint32_t length = resources.u32();
        PsdBytes data = resources.run(length);
        resources.skip(length % 2);
        if (resources.isShort())
            return;
        if (id == PSD_RESOURCE_VERSION_INFO && data.has(5)) {
            data.skip(4);
            document->mergedIsReal = data.u8() != 0;
        }
    }
}

// Header: signature, version, the picture's shape, what porvane reads.
PsdProblem readHeader(PsdBytes* bytes, size_t size, PsdDocument* document, int64_t* detail)
{
    if (!bytes->has(4) || bytes->u32() != PSD_SIGNATURE)
        return psdFail(PSD_NOT_A_DOCUMENT, 0, detail);
    if (!bytes->has(PSD_HEADER_BYTES - 4))
        return psdFail(PSD_TRUNCATED, (int64_t)size, detail);
    const uint16_t version = bytes->u16();
    if (version == PSD_VERSION_LARGE_DOCUMENT)
        return psdFail(PSD_LARGE_DOCUMENT_FORMAT, version, detail);
    if (version != PSD_VERSION_DOCUMENT)
        return psdFail(PSD_VERSION, version, detail);
    bytes->skip(6);
    const uint16_t channels = bytes->u16();
    const uint32_t height = bytes->u32(), width = bytes->u32();
    const uint16_t depth = bytes->u16(), mode = bytes->u16();
    if (mode != PSD_MODE_RGB && mode != PSD_MODE_GREYSCALE)
        return psdFail(PSD_COLOUR_MODE, mode, detail);
    if (depth != 8 && depth != 16)
        return psdFail(PSD_DEPTH, depth, detail);
    const uint32_t colourChannels = mode == PSD_MODE_RGB ? 3 : 1;
    if (channels < colourChannels || channels > PSD_MAX_CHANNELS || width == 0 || height == 0)
        return psdFail(PSD_DAMAGED, 12, detail);
    if (width > PSD_MAX_SIDE || height > PSD_MAX_SIDE || celFit(32, width, height) == CEL_OVER_DIMENSION)
        return psdFail(PSD_CANVAS_TOO_LARGE, std::max(width, height), detail);
    document->width = (int32_t)width;
    document->height = (int32_t)height;
    document->depth = depth;
    document->colourMode = mode;
    document->channels = channels;
    return PSD_OK;
}

// The layers' tree: a divider opens a group, the group's record closes it.
PsdProblem buildTree(PsdDocument* document, int64_t* detail)
{
    std::vector<std::vector<uint32_t>> open(1);
    for (uint32_t i = 0; i < document->layers.size(); ++i) {
        PsdLayer& layer = document->layers[i];
        if (layer.kind == PSD_GROUP_DIVIDER) {
            if (open.size() > PSD_MAX_GROUP_NESTING)
                return psdFail(PSD_GROUPS_TOO_DEEP, PSD_MAX_GROUP_NESTING, detail);
            open.emplace_back();
        } else if (layer.kind == PSD_GROUP) {
            if (open.size() == 1)
                return psdFail(PSD_DAMAGED, (int64_t)document->layers.size(), detail);
            layer.members = std::move(open.back());
            open.pop_back();
            open.back().push_back(i);
        } else {
            open.back().push_back(i);
        }
    }
    if (open.size() != 1)
        return psdFail(PSD_DAMAGED, (int64_t)document->layers.size(), detail);
    document->topLevel = std::move(open[0]);
    return PSD_OK;
}

// Notes: what a part shows differently from the document's program.
void noteRun(const PsdDocument& document, const std::vector<uint32_t>& siblings, size_t base, size_t end,
             bool partBase, std::vector<PsdNote>* notes);

// `shown`: the layer is drawn whatever its own visibility (a part's base).
void noteLayer(const PsdDocument& document, uint32_t index, bool shown, std::vector<PsdNote>* notes)
{
    const PsdLayer& layer = document.layers[index];
    if (layer.hidden && !shown) {
        notes->push_back({index, PSD_NOTE_HIDDEN});
        return;
    }
    if (layer.kind == PSD_ADJUSTMENT_LAYER) {
        notes->push_back({index, PSD_NOTE_ADJUSTMENT});
        return;
    }
    if (layer.kind == PSD_GROUP)
        for (size_t m = 0, end; m < layer.members.size(); m = end) {
            end = psdClippingRunEnd(document, layer.members, m);
            noteRun(document, layer.members, m, end, false, notes);
        }
    const unsigned kinds = (isDrawnNormally(layer.blendMode) ? 0 : PSD_NOTE_BLEND_MODE) |
                           (layer.hasEffects ? PSD_NOTE_EFFECTS : 0);
    if (kinds != 0)
        notes->push_back({index, kinds});
}

void noteRun(const PsdDocument& document, const std::vector<uint32_t>& siblings, size_t base, size_t end,
             bool partBase, std::vector<PsdNote>* notes)
{
    const PsdLayer& layer = document.layers[siblings[base]];
    const bool baseDrawn = (partBase || !layer.hidden) && layer.kind != PSD_ADJUSTMENT_LAYER;
    noteLayer(document, siblings[base], partBase, notes);
    for (size_t c = base + 1; c < end; ++c) {
        if (baseDrawn || document.layers[siblings[c]].hidden)
            noteLayer(document, siblings[c], false, notes);
        else
            notes->push_back({siblings[c], PSD_NOTE_BASE_NOT_DRAWN});
    }
}

void findParts(PsdDocument* document)
{
    const std::vector<uint32_t>& top = document->topLevel;
    for (size_t base = 0, end; base < top.size(); base = end) {
        end = psdClippingRunEnd(*document, top, base);
        PsdPart part;
        part.layers.assign(top.begin() + base, top.begin() + end);
        part.hidden = document->layers[top[base]].hidden;
        noteRun(*document, top, base, end, true, &part.notes);
        document->parts.push_back(std::move(part));
    }
}

PsdProblem readSections(const uint8_t* file, size_t size, PsdDocument* document, int64_t* detail)
{
    PsdBytes bytes(file, size);
    PsdProblem problem = readHeader(&bytes, size, document, detail);
    if (problem != PSD_OK)
        return problem;
    bytes.run(bytes.u32());  // colour mode data
    PsdBytes resources = bytes.run(bytes.u32());
    PsdBytes layers = bytes.run(bytes.u32());
    document->mergedOffset = bytes.offset();
    if (bytes.isShort())
        return psdFail(PSD_TRUNCATED, (int64_t)size, detail);
    readResources(resources, document);
    problem = readLayerSection(file, size, layers, document, detail);
    if (problem == PSD_OK)
        problem = checkPsdMergedPicture(file, size, *document, detail);
    if (problem == PSD_OK)
        problem = buildTree(document, detail);
    if (problem == PSD_OK)
        findParts(document);
    return problem;
}

}  // namespace

size_t psdClippingRunEnd(const PsdDocument& document, const std::vector<uint32_t>& siblings, size_t base)
{
    size_t end = base + 1;
    while (end < siblings.size() && document.layers[siblings[end]].clipped)
        ++end;
    return end;
}

PsdProblem readPsdDocument(const uint8_t* file, size_t size, PsdDocument* document, int64_t* detail)
{
    *document = PsdDocument{};
    PsdProblem problem;
    try {
        problem = readSections(file, size, document, detail);
    } catch (const std::bad_alloc&) {
        problem = psdFail(PSD_NO_MEMORY, 0, detail);
    }
    if (problem != PSD_OK)
        *document = PsdDocument{};
    return problem;
}
