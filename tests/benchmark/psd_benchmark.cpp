// Speed of the layered document reader: reading a large document and
// composing every part of it one at a time (each dropped before the next),
// as the doll command does, against the time to copy the document's bytes
// into a fresh block, timed in the same round. The document is made here:
// an A4 drawing at 300 dpi (2480 x 3508) of 40 layers, a doll's parts with
// soft edges and gradients, some striped, groups nested two deep, layers
// clipped to others, a mask, and full-canvas layers (paper, a shadow, line
// art, highlights); once with RLE channels and once with ZIP.
//
// Counters (medians over the rounds): copy_ms, the copy's time; read+compose
// / copy; parts; file_MB.
#include <benchmark/benchmark.h>

#include <math.h>
#include <string.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "../../host/pictures/psd_compose.h"
#include "../../host/pictures/psd_document.h"
#include "../shared/psd_writer.h"

namespace {

// One record of the drawing: a soft ellipse in canvas fractions (a part),
// or a group's divider or record.
struct Shape {
    const char* name;
    double cx, cy, rx, ry;  // fractions of the canvas
    uint32_t top, bottom;   // colours of its gradient
    enum { PART, FULL_CANVAS, LINE_ART, DIVIDER, GROUP } kind = PART;
    bool stripes = false, clipped = false, masked = false;
    uint8_t opacity = 255;
};

const Shape drawing[] = {
    {"paper", .5, .5, .9, .9, 0xFFFFF8EEu, 0xFFF0E4D8u, Shape::FULL_CANVAS},
    {"shadow", .5, .95, .35, .03, 0x60402030u, 0x60402030u, Shape::FULL_CANVAS, false, false, false, 120},
    {"hair back", .5, .3, .22, .25, 0xFF6A3A20u, 0xFF4A2410u},
    {"body", .5, .55, .14, .25, 0xFFF6D7C3u, 0xFFE8BFA6u},
    {"leg left", .45, .8, .04, .14, 0xFFF6D7C3u, 0xFFE0B098u},
    {"leg right", .55, .8, .04, .14, 0xFFF6D7C3u, 0xFFE0B098u},
    {"shoe left", .44, .93, .05, .02, 0xFF802030u, 0xFF501020u},
    {"shoe right", .56, .93, .05, .02, 0xFF802030u, 0xFF501020u},
    {"dress", .5, .6, .2, .18, 0xFF4060C0u, 0xFF203080u, Shape::PART, false, false, true},
    {"dress shading", .55, .65, .2, .2, 0xFF101840u, 0xFF101840u, Shape::PART, false, true, false, 160},
    {"dress pattern", .5, .6, .2, .2, 0xFFFFFFFFu, 0xFFE0E0FFu, Shape::PART, true, true, false, 200},
    {"arm left", .34, .52, .04, .14, 0xFFF6D7C3u, 0xFFE8BFA6u},
    {"arm right", .66, .52, .04, .14, 0xFFF6D7C3u, 0xFFE8BFA6u},
    {"hand left", .33, .66, .03, .025, 0xFFF6D7C3u, 0xFFE8BFA6u},
    {"hand right", .67, .66, .03, .025, 0xFFF6D7C3u, 0xFFE8BFA6u},
    {"", 0, 0, 0, 0, 0, 0, Shape::DIVIDER},
    {"face", .5, .25, .12, .1, 0xFFF8DCC8u, 0xFFF0C8B0u},
    {"cheeks", .5, .28, .09, .02, 0x80FF8080u, 0x80FF8080u, Shape::PART, false, false, false, 120},
    {"", 0, 0, 0, 0, 0, 0, Shape::DIVIDER},
    {"eye left", .46, .24, .02, .02, 0xFF3050A0u, 0xFF102040u},
    {"eye right", .54, .24, .02, .02, 0xFF3050A0u, 0xFF102040u},
    {"eyes", 0, 0, 0, 0, 0, 0, Shape::GROUP},
    {"mouth", .5, .3, .02, .006, 0xFFC04050u, 0xFFA03040u},
    {"face", 0, 0, 0, 0, 0, 0, Shape::GROUP},
    {"", 0, 0, 0, 0, 0, 0, Shape::DIVIDER},
    {"hair", .5, .2, .16, .12, 0xFF8A4A28u, 0xFF6A3418u},
    {"hair shade", .5, .26, .17, .08, 0xFF40200Cu, 0xFF40200Cu, Shape::PART, false, true, false, 140},
    {"hair light", .46, .14, .06, .03, 0xFFFFE0C0u, 0xFFFFD0A0u, Shape::PART, false, true, false, 180},
    {"hair", 0, 0, 0, 0, 0, 0, Shape::GROUP, false, false, false, 230},
    {"ribbon", .6, .12, .06, .03, 0xFFE03060u, 0xFFB02040u},
    {"ribbon shade", .6, .14, .06, .02, 0xFF801030u, 0xFF801030u, Shape::PART, false, true, false, 150},
    {"bag", .72, .7, .06, .06, 0xFFC08040u, 0xFF906020u, Shape::PART, true},
    {"bag strap", .69, .58, .01, .12, 0xFF705020u, 0xFF503010u},
    {"flower 1", .15, .85, .05, .05, 0xFFFFD0E0u, 0xFFFF90B0u},
    {"flower 2", .85, .88, .05, .05, 0xFFFFF0A0u, 0xFFFFC040u},
    {"flower 3", .12, .15, .04, .04, 0xFFD0E0FFu, 0xFF90B0FFu},
    {"line art", .5, .5, .2, .2, 0xFF302020u, 0xFF302020u, Shape::LINE_ART},
    {"highlights", .5, .4, .25, .35, 0x40FFFFFFu, 0x10FFFFFFu, Shape::FULL_CANVAS, false, false, false, 128},
    {"sparkles", .8, .2, .05, .05, 0xC0FFFFE0u, 0x40FFFFE0u, Shape::PART, true},
    {"signature", .9, .97, .05, .01, 0xFF202020u, 0xFF202020u},
};
const int drawingLayers = sizeof drawing / sizeof drawing[0];

uint32_t mixed(uint32_t a, uint32_t b, double t, double alpha)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double v = ((a >> shift) & 255) * (1 - t) + ((b >> shift) & 255) * t;
        out |= (uint32_t)lround(shift == 24 ? v * alpha : v) << shift;
    }
    return out;
}

// The soft ellipse's pixels over its bounds: a 2-pixel soft edge, the
// gradient top to bottom, stripes darkening every other band; line art is
// the outlines of the parts' ellipses.
PsdTestLayer layerOf(const Shape& shape, int width, int height, int compression)
{
    if (shape.kind == Shape::DIVIDER)
        return psdTestDivider();
    if (shape.kind == Shape::GROUP)
        return psdTestGroup(shape.name, shape.opacity);
    const double cx = shape.cx * width, cy = shape.cy * height, rx = shape.rx * width, ry = shape.ry * height;
    const bool full = shape.kind != Shape::PART;
    const int left = full ? 0 : std::max(0, (int)(cx - rx) - 2), right = full ? width : std::min(width, (int)(cx + rx) + 3);
    const int top = full ? 0 : std::max(0, (int)(cy - ry) - 2), bottom = full ? height : std::min(height, (int)(cy + ry) + 3);
    std::vector<uint32_t> pixels((size_t)(right - left) * (bottom - top));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double d = sqrt(pow((x - cx) / rx, 2) + pow((y - cy) / ry, 2)), r = std::min(rx, ry);
            double alpha = std::min(1.0, std::max(0.0, (1 - d) * r / 2));
            if (shape.kind == Shape::LINE_ART)
                alpha = std::max(0.0, 1 - fabs(d - 1) * r / 3) + std::max(0.0, 1 - fabs(d - .5) * r / 3);
            if (alpha <= 0)
                continue;
            const double t = (double)(y - top) / (bottom - top);
            uint32_t pixel = mixed(shape.top, shape.bottom, t, std::min(alpha, 1.0));
            if (shape.stripes && (x + y) / 24 % 2)
                pixel = mixed(pixel, pixel & 0xFF000000u, .25, 1);
            pixels[(size_t)(y - top) * (right - left) + (x - left)] = pixel;
        }
    PsdTestLayer layer = psdTestLayer(shape.name, left, top, right - left, bottom - top, pixels);
    layer.opacity = shape.opacity;
    layer.clipped = shape.clipped;
    layer.compression = compression;
    if (shape.masked) {  // the hem fades out over its lowest fifth
        layer.hasMask = true;
        const int maskTop = bottom - (bottom - top) / 5;
        layer.mask = {maskTop, left, bottom, right, 255, 0, false};
        std::vector<uint16_t> mask;
        for (int y = maskTop; y < bottom; ++y)
            mask.insert(mask.end(), right - left, (uint16_t)(255 * (bottom - y) / (bottom - maskTop)));
        layer.channels.push_back({-2, mask});
    }
    return layer;
}

struct PsdCase {
    const char* name;
    int width, height, compression, rounds;
};

double seconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void readAndComposeEveryPart(benchmark::State& state, PsdCase c)
{
    PsdTestDocument description;
    description.width = c.width, description.height = c.height;
    const std::vector<uint8_t> file = writePsd(description, drawingLayers, [&](size_t i) {
        return layerOf(drawing[i], c.width, c.height, c.compression);
    });
    // PORVANE_PSD_SAVE=FOLDER keeps each document, to run the converter on.
    if (const char* folder = getenv("PORVANE_PSD_SAVE")) {
        const std::string path = std::string(folder) + "/" + c.name + "-" + std::to_string(c.width) + "x" +
                                 std::to_string(c.height) + ".psd";
        if (FILE* out = fopen(path.c_str(), "wb")) {
            fwrite(file.data(), 1, file.size(), out);
            fclose(out);
        }
    }
    std::vector<double> copies, ratios;
    size_t parts = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<uint8_t> copy(file);
        benchmark::DoNotOptimize(copy.data());
        const auto copied = std::chrono::steady_clock::now();
        PsdDocument document;
        int64_t detail;
        bool ok = readPsdDocument(file.data(), file.size(), &document, &detail) == PSD_OK;
        for (size_t p = 0; ok && p < document.parts.size(); ++p) {
            PsdPartPicture part;
            ok = composePsdPart(file.data(), file.size(), document, p, &part, &detail) == PSD_OK;
            benchmark::DoNotOptimize(part.picture.pixels.data());
        }
        const auto composed = std::chrono::steady_clock::now();
        if (!ok)
            state.SkipWithError("the document was not read");
        parts = document.parts.size();
        copies.push_back(seconds(start, copied));
        ratios.push_back(seconds(copied, composed) / seconds(start, copied));
        state.SetIterationTime(seconds(copied, composed));
    }
    state.counters["copy_ms"] = median(copies) * 1000;
    state.counters["read+compose/copy"] = median(ratios);
    state.counters["parts"] = (double)parts;
    state.counters["file_MB"] = file.size() / 1e6;
}

}  // namespace

void registerPsdBenchmarks(bool brief)
{
    const PsdCase cases[] = {{"rle", 2480, 3508, 1, 5}, {"zip", 2480, 3508, 2, 5}};
    for (PsdCase c : cases) {
        if (brief)
            c.width /= 4, c.height /= 4, c.rounds = 1;
        const std::string name = std::string("psd/") + c.name + "/" + std::to_string(drawingLayers) + "-layers/" +
                                 std::to_string(c.width) + "x" + std::to_string(c.height);
        benchmark::RegisterBenchmark(name.c_str(), readAndComposeEveryPart, c)
            ->Iterations(c.rounds)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}
