#include "psd_merged.h"
#include "psd_bytes.h"
#include "psd_channels.h"
#include "psd_format.h"
#include "psd_pixels.h"

#include <new>
#include <vector>

#include "../../cel/cel_format.h"

// Every channel's rows: one compression code for all, then (RLE) every
// row's byte count, channel by channel, then the channels' rows.
static PsdProblem mergedRows(const uint8_t* file, size_t size, const PsdDocument& document,
                             std::vector<PsdChannelRows>* all, int64_t* detail)
{
    PsdBytes bytes(file, size);
    bytes.skip(document.mergedOffset);
    const uint16_t compression = bytes.u16();
    if (bytes.isShort())
        return psdFail(PSD_TRUNCATED, (int64_t)size, detail);
    if (compression != PSD_RAW && compression != PSD_RLE)
        return psdFail(PSD_COMPRESSION, compression, detail);
    const uint64_t height = (uint64_t)document.height;
    const uint64_t channelBytes = (uint64_t)document.width * (uint64_t)(document.depth / 8) * height;
    PsdBytes table;
    if (compression == PSD_RLE)
        table = bytes.run((uint64_t)document.channels * height * 2);
    for (int c = 0; c < document.channels && !bytes.isShort(); ++c) {
        PsdChannelRows rows;
        rows.compression = compression;
        rows.columns = document.width;
        rows.rows = document.height;
        rows.depth = document.depth;
        if (compression == PSD_RAW) {
            rows.data = bytes.run(channelBytes);
        } else {
            rows.rowCounts = table.run(height * 2);
            PsdBytes counts = rows.rowCounts;
            uint64_t packed = 0;
            for (uint64_t y = 0; y < height; ++y)
                packed += counts.u16();
            rows.data = bytes.run(packed);
        }
        if (bytes.isShort())
            break;
        const PsdProblem problem = checkPsdChannelRows(rows, detail);
        if (problem != PSD_OK)
            return problem;
        all->push_back(rows);
    }
    return bytes.isShort() ? psdFail(PSD_TRUNCATED, (int64_t)size, detail) : PSD_OK;
}

PsdProblem checkPsdMergedPicture(const uint8_t* file, size_t size, const PsdDocument& document, int64_t* detail)
{
    std::vector<PsdChannelRows> rows;
    const PsdProblem problem = mergedRows(file, size, document, &rows, detail);
    return problem == PSD_COMPRESSION ? PSD_OK : problem;
}

// The document's program stores the merged picture's colours laid over
// white where it is not opaque: colour c at alpha a as c' = c * a + 255 *
// (1 - a), so c = (c' - 255 * (1 - a)) / a, rounded and kept within 0..255.
static uint32_t offWhite(uint32_t pixel)
{
    const unsigned alpha = pixel >> 24, white = 255 - alpha;
    if (alpha == 255)
        return pixel;
    if (alpha == 0)
        return 0;
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned stored = (pixel >> shift) & 0xFF;
        const unsigned colour = stored <= white ? 0 : ((stored - white) * 255 + alpha / 2) / alpha;
        out |= (uint32_t)(colour < 255 ? colour : 255) << shift;
    }
    return out;
}

// Other writers store the colours as they are. A picture laid over white
// shows it: every transparent pixel is white, and no colour is darker than
// the white laid under it (c' >= 255 * (1 - a), less a step of rounding).
static bool isLaidOverWhite(const std::vector<uint32_t>& pixels)
{
    for (uint32_t pixel : pixels) {
        const unsigned alpha = pixel >> 24;
        if (alpha == 0 && (pixel & 0xFFFFFFu) != 0xFFFFFFu)
            return false;
        for (int shift = 0; shift < 24 && alpha < 255; shift += 8)
            if (((pixel >> shift) & 0xFF) + 1 < 255 - alpha)
                return false;
    }
    return true;
}

static PsdProblem decodeMerged(const uint8_t* file, size_t size, const PsdDocument& document,
                               DecodedPicture* picture, int64_t* detail)
{
    if (!document.mergedIsReal)
        return psdFail(PSD_NO_MERGED_PICTURE, 0, detail);
    const CelFit fit = celFit(32, document.width, document.height);
    if (fit != CEL_FITS)
        return psdFail(PSD_PICTURE_TOO_LARGE, fit, detail);
    std::vector<PsdChannelRows> rows;
    PsdProblem problem = mergedRows(file, size, document, &rows, detail);
    if (problem != PSD_OK)
        return problem;

    const int64_t width = document.width, height = document.height;
    const int colours = document.colourMode == PSD_MODE_GREYSCALE ? 1 : 3;
    const bool transparent = document.mergedHasTransparency && document.channels > colours;
    const int read = colours + (transparent ? 1 : 0);
    PsdRowReader readers[4];
    for (int c = 0; c < read && problem == PSD_OK; ++c)
        problem = readers[c].open(rows[c], 0, width, 0, detail);
    if (problem != PSD_OK)
        return problem;
    picture->pixels.resize((size_t)(width * height));
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* samples[4] = {};
        for (int c = 0; c < read; ++c)
            if (!(samples[c] = readers[c].next(&problem, detail)))
                return problem;
        const uint8_t* alpha = transparent ? samples[colours] : nullptr;
        psdPixelRow(samples[0], samples[colours == 3 ? 1 : 0], samples[colours == 3 ? 2 : 0], alpha, width,
                    picture->pixels.data() + y * width);
    }
    if (transparent && isLaidOverWhite(picture->pixels))
        for (uint32_t& pixel : picture->pixels)
            pixel = offWhite(pixel);
    picture->width = document.width;
    picture->height = document.height;
    picture->saysTransparency = transparent;
    return PSD_OK;
}

PsdProblem readPsdMergedPicture(const uint8_t* file, size_t size, const PsdDocument& document,
                                DecodedPicture* picture, int64_t* detail)
{
    *picture = DecodedPicture{};
    PsdProblem problem;
    try {
        problem = decodeMerged(file, size, document, picture, detail);
    } catch (const std::bad_alloc&) {
        problem = psdFail(PSD_NO_MEMORY, 0, detail);
    }
    if (problem != PSD_OK)
        *picture = DecodedPicture{};
    return problem;
}
