// The first look at a drawing's layers for `doll`, before any cel is made:
// each layer read once, cut to what shows and dropped again, keeping only
// where it lies and its shape; the layers checked to be of one drawing (one
// size); and the colour variants found (doll/colour_variants.h): layers of
// one shape whose colours map one to one onto an earlier visible layer's.
// Only two layers are ever held at once.
#ifndef PORVANE_DOLL_SURVEY_H
#define PORVANE_DOLL_SURVEY_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "../choosing/cel_choice.h"
#include "../choosing/crop.h"
#include "../pictures/drawing_layers.h"

struct SurveyedLayer {
    PictureProblem problem;       // why it could not be read; PICTURE_READ when it was
    int32_t width = 0, height = 0;  // the picture as read (a picture file: the whole canvas)
    Bounds shows;                 // what shows, within the picture as read; empty when nothing does
    int32_t x = 0, y = 0;         // where that lies on the canvas
    uint64_t shape = 0;
    long variantOf = -1;          // the layer it recolours; -1: none
    std::vector<size_t> variants; // a drawn layer's recolourings, bottom first
};

enum SurveyOutcome {
    SURVEY_DONE,
    SURVEY_UNREADABLE,      // a layer could not be read (its problem says why)
    SURVEY_SIZES_DIFFER,    // the pictures are not all of one size
    SURVEY_TOO_MANY_VARIANTS,  // a layer has more recolourings than a viewer has palette groups
};

struct DollSurvey {
    std::vector<SurveyedLayer> layers;  // one a layer of the drawing
    int32_t canvasWidth = 0, canvasHeight = 0;
    std::vector<size_t> oddSizes;       // SURVEY_SIZES_DIFFER: the layers of another size than the first
    size_t tooManyVariants = 0;         // SURVEY_TOO_MANY_VARIANTS: the layer
};

// Reads `layer` in full colour by the transparency rule, cut to what shows;
// `surveyed`, when given, gets its size as read and what shows. 0 with the
// problem.
int readLayerInFullColour(const DrawingLayers& drawing, size_t layer, const TransparencyChoice& transparency,
                          LayerPicture* picture, PictureProblem* problem, SurveyedLayer* surveyed = NULL);

SurveyOutcome surveyLayers(const DrawingLayers& drawing, const TransparencyChoice& transparency, DollSurvey* survey);

#endif
