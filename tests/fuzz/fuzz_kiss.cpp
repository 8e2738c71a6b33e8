// libFuzzer target: a whole KiSS doll through the readers, the check and
// the drawing. The input is the doll's files one after another, each ended
// by FILE_END: the first is the configuration; a name the configuration
// gives is one of the others, picked by its letters without regard to case
// (so the same name always finds the same file), or missing.
//
// AddressSanitizer watches every read of the files; after every call the
// results must hold together: a cel or palette read has exactly the pixels
// or colours its sizes say, a finding has a known code and a line the
// configuration has, a drawn set is its playfield's size and opaque.
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "kiss_cel.h"
#include "kiss_check.h"
#include "kiss_configuration.h"
#include "kiss_palette.h"
#include "kiss_picture.h"

namespace {

const char FILE_END[] = "\n--\n";

// Sets are drawn only on playfields this small, so that a run stays fast.
const int64_t MAX_DRAWN_PIXELS = 1 << 16;

typedef std::vector<uint8_t> Bytes;

std::vector<Bytes> splitFiles(const uint8_t* data, size_t size)
{
    std::vector<Bytes> files;
    const uint8_t *at = data, *end = data + size;
    const size_t separator = strlen(FILE_END);
    for (;;) {
        const uint8_t* next = std::search(at, end, FILE_END, FILE_END + separator);
        files.push_back(Bytes(at, next));
        if (next == end)
            return files;
        at = next + separator;
    }
}

KissFetched fetchFrom(const std::vector<Bytes>& files, const std::string& name)
{
    KissFetched fetched;
    uint32_t sum = 0;
    for (char c : name)
        sum += (uint8_t)(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    const size_t pick = sum % files.size();  // 0, the configuration itself: missing
    if (pick == 0)
        return fetched;
    fetched.status = sum / files.size() % 7 == 3 ? KISS_NOT_READABLE : KISS_FETCHED;
    fetched.name = name;
    fetched.bytes = files[pick];
    return fetched;
}

uint32_t lineCount(const Bytes& text)
{
    uint32_t lines = 1;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    return lines;
}

void readEachFile(const Bytes& file)
{
    KissCel cel;
    const bool celRead = readCel(file.data(), file.size(), &cel).problem == KISS_FINE;
    if (celRead) {
        const uint64_t pixels = (uint64_t)cel.width * (uint64_t)cel.height;
        CHECK(cel.pixels.size() == pixels * (cel.depth == 32 ? 4 : 1), "cel pixels");
        CHECK(cel.depth != 4 || cel.highestColour < 16, "4-bit colour");
    }
    KissPalette palette;
    const bool paletteRead = readPalette(file.data(), file.size(), &palette).problem == KISS_FINE;
    if (paletteRead)
        CHECK(palette.rgb.size() == 3 * (size_t)palette.colours * (size_t)palette.groups, "palette colours");
    else
        CHECK(palette.rgb.empty() && palette.colours == 0, "a palette not read is empty");
    if (celRead && paletteRead) {
        KissPicture picture;
        CHECK(celPicture(cel, &palette, 1, &picture) == KISS_FINE, "cel picture");
        CHECK(picture.rgba.size() == 4 * (size_t)cel.width * (size_t)cel.height, "cel picture size");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<Bytes> files = splitFiles(data, size);
    const KissFetcher fetch = [&files](const std::string& name) { return fetchFrom(files, name); };
    const Bytes& text = files[0];
    const KissConfiguration cnf = readConfiguration(text.data(), text.size());

    const uint32_t lines = lineCount(text);
    for (const KissFinding& finding : checkDoll("doll.cnf", cnf, fetch)) {
        CHECK(finding.problem > KISS_FINE && finding.problem < KISS_NO_SUCH_SET, std::to_string(finding.problem));
        CHECK(finding.line <= lines, std::to_string(finding.line) + " of " + std::to_string(lines));
    }
    if ((int64_t)cnf.width * cnf.height <= MAX_DRAWN_PIXELS)
        for (int set = 0; set < KISS_SETS; ++set) {
            KissPicture picture;
            if (drawSet(cnf, set, fetch, &picture) != KISS_FINE)
                break;
            CHECK(picture.width == cnf.width && picture.height == cnf.height, "playfield");
            for (size_t i = 3; i < picture.rgba.size(); i += 4)
                CHECK(picture.rgba[i] == 255, "opaque");
        }
    for (size_t f = 1; f < files.size(); ++f)
        readEachFile(files[f]);
    return 0;
}
