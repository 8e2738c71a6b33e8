#include "crop.h"

#include <algorithm>

Bounds visibleBounds(const DecodedPicture& picture)
{
    int32_t left = picture.width, top = picture.height, right = -1, bottom = -1;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint32_t* row = picture.pixels.data() + (size_t)y * picture.width;
        for (int32_t x = 0; x < picture.width; ++x)
            if (alphaOf(row[x]) != 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    }
    if (right < 0)
        return Bounds();
    return Bounds{left, top, right - left + 1, bottom - top + 1};
}

// Rows of `width` values cut to `bounds`, in place.
template <typename Value>
static void cropRows(std::vector<Value>* values, int32_t width, const Bounds& bounds)
{
    if (values->empty())
        return;
    for (int32_t y = 0; y < bounds.height; ++y) {
        const auto from = values->begin() + (size_t)(bounds.y + y) * width + bounds.x;
        std::copy(from, from + bounds.width, values->begin() + (size_t)y * bounds.width);
    }
    values->resize((size_t)bounds.width * bounds.height);
    values->shrink_to_fit();
}

void cropPicture(DecodedPicture* picture, const Bounds& bounds)
{
    cropRows(&picture->pixels, picture->width, bounds);
    cropRows(&picture->indices, picture->width, bounds);
    picture->width = bounds.width;
    picture->height = bounds.height;
}

void cropCel(CelChoice* cel, int32_t width, const Bounds& bounds)
{
    cropRows(&cel->pixels, width, bounds);
    cropRows(&cel->indices, width, bounds);
    cel->transparent = std::any_of(cel->pixels.begin(), cel->pixels.end(),
                                   [](uint32_t pixel) { return alphaOf(pixel) != 255; });
}
