#include "doll_survey.h"

#include <algorithm>

#include "../../base/host_records.h"
#include "../doll/colour_variants.h"
#include "../doll/set_plan.h"

int readLayerInFullColour(const DrawingLayers& drawing, size_t layer, const TransparencyChoice& transparency,
                          LayerPicture* picture, PictureProblem* problem, SurveyedLayer* surveyed)
{
    std::vector<CelNote> notes;
    if (!drawing.read(layer, picture, problem))
        return 0;
    const int32_t width = picture->picture.width, height = picture->picture.height;
    if (!toFullColour(&picture->picture, transparency, &notes, problem))
        return 0;
    const Bounds shows = visibleBounds(picture->picture);
    cropPicture(&picture->picture, shows);
    picture->x += shows.x;
    picture->y += shows.y;
    if (surveyed != NULL) {
        surveyed->width = width, surveyed->height = height;
        surveyed->shows = shows;
        surveyed->x = picture->x, surveyed->y = picture->y;
    }
    return 1;
}

// Whether layer `candidate` recolours layer `drawn`, both read again.
static bool recolours(const DrawingLayers& drawing, const TransparencyChoice& transparency, size_t drawn,
                      size_t candidate)
{
    LayerPicture a, b;
    PictureProblem problem;
    return readLayerInFullColour(drawing, drawn, transparency, &a, &problem) &&
           readLayerInFullColour(drawing, candidate, transparency, &b, &problem) &&
           isColourVariant({&a.picture, a.x, a.y}, {&b.picture, b.x, b.y});
}

// The drawn layers are the visible ones that recolour no earlier one; every
// other layer of the same shape that recolours one of them is its variant:
// a document's hidden layers, and a folder's later copies.
static SurveyOutcome findVariants(const DrawingLayers& drawing, const TransparencyChoice& transparency,
                                  DollSurvey* survey)
{
    std::vector<SurveyedLayer>& layers = survey->layers;
    std::vector<size_t> drawn;
    auto findDrawn = [&](size_t candidate) {
        for (size_t base : drawn)
            if (layers[base].shape == layers[candidate].shape && recolours(drawing, transparency, base, candidate))
                return (long)base;
        return -1L;
    };
    for (int hiddenPass = 0; hiddenPass < 2; ++hiddenPass)
        for (size_t i = 0; i < layers.size(); ++i) {
            if (drawing.layer(i).hidden != (hiddenPass == 1) || layers[i].shows.empty())
                continue;
            layers[i].variantOf = findDrawn(i);
            if (layers[i].variantOf < 0) {
                if (hiddenPass == 0)
                    drawn.push_back(i);
                continue;
            }
            std::vector<size_t>& variants = layers[layers[i].variantOf].variants;
            variants.push_back(i);
            if (variants.size() + 1 > KISS_SETS) {
                survey->tooManyVariants = (size_t)layers[i].variantOf;
                return SURVEY_TOO_MANY_VARIANTS;
            }
        }
    // Variants in the drawing's order, bottom first.
    for (SurveyedLayer& layer : layers)
        std::sort(layer.variants.begin(), layer.variants.end());
    return SURVEY_DONE;
}

SurveyOutcome surveyLayers(const DrawingLayers& drawing, const TransparencyChoice& transparency, DollSurvey* survey)
{
    *survey = DollSurvey();
    survey->canvasWidth = drawing.canvasWidth();
    survey->canvasHeight = drawing.canvasHeight();
    bool readable = true;
    for (size_t i = 0; i < drawing.count(); ++i) {
        SurveyedLayer layer;
        LayerPicture picture;
        if (!readLayerInFullColour(drawing, i, transparency, &picture, &layer.problem, &layer)) {
            readable = false;
            survey->layers.push_back(layer);
            continue;
        }
        layer.shape = shapeKey({&picture.picture, layer.x, layer.y});
        if (!drawing.fromDocument()) {
            // Layers of one drawing have one size: the first one's.
            if (survey->canvasWidth == 0 && survey->canvasHeight == 0)
                survey->canvasWidth = layer.width, survey->canvasHeight = layer.height;
            else if (layer.width != survey->canvasWidth || layer.height != survey->canvasHeight)
                survey->oddSizes.push_back(i);
        }
        survey->layers.push_back(layer);
    }
    if (!readable)
        return SURVEY_UNREADABLE;
    if (!survey->oddSizes.empty())
        return SURVEY_SIZES_DIFFER;
    return findVariants(drawing, transparency, survey);
}
