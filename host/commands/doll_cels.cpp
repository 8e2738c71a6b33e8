#include "doll_cels.h"

#include <algorithm>
#include <new>

#include "../doll/colour_variants.h"

// Writes `cel`, `width` x `height`, as the plug-in saves it, and `palette`
// beside it when there is one.
static void writeCel(const DollColours& doll, const CelJob& job, const CelChoice& cel, int32_t width, int32_t height,
                     const std::vector<std::vector<uint32_t>>& palette, CelDone* done)
{
    done->depth = cel.depth;
    done->transparent = cel.transparent;
    done->width = width, done->height = height;
    done->notes.insert(done->notes.end(), cel.notes.begin(), cel.notes.end());
    SourcePicture source;
    if (!makeSourcePicture(cel, width, height, &source)) {
        done->readProblem = {PICTURE_NO_MEMORY};
        return;
    }
    const CelOutcome written = doll.writer->stageCel(*doll.plugin, source, job.cel, doll.pictures, NULL, 0);
    closeSourcePicture(&source);
    if (written.status != EXPORT_OK) {
        done->writeProblem = written.problem;
        return;
    }
    if (!palette.empty()) {
        done->ownPalette = true;
        done->writeProblem = doll.writer->stageText(paletteFile(palette), job.palette);
    }
}

// `drawn`'s groups: its own colours, then one a variant of it, then copies
// of its own up to the set's number of groups.
static bool variantGroups(const DollColours& doll, const std::vector<size_t>& variants, const CelChoice& cel,
                          std::vector<std::vector<uint32_t>>* groups, PictureProblem* problem)
{
    for (size_t variant : variants) {
        LayerPicture recoloured;
        if (!readLayerInFullColour(*doll.drawing, variant, doll.transparency, &recoloured, problem))
            return false;
        groups->push_back(variantGroup(cel.indices, recoloured.picture, groups->front()));
    }
    return true;
}

static void fillGroups(int groups, std::vector<std::vector<uint32_t>>* palette)
{
    while (!palette->empty() && (int)palette->size() < groups)
        palette->push_back(palette->front());
}

CelDone makeCelOnOwnColours(const DollColours& doll, const CelJob& job)
{
    const SurveyedLayer& surveyed = doll.survey->layers[job.layer];
    CelDone done;
    CelChoice cel;
    std::vector<std::vector<uint32_t>> palette;
    try {
        if (surveyed.variants.empty()) {
            LayerPicture picture;
            if (!doll.drawing->read(job.layer, &picture, &done.readProblem) ||
                !chooseCel(&picture.picture, doll.transparency, false, &cel, &done.readProblem))
                return done;
            cropCel(&cel, picture.picture.width, surveyed.shows);
            if (cel.depth <= 8) {
                palette.push_back(cel.colours);
                palette[0][0] = doll.background;  // the transparent colour: the playfield's where it is palette 0's
            }
        } else {
            // Recoloured: an 8-bit cel on colours of its own, a group a variant.
            LayerPicture drawn;
            SharedPalette own(doll.background);
            if (!readLayerInFullColour(*doll.drawing, job.layer, doll.transparency, &drawn, &done.readProblem))
                return done;
            if (!own.count(drawn.picture) || !own.choose() || !own.celFor(drawn.picture, doll.dither, &cel)) {
                done.readProblem = {PICTURE_NO_MEMORY};
                return done;
            }
            palette.push_back(own.colours());
            if (!variantGroups(doll, surveyed.variants, cel, &palette, &done.readProblem))
                return done;
        }
        fillGroups(doll.groups, &palette);
        writeCel(doll, job, cel, surveyed.shows.width, surveyed.shows.height, palette, &done);
    } catch (const std::bad_alloc&) {
        done.readProblem = {PICTURE_NO_MEMORY};
    }
    return done;
}

// ---------------------------------------------------------------------------

DollPalette::DollPalette(const DollColours& doll) : doll_(doll)
{
    ranges_.push_back(Range{0, SharedPalette(doll.background)});
}

size_t DollPalette::rangeOf(size_t layer) const
{
    for (size_t i = 1; i < ranges_.size(); ++i)
        if (ranges_[i].layer == layer)
            return i;
    return 0;
}

bool DollPalette::count(const std::vector<CelJob>& jobs, PictureProblem* problem, size_t* failedJob)
{
    for (const CelJob& job : jobs)
        if (!doll_.survey->layers[job.layer].variants.empty())
            ranges_.push_back(Range{job.layer, SharedPalette(doll_.background)});
    for (size_t i = 0; i < jobs.size(); ++i) {
        LayerPicture picture;
        *failedJob = i;
        if (!readLayerInFullColour(*doll_.drawing, jobs[i].layer, doll_.transparency, &picture, problem))
            return false;
        if (!ranges_[rangeOf(jobs[i].layer)].colours.count(picture.picture)) {
            *problem = {PICTURE_TOO_MANY_FOR_ONE_PALETTE, (int64_t)SharedPalette::mostPixels()};
            return false;
        }
    }
    return true;
}

bool DollPalette::choose()
{
    // Every range gets entries in proportion to its colours when they do not
    // all fit, and at least one.
    const int entries = ColourReduction::kMaxPaletteColours;
    size_t total = 0;
    for (const Range& range : ranges_)
        total += range.colours.countedColours();
    int next = 1;
    for (size_t i = 0; i < ranges_.size(); ++i) {
        Range& range = ranges_[i];
        const size_t counted = range.colours.countedColours();
        int most = total <= (size_t)entries ? (int)counted : (int)std::max<size_t>(1, counted * entries / total);
        most = std::min(most, entries - (next - 1) - (int)(ranges_.size() - 1 - i));
        range.firstEntry = next;
        if (counted == 0)
            continue;
        if (most < 1 || !range.colours.choose(most))
            return false;
        next += (int)range.colours.visibleColours();
    }
    return true;
}

CelDone DollPalette::makeCel(const CelJob& job) const
{
    CelDone done;
    const SurveyedLayer& surveyed = doll_.survey->layers[job.layer];
    try {
        LayerPicture picture;
        CelChoice cel;
        const Range& range = ranges_[rangeOf(job.layer)];
        if (!readLayerInFullColour(*doll_.drawing, job.layer, doll_.transparency, &picture, &done.readProblem))
            return done;
        if (!range.colours.celFor(picture.picture, doll_.dither, &cel, range.firstEntry)) {
            done.readProblem = {PICTURE_NO_MEMORY};
            return done;
        }
        cel.colours = drawnColours();
        writeCel(doll_, job, cel, surveyed.shows.width, surveyed.shows.height, {}, &done);
    } catch (const std::bad_alloc&) {
        done.readProblem = {PICTURE_NO_MEMORY};
    }
    return done;
}

std::vector<uint32_t> DollPalette::drawnColours() const
{
    std::vector<uint32_t> colours(1, doll_.background);
    for (const Range& range : ranges_) {
        const std::vector<uint32_t> visible = range.colours.visible();
        colours.insert(colours.end(), visible.begin(), visible.end());
    }
    return colours;
}

bool DollPalette::groups(std::vector<std::vector<uint32_t>>* groups, PictureProblem* problem) const
{
    groups->assign(1, drawnColours());
    fillGroups(doll_.groups, groups);
    // Each part with variants recolours its own range in the group of each.
    for (size_t i = 1; i < ranges_.size(); ++i) {
        const Range& range = ranges_[i];
        LayerPicture drawn;
        CelChoice cel;
        if (!readLayerInFullColour(*doll_.drawing, range.layer, doll_.transparency, &drawn, problem))
            return false;
        if (!range.colours.celFor(drawn.picture, doll_.dither, &cel, range.firstEntry)) {
            *problem = {PICTURE_NO_MEMORY};
            return false;
        }
        const std::vector<size_t>& variants = doll_.survey->layers[range.layer].variants;
        for (size_t k = 0; k < variants.size() && k + 1 < groups->size(); ++k) {
            LayerPicture recoloured;
            if (!readLayerInFullColour(*doll_.drawing, variants[k], doll_.transparency, &recoloured, problem))
                return false;
            (*groups)[k + 1] = variantGroup(cel.indices, recoloured.picture, (*groups)[k + 1]);
        }
    }
    return true;
}

size_t DollPalette::partColours() const
{
    size_t colours = 0;
    for (const Range& range : ranges_)
        colours += range.colours.partColours();
    return colours;
}

size_t DollPalette::chosenColours() const
{
    size_t colours = 0;
    for (const Range& range : ranges_)
        colours += range.colours.visibleColours();
    return colours;
}

bool DollPalette::exact() const
{
    for (const Range& range : ranges_)
        if (range.colours.partColours() > 0 && !range.colours.exact())
            return false;
    return true;
}
