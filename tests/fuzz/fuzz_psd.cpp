// libFuzzer target: a layered document (.psd) as the doll and export
// commands read it: the structure, every part composed, the merged picture.
//
// AddressSanitizer watches every read of the file, which libFuzzer hands
// over in a block of exactly its size: a reader that let a declared length
// pass the end is caught there. After every call: a refused document is
// left empty; a composed part lies on the canvas, its pixel block is
// exactly its size, it is cut to what shows (its first and last rows and
// columns hold a pixel that does) and its transparent pixels are 0; a
// merged picture is the canvas's size. The reader keeps nothing between
// inputs, so memory stays flat.
//
// Input: the document's bytes. Seeds: tests/fuzz/psd-corpus, made by
// porvane-make-psd-seeds.
#include <stdint.h>

#include <string>

#include "../../host/pictures/psd_compose.h"
#include "../../host/pictures/psd_document.h"
#include "../../host/pictures/psd_merged.h"
#include "fuzz_check.h"

namespace {

// A canvas of more pixels is read but not composed: every level of nested
// groups may hold a picture the size of its part, and a run stays fast.
const int64_t MAX_COMPOSED_PIXELS = 1 << 16;

void checkPart(const PsdDocument& document, const PsdPartPicture& part, const std::string& kind)
{
    const DecodedPicture& picture = part.picture;
    CHECK(picture.saysTransparency, kind);
    CHECK(picture.pixels.size() == (size_t)picture.width * (size_t)picture.height, kind);
    if (picture.width == 0) {
        CHECK(picture.height == 0, kind);
        return;
    }
    CHECK(part.x >= 0 && part.y >= 0 && part.x + (int64_t)picture.width <= document.width &&
              part.y + (int64_t)picture.height <= document.height,
          kind);
    bool shows[4] = {};  // top row, bottom row, left column, right column
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.pixels[(size_t)y * picture.width + x];
            CHECK(pixel >> 24 != 0 || pixel == 0, kind + ": a transparent pixel with a colour");
            if (pixel >> 24 != 0) {
                shows[0] |= y == 0, shows[1] |= y == picture.height - 1;
                shows[2] |= x == 0, shows[3] |= x == picture.width - 1;
            }
        }
    CHECK(shows[0] && shows[1] && shows[2] && shows[3], kind + ": not cut to what shows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PsdDocument document;
    int64_t detail = 0;
    const PsdProblem problem = readPsdDocument(data, size, &document, &detail);
    if (problem != PSD_OK) {
        CHECK(document.layers.empty() && document.parts.empty(), "a refused document " + std::to_string(problem));
        return 0;
    }
    const std::string kind = std::to_string(document.width) + " x " + std::to_string(document.height) + ", " +
                             std::to_string(document.layers.size()) + " layers";
    CHECK(document.width > 0 && document.height > 0 && (document.depth == 8 || document.depth == 16), kind);
    if ((int64_t)document.width * document.height > MAX_COMPOSED_PIXELS)
        return 0;
    for (size_t p = 0; p < document.parts.size(); ++p) {
        PsdPartPicture part;
        if (composePsdPart(data, size, document, p, &part, &detail) == PSD_OK)
            checkPart(document, part, kind + ", part " + std::to_string(p));
        else
            CHECK(part.picture.pixels.empty(), kind);
    }
    DecodedPicture merged;
    if (readPsdMergedPicture(data, size, document, &merged, &detail) == PSD_OK)
        CHECK(merged.width == document.width && merged.height == document.height &&
                  merged.pixels.size() == (size_t)document.width * document.height,
              kind + ", merged");
    return 0;
}
