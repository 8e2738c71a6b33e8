#include "shared_palette.h"

#include "../../quantize/colour_reduction.h"

// Red, green, blue, alpha bytes, as the reduction reads them.
static std::vector<uint8_t> rgbaBytes(const DecodedPicture& part)
{
    std::vector<uint8_t> bytes(part.pixels.size() * 4);
    for (size_t i = 0; i < part.pixels.size(); ++i) {
        const uint32_t pixel = part.pixels[i];
        bytes[4 * i] = (uint8_t)(pixel >> 16);
        bytes[4 * i + 1] = (uint8_t)(pixel >> 8);
        bytes[4 * i + 2] = (uint8_t)pixel;
        bytes[4 * i + 3] = alphaOf(pixel);
    }
    return bytes;
}

static ColourReduction::Pixels pixelsOf(const DecodedPicture& part, const std::vector<uint8_t>& bytes)
{
    return ColourReduction::Pixels{bytes.data(), part.width, part.height, part.width * 4, 4};
}

int chooseSharedPalette(const std::vector<const DecodedPicture*>& parts, uint32_t background, SharedPalette* palette)
{
    ColourReduction::ColourHistogram histogram;
    for (const DecodedPicture* part : parts) {
        if (part->width == 0 || part->height == 0)
            continue;
        const std::vector<uint8_t> bytes = rgbaBytes(*part);
        if (!ColourReduction::countColours(&histogram, pixelsOf(*part, bytes)))
            return 0;
    }
    const std::vector<ColourReduction::WeightedColour> colours = ColourReduction::histogramColours(histogram);
    ColourReduction::Palette chosen;
    if (!ColourReduction::choosePalette(colours.data(), colours.size(), ColourReduction::kMaxPaletteColours, &chosen))
        return 0;
    palette->colours.assign(1, background & 0xFFFFFFu);
    for (int i = 0; i < chosen.count; ++i) {
        const ColourReduction::Colour c = chosen.colours[i];
        palette->colours.push_back(0xFF000000u | (uint32_t)c.r << 16 | (uint32_t)c.g << 8 | c.b);
    }
    palette->partColours = colours.size();
    palette->exact = chosen.exact;
    return 1;
}

int celOnSharedPalette(const DecodedPicture& part, const SharedPalette& palette, bool dither, CelChoice* cel)
{
    *cel = CelChoice();
    cel->depth = 8;
    cel->colours = palette.colours;
    cel->indices.assign((size_t)part.width * part.height, 0);
    if (cel->indices.empty())
        return 1;
    ColourReduction::Palette chosen;
    chosen.count = (int)palette.colours.size() - 1;
    chosen.exact = palette.exact;
    for (int i = 0; i < chosen.count; ++i) {
        const uint32_t colour = palette.colours[i + 1];
        chosen.colours[i] = {(uint8_t)(colour >> 16), (uint8_t)(colour >> 8), (uint8_t)colour};
    }
    const std::vector<uint8_t> bytes = rgbaBytes(part);
    return ColourReduction::mapPixels(pixelsOf(part, bytes), chosen, dither, cel->indices.data(), part.width);
}
