// Writes the seed documents of porvane-fuzz-psd into a folder, with the
// test writer: one of each compression and depth, groups, masks, clipping,
// what is left out, names, the merged picture's forms. Small, so that the
// fuzzer's mutations reach every field.
//
//   porvane-make-psd-seeds tests/fuzz/psd-corpus
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "../shared/psd_writer.h"

namespace {

std::vector<uint32_t> pattern(int width, int height, uint32_t seed)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back((x + y) % 3 == 0 ? 0 : (uint32_t)(60 * x + 30 * y + 40) % 256 << 24 | (seed * (x + 1) * 7919u + y * 131u) & 0xFFFFFF);
    return pixels;
}

PsdTestLayer layer(const char* name, int left, int top, int width, int height, int compression, bool grey = false)
{
    PsdTestLayer made = psdTestLayer(name, left, top, width, height, pattern(width, height, left + 3 * top + 1), grey);
    made.compression = compression;
    return made;
}

PsdTestDocument canvas(int depth = 8, int mode = 3)
{
    PsdTestDocument document;
    document.width = 6, document.height = 4, document.depth = depth, document.mode = mode;
    return document;
}

void write(const std::string& folder, const char* name, const PsdTestDocument& document)
{
    const std::vector<uint8_t> bytes = writePsd(document);
    FILE* file = fopen((folder + "/" + name).c_str(), "wb");
    if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
        perror(name);
        exit(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: porvane-make-psd-seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];

    PsdTestDocument raw = canvas();
    raw.layers = {layer("under", -1, 0, 4, 3, 0), layer("over", 2, 1, 5, 3, 0)};
    raw.layers[1].opacity = 170, raw.layers[1].fillOpacity = 200;
    write(folder, "rgb8-raw-two-layers-opacity", raw);

    PsdTestDocument rle = canvas();
    PsdTestLayer masked = layer("masked", 0, 0, 5, 3, 1);
    masked.hasMask = true;
    masked.mask = {1, 1, 3, 4, 0, 0, false};
    masked.channels.push_back({-2, {255, 128, 0, 64, 200, 255}});
    PsdTestLayer clipped = layer("clipped", 1, 0, 5, 4, 1);
    clipped.clipped = true;
    rle.layers = {psdTestDivider(), masked, clipped, psdTestGroup("group", 200)};
    rle.mergedCompression = 1;
    write(folder, "rgb8-rle-group-mask-clipping", rle);

    PsdTestDocument zip16 = canvas(16);
    zip16.layers = {layer("predicted", 0, 0, 6, 4, 3), layer("zip", 2, 2, 3, 2, 2)};
    for (PsdTestLayer& made : zip16.layers)
        for (PsdTestChannel& channel : made.channels)
            for (uint16_t& sample : channel.samples)
                sample = (uint16_t)(sample * 257 + (sample & 0x7F));
    zip16.layersInGlobalBlock = true;
    write(folder, "rgb16-zip-lr16", zip16);

    PsdTestDocument grey = canvas(8, 1);
    grey.layers = {layer("grey", 0, 0, 6, 4, 2, true)};
    grey.mergedTransparency = true;
    grey.merged = {std::vector<uint16_t>(24, 200), std::vector<uint16_t>(24, 128)};
    write(folder, "grey8-zip-merged-transparent", grey);

    PsdTestDocument left = canvas();
    PsdTestLayer named = layer("name", 0, 0, 3, 3, 1);
    named.unicodeName = u"\u9854\U0001F380";
    named.blocks = {{"lfx2", {0, 0, 0, 16}}};
    named.blendMode = "mul ";
    PsdTestLayer levels = layer("levels", 0, 0, 0, 0, 0);
    levels.blocks = {{"levl", {0, 2}}};
    PsdTestLayer hidden = layer("hidden", 1, 1, 2, 2, 0);
    hidden.hidden = true;
    left.layers = {psdTestDivider(), named, levels, psdTestDivider(), hidden, psdTestGroup("hidden group", 255, true),
                   psdTestGroup("outer")};
    left.mergedIsReal = false;
    write(folder, "rgb8-left-out-names-no-merged", left);
    return 0;
}
