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

const unsigned FULL_STRENGTH = 255u * 255u;  // an opacity product that leaves alpha as it is

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
        const unsigned fill = fillOpacityOf(base);
        std::vector<uint32_t> clipped;
        for (size_t c = 1; c < count; ++c) {
            const PsdLayer& layer = document_.layers[run[c]];
            if (!layer.hidden && layer.kind != PSD_ADJUSTMENT_LAYER)
                clipped.push_back(run[c]);
        }
        if (clipped.empty())
            return lay(run[0], fill * base.opacity, into);

        // The base's own alpha is the clipping shape; its colour goes in
        // with its fill opacity, and the clipped layers over it.
        Picture shape;
        shape.clear(shapeArea(run[0]).within(into->area));
        PsdProblem problem = lay(run[0], FULL_STRENGTH, &shape);
        if (problem != PSD_OK || shape.blank)
            return problem;
        std::vector<uint8_t> alphas(shape.pixels.size());
        for (size_t i = 0; i < shape.pixels.size(); ++i) {
            alphas[i] = (uint8_t)(shape.pixels[i] >> 24);
            shape.pixels[i] = psdWithAlpha(shape.pixels[i], alphas[i] ? fill : 0);
        }
        for (uint32_t index : clipped) {
            const PsdLayer& layer = document_.layers[index];
            problem = lay(index, fillOpacityOf(layer) * layer.opacity, &shape);
            if (problem != PSD_OK)
                return problem;
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

    // A layer or group laid over `into`, its alpha (times its mask) times
    // `scale` / (255 * 255). A group's members are composed on their own
    // first; a layer's pixels go straight from its channels onto `into`.
    PsdProblem lay(uint32_t index, unsigned scale, Picture* into)
    {
        const PsdLayer& layer = document_.layers[index];
        const Area area = shapeArea(index).within(into->area);
        if (area.empty())
            return PSD_OK;
        if (layer.kind == PSD_PIXEL_LAYER)
            return layPixels(layer, area, scale, into);
        Picture group;
        group.clear(area);
        PsdProblem problem = PSD_OK;
        for (size_t m = 0, end; m < layer.members.size() && problem == PSD_OK; m = end) {
            end = psdClippingRunEnd(document_, layer.members, m);
            problem = layRun(&layer.members[m], end - m, false, &group);
        }
        if (problem == PSD_OK && !group.blank)
            problem = applyGroupMask(layer, &group);
        if (problem == PSD_OK && !group.blank)
            layDown(&group, scale, into);
        return problem;
    }

    // `over` laid on `into` (whose area holds it) with its alpha times
    // `scale` / (255 * 255). Onto a blank picture of the same area at full
    // strength, the pixels simply move.
    static void layDown(Picture* over, unsigned scale, Picture* into)
    {
        if (into->blank && scale == FULL_STRENGTH && over->area.left == into->area.left &&
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

    // A reader of a layer's channel over `area` (a part of `shape`, the
    // layer's bounds or its mask's rect); an unopened reader when the layer
    // has no such channel.
    PsdProblem openChannel(const PsdLayer& layer, int16_t id, const PsdRect& shape, const Area& area,
                           PsdRowReader* reader, bool* opened)
    {
        *opened = false;
        for (const PsdChannel& channel : layer.channels) {
            if (channel.id != id)
                continue;
            PsdChannelRows rows;
            PsdProblem problem = psdLayerChannelRows(file_, size_, channel, shape.width(), shape.height(),
                                                     document_.depth, &rows, detail_);
            if (problem == PSD_OK)
                problem = reader->open(rows, area.left - shape.left, area.right - shape.left, area.top - shape.top,
                                       detail_);
            *opened = problem == PSD_OK;
            return problem;
        }
        return PSD_OK;
    }

    // The mask's values over each row of `area`, in order: its default
    // colour, and its channel's samples where its rect is.
    class MaskRows {
    public:
        PsdProblem open(Composer* composer, const PsdLayer& layer, const Area& area)
        {
            const PsdMask& mask = layer.mask;
            used_ = mask.present && !mask.disabled;
            if (!used_)
                return PSD_OK;
            inside_ = area.within(areaOf(mask.rect));
            insideLeft_ = inside_.left - area.left;
            outside_.assign((size_t)area.width(), mask.defaultColour);
            inRect_ = outside_;
            return inside_.empty() ? PSD_OK
                                   : composer->openChannel(layer, mask.channel, mask.rect, inside_, &reader_, &opened_);
        }
        bool used() const { return used_; }
        const uint8_t* row(int64_t y, PsdProblem* problem, int64_t* detail)
        {
            if (!opened_ || y < inside_.top || y >= inside_.bottom)
                return outside_.data();
            const uint8_t* samples = reader_.next(problem, detail);
            if (!samples)
                return nullptr;
            memcpy(inRect_.data() + insideLeft_, samples, (size_t)inside_.width());
            return inRect_.data();
        }

    private:
        bool used_ = false, opened_ = false;
        Area inside_;
        int64_t insideLeft_ = 0;
        PsdRowReader reader_;
        std::vector<uint8_t> outside_, inRect_;  // a row above or below the rect; a row through it
    };

    // A pixel layer's channels read side by side, a row at a time, each row
    // of pixels masked and laid straight over `into`.
    PsdProblem layPixels(const PsdLayer& layer, const Area& area, unsigned scale, Picture* into)
    {
        const bool grey = document_.colourMode == PSD_MODE_GREYSCALE;
        const int16_t ids[4] = {0, (int16_t)(grey ? 0 : 1), (int16_t)(grey ? 0 : 2), PSD_CHANNEL_TRANSPARENCY};
        PsdRowReader readers[4];
        bool opened[4] = {};
        PsdProblem problem = PSD_OK;
        for (int c = 0; c < 4 && problem == PSD_OK; ++c)
            if (c == 0 || c == 3 || !grey)
                problem = openChannel(layer, ids[c], layer.bounds, area, &readers[c], &opened[c]);
        if (problem != PSD_OK || (!opened[0] && !opened[3]))
            return problem;  // a record without colours or transparency holds no pixels
        MaskRows mask;
        problem = mask.open(this, layer, area);
        if (problem != PSD_OK)
            return problem;

        if (into->blank)
            into->allocate();
        into->blank = false;
        const int64_t width = area.width();
        std::vector<uint32_t> pixels((size_t)width);
        for (int64_t y = area.top; y < area.bottom; ++y) {
            const uint8_t* samples[4] = {};
            for (int c = 0; c < 4; ++c)
                if (opened[c] && !(samples[c] = readers[c].next(&problem, detail_)))
                    return problem;
            if (grey)
                samples[1] = samples[2] = samples[0];
            psdPixelRow(samples[0], samples[1], samples[2], samples[3], width, pixels.data());
            const uint8_t* masks = mask.used() ? mask.row(y, &problem, detail_) : nullptr;
            if (mask.used() && !masks)
                return problem;
            uint32_t* target = into->row(y) + (area.left - into->area.left);
            for (int64_t x = 0; x < width; ++x) {
                const unsigned alpha = masks ? psdTimes(pixels[x] >> 24, masks[x]) : pixels[x] >> 24;
                target[x] = psdOver(target[x], pixels[x], psdScaled(alpha, scale));
            }
        }
        return PSD_OK;
    }

    PsdProblem applyGroupMask(const PsdLayer& group, Picture* picture)
    {
        MaskRows mask;
        PsdProblem problem = mask.open(this, group, picture->area);
        if (problem != PSD_OK || !mask.used())
            return problem;
        const int64_t width = picture->area.width();
        for (int64_t y = picture->area.top; y < picture->area.bottom; ++y) {
            const uint8_t* masks = mask.row(y, &problem, detail_);
            if (!masks)
                return problem;
            uint32_t* row = picture->row(y);
            for (int64_t x = 0; x < width; ++x)
                row[x] = psdWithAlpha(row[x], psdTimes(row[x] >> 24, masks[x]));
        }
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
