#include "shared_palette.h"

// A full-colour picture's words, 0xAARRGGBB, are blue, green, red and alpha
// bytes in memory, as the reduction reads them with `bgr`.
static ColourReduction::Pixels pixelsOf(const DecodedPicture& part)
{
    ColourReduction::Pixels pixels{(const uint8_t*)part.pixels.data(), part.width, part.height, part.width * 4, 4};
    pixels.bgr = true;
    return pixels;
}

static bool isEmpty(const DecodedPicture& part)
{
    return part.width == 0 || part.height == 0;
}

bool SharedPalette::count(const DecodedPicture& part)
{
    return isEmpty(part) || ColourReduction::countColours(&histogram_, pixelsOf(part));
}

bool SharedPalette::choose(int most)
{
    const std::vector<ColourReduction::WeightedColour> counted = ColourReduction::histogramColours(histogram_);
    if (!ColourReduction::choosePalette(counted.data(), counted.size(), most, &chosen_))
        return false;
    partColours_ = counted.size();
    histogram_ = ColourReduction::ColourHistogram();  // the counts are spent
    return true;
}

std::vector<uint32_t> SharedPalette::visible() const
{
    std::vector<uint32_t> colours;
    for (int i = 0; i < chosen_.count; ++i) {
        const ColourReduction::Colour c = chosen_.colours[i];
        colours.push_back((uint32_t)c.r << 16 | (uint32_t)c.g << 8 | c.b);
    }
    return colours;
}

std::vector<uint32_t> SharedPalette::colours() const
{
    std::vector<uint32_t> colours(1, background_);
    const std::vector<uint32_t> shown = visible();
    colours.insert(colours.end(), shown.begin(), shown.end());
    return colours;
}

bool SharedPalette::celFor(const DecodedPicture& part, bool dither, CelChoice* cel, int firstEntry) const
{
    *cel = CelChoice();
    cel->depth = 8;
    cel->colours = colours();
    cel->indices.assign((size_t)part.width * part.height, 0);
    if (isEmpty(part))
        return true;
    int solid = 0, cleared = 0;
    for (uint32_t pixel : part.pixels) {
        const uint8_t alpha = alphaOf(pixel);
        if (alpha != 0 && alpha != 255)
            ++(alpha >= ColourReduction::kVisibleAlpha ? solid : cleared);
    }
    if (solid > 0 || cleared > 0)
        cel->notes.push_back({NOTE_PARTLY_TRANSPARENT, solid, cleared});
    if (!ColourReduction::mapPixels(pixelsOf(part), chosen_, dither, cel->indices.data(), part.width))
        return false;
    if (firstEntry != 1)
        for (uint8_t& index : cel->indices)
            index = index == 0 ? 0 : (uint8_t)(index + firstEntry - 1);
    return true;
}
