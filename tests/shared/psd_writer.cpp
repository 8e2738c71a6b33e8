#include "psd_writer.h"

#include <string.h>

#include <zlib.h>

namespace {

struct Out {
    std::vector<uint8_t> bytes;

    void u8(unsigned v) { bytes.push_back((uint8_t)v); }
    void u16(unsigned v) { u8(v >> 8), u8(v); }
    void u32(uint32_t v) { u16(v >> 16), u16(v & 0xFFFF); }
    void text(const std::string& s)
    {
        for (char c : s)
            u8((uint8_t)c);
    }
    void append(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
    void padTo(size_t multiple, size_t from = 0)
    {
        while ((bytes.size() - from) % multiple)
            u8(0);
    }
    // A uint32 length, then what `write` writes, padded to `multiple`.
    template <typename Write>
    void lengthBlock(Write write, size_t multiple = 1)
    {
        const size_t at = bytes.size();
        u32(0);
        write();
        padTo(multiple, at + 4);
        const uint32_t length = (uint32_t)(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = (uint8_t)(length >> (24 - 8 * i));
    }
};

std::vector<uint8_t> rowBytes(const std::vector<uint16_t>& samples, size_t from, size_t count, int depth)
{
    std::vector<uint8_t> row;
    for (size_t i = from; i < from + count; ++i) {
        if (depth == 16)
            row.push_back((uint8_t)(samples[i] >> 8));
        row.push_back((uint8_t)samples[i]);
    }
    return row;
}

// PackBits: runs of 3 or more equal bytes repeated, the rest literally, at
// most 128 bytes a code.
std::vector<uint8_t> packBits(const std::vector<uint8_t>& row)
{
    std::vector<uint8_t> packed;
    size_t i = 0;
    while (i < row.size()) {
        size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 3) {
            packed.push_back((uint8_t)(257 - run));
            packed.push_back(row[i]);
            i += run;
            continue;
        }
        size_t literal = 0;
        while (i + literal < row.size() && literal < 128 &&
               !(i + literal + 2 < row.size() && row[i + literal] == row[i + literal + 1] &&
                 row[i + literal] == row[i + literal + 2]))
            ++literal;
        packed.push_back((uint8_t)(literal - 1));
        packed.insert(packed.end(), row.begin() + i, row.begin() + i + literal);
        i += literal;
    }
    return packed;
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& data)
{
    uLongf size = compressBound(data.size());
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, data.data(), data.size(), 6);
    out.resize(size);
    return out;
}

// A channel's data as its compression stores it (without the code), and
// for RLE its row counts, added to what is there.
void encodeRows(const std::vector<uint16_t>& samples, size_t width, size_t height, int depth, int compression,
                std::vector<uint8_t>* counts, std::vector<uint8_t>* data)
{
    std::vector<uint8_t> all;
    for (size_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row = rowBytes(samples, y * width, width, depth);
        if (compression == 1) {
            std::vector<uint8_t> packed = packBits(row);
            counts->push_back((uint8_t)(packed.size() >> 8));
            counts->push_back((uint8_t)packed.size());
            data->insert(data->end(), packed.begin(), packed.end());
            continue;
        }
        if (compression == 3) {  // each sample less the one before it
            const size_t step = depth / 8;
            for (size_t x = width; x-- > 1;) {
                const unsigned here = depth == 16 ? row[2 * x] << 8 | row[2 * x + 1] : row[x];
                const unsigned before = depth == 16 ? row[2 * x - 2] << 8 | row[2 * x - 1] : row[x - 1];
                const unsigned delta = (here - before) & (depth == 16 ? 0xFFFF : 0xFF);
                if (step == 2)
                    row[2 * x] = (uint8_t)(delta >> 8), row[2 * x + 1] = (uint8_t)delta;
                else
                    row[x] = (uint8_t)delta;
            }
        }
        all.insert(all.end(), row.begin(), row.end());
    }
    if (compression == 0)
        data->insert(data->end(), all.begin(), all.end());
    else if (compression != 1)
        for (uint8_t byte : deflated(all))
            data->push_back(byte);
}

void rect(Out* out, int32_t top, int32_t left, int32_t bottom, int32_t right)
{
    out->u32((uint32_t)top), out->u32((uint32_t)left), out->u32((uint32_t)bottom), out->u32((uint32_t)right);
}

void block(Out* out, const std::string& key, const std::vector<uint8_t>& data)
{
    out->text("8BIM");
    out->text(key);
    out->lengthBlock([&] { out->append(data); }, 2);
}

// The channels' stored data, as the record needs their lengths first.
std::vector<std::pair<int16_t, std::vector<uint8_t>>> storedChannels(const PsdTestLayer& layer, int depth)
{
    std::vector<std::pair<int16_t, std::vector<uint8_t>>> stored;
    for (const PsdTestChannel& channel : layer.channels) {
        // A pixel mask beside a vector mask: the vector mask's own rendering
        // (channel -2) is written empty.
        const bool vectorMask = channel.id == -2 && layer.mask.besideVectorMask;
        const bool mask = channel.id <= -2;
        const size_t width = vectorMask ? 0 : mask ? layer.mask.right - layer.mask.left : layer.right - layer.left;
        const size_t height = vectorMask ? 0 : mask ? layer.mask.bottom - layer.mask.top : layer.bottom - layer.top;
        std::vector<uint8_t> counts, data;
        encodeRows(channel.samples, width, height, depth, layer.compression, &counts, &data);
        Out out;
        out.u16(layer.compression);
        out.append(counts);
        out.append(data);
        stored.emplace_back(channel.id, out.bytes);
    }
    return stored;
}

void record(Out* out, const PsdTestLayer& layer, const std::vector<std::pair<int16_t, std::vector<uint8_t>>>& stored)
{
    rect(out, layer.top, layer.left, layer.bottom, layer.right);
    out->u16((unsigned)stored.size());
    for (const auto& channel : stored) {
        out->u16((uint16_t)channel.first);
        out->u32((uint32_t)channel.second.size());
    }
    out->text("8BIM");
    out->text(layer.blendMode);
    out->u8(layer.opacity);
    out->u8(layer.clipped ? 1 : 0);
    out->u8((layer.hidden ? 2 : 0) | (layer.section > 0 ? 0x18 : 0));
    out->u8(0);
    out->lengthBlock([&] {
        out->lengthBlock([&] {
            if (!layer.hasMask)
                return;
            const PsdTestMask& m = layer.mask;
            if (m.besideVectorMask) {  // the vector mask: everything; then the pixel mask
                rect(out, 0, 0, 0, 0);
                out->u8(255), out->u8(0x08);
                out->u8(m.flags), out->u8(m.defaultColour);
                rect(out, m.top, m.left, m.bottom, m.right);
            } else {
                rect(out, m.top, m.left, m.bottom, m.right);
                out->u8(m.defaultColour), out->u8(m.flags);
                out->u16(0);
            }
        });
        out->u32(0);  // blending ranges
        const size_t nameAt = out->bytes.size();
        out->u8((unsigned)layer.name.size());
        out->text(layer.name);
        out->padTo(4, nameAt);
        if (!layer.unicodeName.empty()) {
            Out name;
            name.u32((uint32_t)layer.unicodeName.size());
            for (char16_t unit : layer.unicodeName)
                name.u16(unit);
            block(out, "luni", name.bytes);
        }
        if (layer.section >= 0) {
            Out section;
            section.u32((uint32_t)layer.section);
            if (!layer.sectionBlendMode.empty())
                section.text("8BIM"), section.text(layer.sectionBlendMode);
            block(out, "lsct", section.bytes);
        }
        if (layer.fillOpacity >= 0)
            block(out, "iOpa", {(uint8_t)layer.fillOpacity, 0, 0, 0});
        for (const auto& more : layer.blocks)
            block(out, more.first, more.second);
    });
}

void layerInfo(Out* out, const PsdTestDocument& document, size_t count,
               const std::function<PsdTestLayer(size_t)>& layerAt)
{
    out->u16((uint16_t)(document.mergedTransparency ? -(int)count : (int)count));
    std::vector<std::vector<std::pair<int16_t, std::vector<uint8_t>>>> stored;
    for (size_t i = 0; i < count; ++i) {
        const PsdTestLayer layer = layerAt(i);
        stored.push_back(storedChannels(layer, document.depth));
        record(out, layer, stored.back());
    }
    for (const auto& layer : stored)
        for (const auto& channel : layer)
            out->append(channel.second);
}

}  // namespace

std::vector<uint8_t> writePsd(const PsdTestDocument& document)
{
    return writePsd(document, document.layers.size(), [&](size_t i) { return document.layers[i]; });
}

std::vector<uint8_t> writePsd(const PsdTestDocument& document, size_t layers,
                              const std::function<PsdTestLayer(size_t)>& layerAt)
{
    const int colours = document.mode == 3 ? 3 : 1;
    const int channels = document.channels ? document.channels : colours + (document.mergedTransparency ? 1 : 0);
    Out out;
    out.text("8BPS");
    out.u16(document.version);
    for (int i = 0; i < 6; ++i)
        out.u8(0);
    out.u16(channels);
    out.u32(document.height), out.u32(document.width);
    out.u16(document.depth), out.u16(document.mode);
    out.u32(0);  // colour mode data
    out.lengthBlock([&] {
        if (document.mergedIsReal)
            return;
        out.text("8BIM"), out.u16(1057), out.u16(0);  // an empty name, padded
        out.u32(5), out.u32(1), out.u8(0), out.u8(0);
    });
    out.lengthBlock([&] {
        if (layers == 0)
            return;
        if (document.layersInGlobalBlock) {
            out.u32(0), out.u32(0);  // empty layer info, no global mask info
            out.text("8BIM"), out.text("Lr16");
            out.lengthBlock([&] { layerInfo(&out, document, layers, layerAt); }, 4);
        } else {
            out.lengthBlock([&] { layerInfo(&out, document, layers, layerAt); }, 2);
            out.u32(0);
        }
    });
    out.u16(document.mergedCompression);
    const size_t pixels = (size_t)document.width * document.height;
    std::vector<uint8_t> counts, data;
    for (int c = 0; c < channels; ++c) {
        const std::vector<uint16_t> zeros(pixels, 0);
        const std::vector<uint16_t>& samples = (size_t)c < document.merged.size() ? document.merged[c] : zeros;
        encodeRows(samples, document.width, document.height, document.depth, document.mergedCompression, &counts,
                   &data);
    }
    out.append(counts);
    out.append(data);
    return out.bytes;
}

PsdTestLayer psdTestLayer(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height,
                          const std::vector<uint32_t>& pixels, bool grey)
{
    PsdTestLayer layer;
    layer.name = name;
    layer.left = left, layer.top = top, layer.right = left + width, layer.bottom = top + height;
    const int shifts[] = {16, 8, 0, 24};
    const int16_t ids[] = {0, 1, 2, -1};
    for (int c = 0; c < 4; ++c) {
        if (grey && (c == 0 || c == 2))
            continue;
        PsdTestChannel channel{grey && c == 1 ? (int16_t)0 : ids[c], {}};
        for (uint32_t pixel : pixels)
            channel.samples.push_back((pixel >> shifts[c]) & 0xFF);
        layer.channels.push_back(channel);
    }
    return layer;
}

PsdTestLayer psdTestDivider()
{
    PsdTestLayer divider;
    divider.name = "</Layer group>";
    divider.section = 3;
    return divider;
}

PsdTestLayer psdTestGroup(const std::string& name, uint8_t opacity, bool hidden)
{
    PsdTestLayer group;
    group.name = name;
    group.section = 1;
    group.blendMode = "pass";
    group.sectionBlendMode = "pass";
    group.opacity = opacity;
    group.hidden = hidden;
    return group;
}
