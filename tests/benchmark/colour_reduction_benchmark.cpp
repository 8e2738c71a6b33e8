// The colour reduction of a whole doll to 255 colours: counting the colours
// of every part, choosing the palette, mapping every part (no dithering).
// Two dolls are made here: eight soft-edged parts (anti-aliased shapes with
// gradients and stripes, partial alpha at the edges) at a small size, and
// the same at 4 megapixels. Each run reports the time and, as counters, the
// distinct visible colours and the PSNR over the visible pixels (alpha >=
// 128), RGB, against the doll's own colours.
//
// Beside ours, where they are on PATH: pngquant --nofs 255 and ImageMagick's
// convert -colors 255 +dither, each given the whole doll as one PNG (the
// parts one under another, so that they share one palette; visible pixels
// opaque, the rest transparent), timed around the command, their results
// decoded by convert and measured on the same pixels. pngquant's 255
// includes its transparent entry. --brief runs ours on the small doll only.
#include <benchmark/benchmark.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <utility>
#include <string>
#include <vector>

#include "../../quantize/colour_reduction.h"

using namespace ColourReduction;

namespace {

struct Part {
    int32_t width, height;
    std::vector<uint8_t> rgba;
};

struct Doll {
    std::vector<Part> parts;
    uint64_t visible = 0;
};

double clamp01(double v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

// One part: an ellipse with a soft edge, a linear gradient between two
// colours, shading towards the rim and soft stripes of a third colour.
Part makePart(int k, double scale)
{
    static const double sizes[8][2] = {{180, 200}, {260, 120}, {90, 300}, {90, 300},
                                       {140, 140}, {200, 90}, {110, 220}, {160, 180}};
    static const uint8_t colours[8][9] = {
        {250, 214, 190, 214, 160, 140, 120, 60, 40},   // face
        {60, 40, 120, 140, 110, 200, 240, 240, 250},   // dress
        {240, 200, 180, 200, 150, 130, 90, 50, 40},    // arm
        {238, 198, 176, 190, 140, 120, 90, 50, 40},    // arm
        {90, 50, 20, 170, 110, 50, 250, 220, 120},     // hair
        {20, 120, 60, 120, 220, 140, 250, 250, 240},   // ribbon
        {40, 40, 60, 100, 100, 140, 200, 30, 60},      // shoe
        {200, 30, 40, 250, 140, 150, 255, 255, 255},   // hat
    };
    Part part;
    part.width = (int32_t)(sizes[k][0] * scale);
    part.height = (int32_t)(sizes[k][1] * scale);
    part.rgba.assign((size_t)part.width * part.height * 4, 0);
    const uint8_t* c = colours[k];
    const double a = part.width / 2.0 - 1, b = part.height / 2.0 - 1, feather = 2.5 * scale;
    const double angle = 0.4 + 0.7 * k, dx = cos(angle), dy = sin(angle);
    const double stripe = (14 + 3 * k) * scale;
    for (int32_t y = 0; y < part.height; ++y) {
        for (int32_t x = 0; x < part.width; ++x) {
            const double u = (x + 0.5 - part.width / 2.0) / a, v = (y + 0.5 - part.height / 2.0) / b;
            const double radius = sqrt(u * u + v * v);
            const double inside = (1 - radius) * (a < b ? a : b);  // pixels from the rim
            const double alpha = clamp01((inside + feather / 2) / feather);
            if (alpha <= 0)
                continue;
            const double t = clamp01(0.5 + 0.5 * (u * dx + v * dy) / 1.2);
            const double shade = 1 - 0.15 * clamp01((radius - 0.75) * 30);  // a shadow band along the rim
            const double s = 0.5 + 0.5 * sin((x * dy - y * dx) / stripe * 6.2832);
            const double mix = k == 1 ? clamp01((s - 0.9) * 25) * 0.5 : 0;  // stripes on the dress
            uint8_t* p = &part.rgba[((size_t)y * part.width + x) * 4];
            for (int ch = 0; ch < 3; ++ch) {
                const double base = (c[ch] + (c[3 + ch] - c[ch]) * t) * shade;
                const double value = base + (c[6 + ch] - base) * mix;
                p[ch] = (uint8_t)lrint(value < 0 ? 0 : value > 255 ? 255 : value);
            }
            p[3] = (uint8_t)lrint(alpha * 255);
        }
    }
    return part;
}

Doll makeDoll(double scale)
{
    Doll doll;
    for (int k = 0; k < 8; ++k) {
        doll.parts.push_back(makePart(k, scale));
        for (size_t i = 3; i < doll.parts.back().rgba.size(); i += 4)
            doll.visible += doll.parts.back().rgba[i] >= kVisibleAlpha;
    }
    return doll;
}

const Doll& smallDoll()
{
    static const Doll doll = makeDoll(1.0);
    return doll;
}

const Doll& bigDoll()  // 4.0 megapixels of parts, 3.1 of them visible
{
    static const Doll doll = makeDoll(4.35);
    return doll;
}

Pixels pixelsOf(const Part& part)
{
    return {part.rgba.data(), part.width, part.height, part.width * 4, 4};
}

// Summed squared RGB error over the part's visible pixels.
uint64_t squaredErrorOfPart(const Part& part, const uint8_t* rgb, int channels, int32_t stride)
{
    uint64_t sum = 0;
    for (int32_t y = 0; y < part.height; ++y)
        for (int32_t x = 0; x < part.width; ++x) {
            const uint8_t* p = &part.rgba[((size_t)y * part.width + x) * 4];
            const uint8_t* q = rgb + (size_t)y * stride + (size_t)x * channels;
            if (p[3] >= kVisibleAlpha)
                for (int ch = 0; ch < 3; ++ch)
                    sum += (uint64_t)((p[ch] - q[ch]) * (p[ch] - q[ch]));
        }
    return sum;
}

double psnr(uint64_t squaredError, uint64_t visible)
{
    if (squaredError == 0)
        return INFINITY;
    return 10 * log10(255.0 * 255.0 * 3.0 * (double)visible / (double)squaredError);
}

struct Reduced {
    Palette palette;
    size_t colours;
    std::vector<std::vector<uint8_t>> indices;
};

bool reduce(const Doll& doll, Reduced* out)
{
    ColourHistogram histogram;
    for (const Part& part : doll.parts)
        if (!countColours(&histogram, pixelsOf(part)))
            return false;
    const std::vector<WeightedColour> colours = histogramColours(histogram);
    out->colours = colours.size();
    if (!choosePalette(colours.data(), colours.size(), 255, &out->palette))
        return false;
    out->indices.resize(doll.parts.size());
    for (size_t i = 0; i < doll.parts.size(); ++i) {
        const Part& part = doll.parts[i];
        out->indices[i].resize((size_t)part.width * part.height);
        if (!mapPixels(pixelsOf(part), out->palette, false, out->indices[i].data(), part.width))
            return false;
    }
    return true;
}

using MakeDoll = const Doll& (*)();

void ours(benchmark::State& state, MakeDoll makeDoll)
{
    const Doll* doll = &makeDoll();
    Reduced reduced;
    for (auto _ : state)
        if (!reduce(*doll, &reduced))
            state.SkipWithError("the reduction refused the doll");
    uint64_t error = 0;
    for (size_t i = 0; i < doll->parts.size(); ++i) {
        const Part& part = doll->parts[i];
        std::vector<uint8_t> rgb((size_t)part.width * part.height * 3);
        for (size_t p = 0; p < reduced.indices[i].size(); ++p)
            if (reduced.indices[i][p]) {
                const Colour& c = reduced.palette.colours[reduced.indices[i][p] - 1];
                rgb[3 * p] = c.r, rgb[3 * p + 1] = c.g, rgb[3 * p + 2] = c.b;
            }
        error += squaredErrorOfPart(part, rgb.data(), 3, part.width * 3);
    }
    state.counters["visible_px"] = (double)doll->visible;
    state.counters["colours"] = (double)reduced.colours;
    state.counters["psnr_db"] = psnr(error, doll->visible);
}

// --- The other tools, run as commands on the doll as one picture.

bool onPath(const char* tool)
{
    return system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool canDecodeAndEncode()
{
    // A real ImageMagick, not a stand-in that only shows pictures.
    return onPath("convert") && system("convert -size 1x1 xc:red -colors 2 png:- | convert - rgba:- >/dev/null 2>&1") == 0;
}

struct Sheet {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// The parts one under another, visible pixels opaque, the rest cleared.
Sheet sheetOf(const Doll& doll)
{
    Sheet sheet;
    for (const Part& part : doll.parts) {
        sheet.width = part.width > sheet.width ? part.width : sheet.width;
        sheet.height += part.height;
    }
    sheet.rgba.assign((size_t)sheet.width * sheet.height * 4, 0);
    int32_t top = 0;
    for (const Part& part : doll.parts) {
        for (int32_t y = 0; y < part.height; ++y)
            for (int32_t x = 0; x < part.width; ++x) {
                const uint8_t* p = &part.rgba[((size_t)y * part.width + x) * 4];
                uint8_t* q = &sheet.rgba[((size_t)(top + y) * sheet.width + x) * 4];
                if (p[3] >= kVisibleAlpha)
                    q[0] = p[0], q[1] = p[1], q[2] = p[2], q[3] = 255;
            }
        top += part.height;
    }
    return sheet;
}

uint64_t squaredErrorOfSheet(const Doll& doll, const Sheet& sheet, const std::vector<uint8_t>& decoded)
{
    uint64_t error = 0;
    int32_t top = 0;
    for (const Part& part : doll.parts) {
        error += squaredErrorOfPart(part, &decoded[(size_t)top * sheet.width * 4], 4, sheet.width * 4);
        top += part.height;
    }
    return error;
}

struct ScratchFiles {
    std::string folder;
    ScratchFiles()
    {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/porvane-quantize-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back(0);
        if (mkdtemp(name.data()))
            folder = name.data();
    }
    ~ScratchFiles()
    {
        if (!folder.empty())
            if (system(("rm -rf '" + folder + "'").c_str()) != 0)
                fprintf(stderr, "could not remove %s\n", folder.c_str());
    }
    std::string path(const char* name) const { return folder + "/" + name; }
};

// Runs `command` (with IN and OUT for the files) on the doll and measures
// what comes out.
void tool(benchmark::State& state, MakeDoll makeDoll, std::string command)
{
    const Doll* doll = &makeDoll();
    ScratchFiles scratch;
    const Sheet sheet = sheetOf(*doll);
    const std::string raw = scratch.path("doll.rgba"), in = scratch.path("doll.png"), out = scratch.path("out.png"),
                      decoded = scratch.path("out.rgba");
    FILE* f = fopen(raw.c_str(), "wb");
    const bool written = f && fwrite(sheet.rgba.data(), 1, sheet.rgba.size(), f) == sheet.rgba.size();
    if (f)
        fclose(f);
    const std::string encode = "convert -size " + std::to_string(sheet.width) + "x" + std::to_string(sheet.height) +
                               " -depth 8 rgba:'" + raw + "' png32:'" + in + "'";
    if (!written || system(encode.c_str()) != 0) {
        state.SkipWithError("could not write the doll as a PNG");
        return;
    }
    for (const char* name : {"IN", "OUT"}) {
        const size_t at = command.find(name);
        command.replace(at, strlen(name), "'" + (name[0] == 'I' ? in : out) + "'");
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = system(command.c_str());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (status != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
    }
    std::vector<uint8_t> pixels(sheet.rgba.size());
    f = system(("convert '" + out + "' -depth 8 rgba:'" + decoded + "'").c_str()) == 0 ? fopen(decoded.c_str(), "rb")
                                                                                        : nullptr;
    const bool read = f && fread(pixels.data(), 1, pixels.size(), f) == pixels.size();
    if (f)
        fclose(f);
    if (!read) {
        state.SkipWithError("could not decode the result");
        return;
    }
    state.counters["psnr_db"] = psnr(squaredErrorOfSheet(*doll, sheet, pixels), doll->visible);
}

}

void registerColourReductionBenchmarks(bool brief)
{
    // The dolls are made when first run, so that a filter that leaves them
    // out does not wait for them.
    const std::pair<const char*, MakeDoll> dolls[] = {{"small-doll", smallDoll}, {"4-megapixel-doll", bigDoll}};
    const bool pngquant = !brief && onPath("pngquant"), magick = !brief && canDecodeAndEncode();
    if (!brief && !pngquant)
        printf("pngquant is not on PATH: no figures for it.\n");
    if (!brief && !magick)
        printf("ImageMagick's convert is not on PATH: no figures for pngquant or ImageMagick.\n");
    for (const auto& doll : dolls) {
        const bool big = doll.second == bigDoll;
        if (brief && big)
            break;
        benchmark::RegisterBenchmark((std::string("colour_reduction/ours/") + doll.first).c_str(), ours, doll.second)
            ->Iterations(brief ? 1 : big ? 3 : 10)
            ->Unit(benchmark::kMillisecond);
        const char* tools[][2] = {{"pngquant", "pngquant --nofs --force --output OUT 255 IN"},
                                  {"imagemagick", "convert IN -colors 255 +dither OUT"}};
        for (const auto& t : tools)
            if (magick && (t[0][0] != 'p' || pngquant))
                benchmark::RegisterBenchmark((std::string("colour_reduction/") + t[0] + "/" + doll.first).c_str(),
                                             tool, doll.second, std::string(t[1]))
                    ->Iterations(big ? 2 : 5)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
    }
}
