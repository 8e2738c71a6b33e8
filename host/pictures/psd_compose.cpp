#include "psd_compose.h"
#include "psd_bytes.h"
#include "psd_channels.h"
#include "psd_format.h"
#include "psd_pixels.h"

#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

#include "../../cel/cel_format.h"

namespace {

// A rectangle on the canvas, 64-bit so that no sum of a layer's bounds wraps.
struct Area {
    int64_t left = 0, top = 0, right = 0, bottom = 0;

    int64_t width() const { return right - left; }
    int64_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    Area within(const Area& other) const
    {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    Area joined(const Area& other) const
    {
        if (empty())
            return other;
        if (other.empty())
            return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
};

Area areaOf(const PsdRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// A picture over an area of the canvas; `blank` while nothing is laid on
// it, and its pixels are only allocated when something is.
struct Picture {
    Area area;
    std::vector<uint32_t> pixels;
    bool blank = true;

    void clear(const Area& where)
    {
        area = where;
        blank = true;
        pixels.clear();
    }
    void allocate()
    {
        pixels.assign(area.empty() ? 0 : (size_t)(area.width() * area.height()), 0);
    }
    uint32_t* row(int64_t canvasY) { return pixels.data() + (canvasY - area.top) * area.width(); }
};

uint8_t fillOpacityOf(const PsdLayer& layer) { return layer.kind == PSD_PIXEL_LAYER ? layer.fillOpacity : 255; }

// The mask's own values over a picture's area: its default colour outside
// its rect, its channel's rows inside.
class MaskIntoPlane : public PsdRowSink {
public:
    MaskIntoPlane(uint8_t* plane, int64_t stride, int64_t left, int64_t columns, int64_t firstRow)
        : plane_(plane), stride_(stride), left_(left), columns_(columns), firstRow_(firstRow)
    {
    }
    void row(int64_t y, const uint8_t* samples) override
    {
        memcpy(plane_ + (y - firstRow_) * stride_ + left_, samples, (size_t)columns_);
    }

private:
    uint8_t* plane_;
    int64_t stride_, left_, columns_, firstRow_;
};

class Composer {
public:
    Composer(const uint8_t* file, size_t size, const PsdDocument& document, int64_t* detail)
        : file_(file), size_(size), document_(document), detail_(detail), canvas_{0, 0, document.width, document.height}
    {
    }

    // Where a run (a base and the layers clipped to it) can show.
    Area runArea(const uint32_t* run) const { return shapeArea(run[0]); }

    // Lays a run over `into`: its base (drawn even when hidden, for a part's
    // own base), the visible layers clipped to it, with the base's opacity.
    PsdProblem layRun(const uint32_t* run, size_t count, bool partBase, Picture* into)
    {
        const PsdLayer& base = document_.layers[run[0]];
        if ((base.hidden && !partBase) || base.kind == PSD_ADJUSTMENT_LAYER)
            return PSD_OK;
        Picture shape;
        PsdProblem problem = compose(run[0], into->area, &shape);
        if (problem != PSD_OK || shape.blank)
            return problem;
        const unsigned fill = fillOpacityOf(base);
        std::vector<uint32_t> clipped;
        for (size_t c = 1; c < count; ++c) {
            const PsdLayer& layer = document_.layers[run[c]];
            if (!layer.hidden && layer.kind != PSD_ADJUSTMENT_LAYER)
                clipped.push_back(run[c]);
        }
        if (clipped.empty()) {
            layDown(&shape, fill * base.opacity, into);
            return PSD_OK;
        }
        // The base's own alpha is the clipping shape; its colour goes in
        // with its fill opacity, and the clipped layers over it.
        std::vector<uint8_t> alphas(shape.pixels.size());
        for (size_t i = 0; i < shape.pixels.size(); ++i) {
            alphas[i] = (uint8_t)(shape.pixels[i] >> 24);
            shape.pixels[i] = psdWithAlpha(shape.pixels[i], alphas[i] ? fill : 0);
        }
        for (uint32_t index : clipped) {
            Picture layer;
            problem = compose(index, shape.area, &layer);
            if (problem != PSD_OK)
                return problem;
            if (!layer.blank)
                layDown(&layer, fillOpacityOf(document_.layers[index]) * document_.layers[index].opacity, &shape);
        }
        for (size_t i = 0; i < shape.pixels.size(); ++i)
            shape.pixels[i] = psdWithAlpha(shape.pixels[i], psdTimes(shape.pixels[i] >> 24, alphas[i]));
        layDown(&shape, 255u * base.opacity, into);
        return PSD_OK;
    }

private:
    // Where a layer or group can show on the canvas, before its pixels are
    // read: its bounds, or its members' areas, within its mask's rect when
    // the mask hides all outside it.
    Area shapeArea(uint32_t index) const
    {
        const PsdLayer& layer = document_.layers[index];
        Area area;
        if (layer.kind == PSD_PIXEL_LAYER) {
            area = areaOf(layer.bounds).within(canvas_);
        } else if (layer.kind == PSD_GROUP) {
            for (size_t m = 0, end; m < layer.members.size(); m = end) {
                end = psdClippingRunEnd(document_, layer.members, m);
                const PsdLayer& member = document_.layers[layer.members[m]];
                if (!member.hidden)
                    area = area.joined(runArea(&layer.members[m]));
            }
        }
        if (layer.mask.present && !layer.mask.disabled && layer.mask.defaultColour == 0)
            area = area.within(areaOf(layer.mask.rect));
        return area;
    }

    // A layer's or group's colour and own alpha (times its mask) within
    // `limit`, its opacities not yet applied.
    PsdProblem compose(uint32_t index, const Area& limit, Picture* out)
    {
        const PsdLayer& layer = document_.layers[index];
        out->clear(shapeArea(index).within(limit));
        if (out->area.empty())
            return PSD_OK;
        PsdProblem problem = PSD_OK;
        if (layer.kind == PSD_PIXEL_LAYER) {
            problem = decodeLayer(layer, out);
        } else {
            for (size_t m = 0, end; m < layer.members.size() && problem == PSD_OK; m = end) {
                end = psdClippingRunEnd(document_, layer.members, m);
                problem = layRun(&layer.members[m], end - m, false, out);
            }
        }
        if (problem == PSD_OK && !out->blank)
            problem = applyMask(layer, out);
        return problem;
    }

    // `over` laid on `into` (whose area holds it) with its alpha times
    // `scale` / (255 * 255). Onto a blank picture of the same area at full
    // strength, the pixels simply move.
    static void layDown(Picture* over, unsigned scale, Picture* into)
    {
        if (into->blank && scale == 255u * 255u && over->area.left == into->area.left &&
            over->area.top == into->area.top && over->area.right == into->area.right &&
            over->area.bottom == into->area.bottom) {
            into->pixels.swap(over->pixels);
            into->blank = false;
            return;
        }
        if (into->blank)
            into->allocate();
        const int64_t width = over->area.width();
        for (int64_t y = over->area.top; y < over->area.bottom; ++y) {
            const uint32_t* source = over->row(y);
            uint32_t* target = into->row(y) + (over->area.left - into->area.left);
            for (int64_t x = 0; x < width; ++x)
                target[x] = psdOver(target[x], source[x], psdScaled(source[x] >> 24, scale));
        }
        into->blank = false;
    }

    // The layer's channels within the picture's area: colours, and its
    // transparency (a layer without one is opaque).
    PsdProblem decodeLayer(const PsdLayer& layer, Picture* out)
    {
        const bool grey = document_.colourMode == PSD_MODE_GREYSCALE;
        const int colours = grey ? 1 : 3;
        out->allocate();
        std::fill(out->pixels.begin(), out->pixels.end(), FULLY_OPAQUE);
        out->blank = false;
        for (const PsdChannel& channel : layer.channels) {
            if (channel.id < PSD_CHANNEL_TRANSPARENCY || channel.id >= colours)
                continue;
            const int shift = channel.id == PSD_CHANNEL_TRANSPARENCY ? 24 : 16 - 8 * channel.id;
            PsdChannelIntoPixels sink(out->pixels.data(), out->area.width(), out->area.width(), out->area.top,
                                      shift, grey && channel.id == 0);
            const PsdProblem problem = decodeWithin(channel, layer.bounds, out->area, &sink);
            if (problem != PSD_OK)
                return problem;
        }
        return PSD_OK;
    }

    // A channel of `shape` (a layer's bounds or a mask's rect), rows and
    // columns within `area`, handed to `sink` with canvas row numbers.
    PsdProblem decodeWithin(const PsdChannel& channel, const PsdRect& shape, const Area& area, PsdRowSink* sink)
    {
        PsdChannelRows rows;
        PsdProblem problem = psdLayerChannelRows(file_, size_, channel, shape.width(), shape.height(),
                                                 document_.depth, &rows, detail_);
        if (problem != PSD_OK)
            return problem;
        const Area wanted = area.within(areaOf(shape));
        if (wanted.empty())
            return PSD_OK;
        // The sink counts rows from the area's top; the decoder from the shape's.
        class Shifted : public PsdRowSink {
        public:
            Shifted(PsdRowSink* sink, int64_t top) : sink_(sink), top_(top) {}
            void row(int64_t y, const uint8_t* samples) override { sink_->row(y + top_, samples); }

        private:
            PsdRowSink* sink_;
            int64_t top_;
        } shifted(sink, shape.top);
        return decodePsdChannelRows(rows, wanted.left - shape.left, wanted.right - shape.left, wanted.top - shape.top,
                                    wanted.bottom - shape.top, &shifted, detail_);
    }

    PsdProblem applyMask(const PsdLayer& layer, Picture* picture)
    {
        const PsdMask& mask = layer.mask;
        if (!mask.present || mask.disabled)
            return PSD_OK;
        const Area& area = picture->area;
        const int64_t width = area.width();
        std::vector<uint8_t> plane(picture->pixels.size(), mask.defaultColour);
        const Area inside = area.within(areaOf(mask.rect));
        if (!inside.empty()) {
            for (const PsdChannel& channel : layer.channels) {
                if (channel.id != mask.channel)
                    continue;
                MaskIntoPlane sink(plane.data(), width, inside.left - area.left, inside.width(), area.top);
                const PsdProblem problem = decodeWithin(channel, mask.rect, area, &sink);
                if (problem != PSD_OK)
                    return problem;
                break;
            }
        }
        for (size_t i = 0; i < plane.size(); ++i)
            picture->pixels[i] = psdWithAlpha(picture->pixels[i], psdTimes(picture->pixels[i] >> 24, plane[i]));
        return PSD_OK;
    }

    const uint8_t* file_;
    size_t size_;
    const PsdDocument& document_;
    int64_t* detail_;
    Area canvas_;
};

// Cuts a composed picture to the smallest area holding every pixel that
// shows, its transparent pixels made 0.
void cropToWhatShows(Picture* picture)
{
    const Area& area = picture->area;
    Area shows{area.right, area.bottom, area.left, area.top};
    const int64_t width = area.width();
    for (int64_t y = area.top; y < area.bottom; ++y) {
        uint32_t* row = picture->row(y);
        int64_t first = width, last = -1;
        for (int64_t x = 0; x < width; ++x) {
            if (row[x] >> 24 == 0) {
                row[x] = 0;
            } else {
                first = std::min(first, x);
                last = x;
            }
        }
        if (last >= 0)
            shows = {std::min(shows.left, area.left + first), std::min(shows.top, y),
                     std::max(shows.right, area.left + last + 1), y + 1};
    }
    if (shows.empty()) {
        picture->clear(Area{});
        return;
    }
    if (shows.width() == width && shows.height() == area.height())
        return;
    // A picture of its own size, which the caller may keep while composing others.
    std::vector<uint32_t> kept((size_t)(shows.width() * shows.height()));
    for (int64_t y = shows.top; y < shows.bottom; ++y)
        memcpy(kept.data() + (y - shows.top) * shows.width(), picture->row(y) + (shows.left - area.left),
               (size_t)shows.width() * sizeof(uint32_t));
    picture->pixels.swap(kept);
    picture->area = shows;
}

PsdProblem composePart(const uint8_t* file, size_t size, const PsdDocument& document, const PsdPart& part,
                       PsdPartPicture* out, int64_t* detail)
{
    Composer composer(file, size, document, detail);
    const Area area = composer.runArea(part.layers.data());
    if (area.empty())
        return PSD_OK;
    const CelFit fit = celFit(32, area.width(), area.height());
    if (fit != CEL_FITS)
        return psdFail(PSD_PICTURE_TOO_LARGE, fit, detail);
    Picture picture;
    picture.clear(area);  // laid on by the run, which allocates it
    const PsdProblem problem = composer.layRun(part.layers.data(), part.layers.size(), true, &picture);
    if (problem != PSD_OK)
        return problem;
    if (picture.blank)
        return PSD_OK;
    cropToWhatShows(&picture);
    if (picture.area.empty())
        return PSD_OK;
    out->x = (int32_t)picture.area.left;
    out->y = (int32_t)picture.area.top;
    out->picture.width = (int32_t)picture.area.width();
    out->picture.height = (int32_t)picture.area.height();
    out->picture.pixels = std::move(picture.pixels);
    return PSD_OK;
}

}  // namespace

PsdProblem composePsdPart(const uint8_t* file, size_t size, const PsdDocument& document, size_t part,
                          PsdPartPicture* out, int64_t* detail)
{
    *out = PsdPartPicture{};
    out->picture.saysTransparency = true;
    if (part >= document.parts.size())
        return psdFail(PSD_DAMAGED, -1, detail);
    PsdProblem problem;
    try {
        problem = composePart(file, size, document, document.parts[part], out, detail);
    } catch (const std::bad_alloc&) {
        problem = psdFail(PSD_NO_MEMORY, 0, detail);
    }
    if (problem != PSD_OK) {
        *out = PsdPartPicture{};
        out->picture.saysTransparency = true;
    }
    return problem;
}
