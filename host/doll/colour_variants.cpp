#include "colour_variants.h"

#include <unordered_map>

// FNV-1a over the place, the size and the alpha of every pixel.
uint64_t shapeKey(const PlacedPicture& placed)
{
    const DecodedPicture& picture = *placed.picture;
    uint64_t key = 0xCBF29CE484222325ull;
    auto mix = [&](uint64_t value) {
        for (int byte = 0; byte < 8; ++byte, value >>= 8)
            key = (key ^ (value & 0xFF)) * 0x100000001B3ull;
    };
    mix((uint64_t)(uint32_t)placed.x << 32 | (uint32_t)placed.y);
    mix((uint64_t)(uint32_t)picture.width << 32 | (uint32_t)picture.height);
    for (uint32_t pixel : picture.pixels)
        key = (key ^ alphaOf(pixel)) * 0x100000001B3ull;
    return key;
}

bool isColourVariant(const PlacedPicture& drawn, const PlacedPicture& candidate)
{
    const DecodedPicture &a = *drawn.picture, &b = *candidate.picture;
    if (drawn.x != candidate.x || drawn.y != candidate.y || a.width != b.width || a.height != b.height ||
        a.pixels.size() != b.pixels.size())
        return false;
    std::unordered_map<uint32_t, uint32_t> forward, backward;  // visible colours, without alpha
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        if (alphaOf(a.pixels[i]) != alphaOf(b.pixels[i]))
            return false;
        if (alphaOf(a.pixels[i]) == 0)
            continue;
        const uint32_t from = a.pixels[i] & 0xFFFFFFu, to = b.pixels[i] & 0xFFFFFFu;
        if (forward.emplace(from, to).first->second != to)
            return false;
        if (backward.emplace(to, from).first->second != from)
            return false;
    }
    return true;
}

std::vector<uint32_t> variantGroup(const std::vector<uint8_t>& indices, const DecodedPicture& variant,
                                   const std::vector<uint32_t>& drawn)
{
    struct Sum {
        uint64_t red = 0, green = 0, blue = 0, pixels = 0;
    };
    std::vector<Sum> sums(drawn.size());
    for (size_t i = 0; i < indices.size() && i < variant.pixels.size(); ++i) {
        const uint8_t entry = indices[i];
        if (entry == 0 || entry >= sums.size())
            continue;
        const uint32_t colour = variant.pixels[i];
        sums[entry].red += (colour >> 16) & 0xFF, sums[entry].green += (colour >> 8) & 0xFF;
        sums[entry].blue += colour & 0xFF, ++sums[entry].pixels;
    }
    std::vector<uint32_t> group = drawn;
    for (size_t entry = 1; entry < sums.size(); ++entry) {
        const Sum& sum = sums[entry];
        if (sum.pixels == 0)
            continue;
        auto mean = [&](uint64_t total) { return (uint32_t)((total + sum.pixels / 2) / sum.pixels); };
        group[entry] = mean(sum.red) << 16 | mean(sum.green) << 8 | mean(sum.blue);
    }
    return group;
}
