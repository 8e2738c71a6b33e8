// One channel's stored rows (raw, RLE, ZIP, ZIP with prediction: see
// psd_format.h), decoded a row at a time into 8-bit samples of the columns
// the caller wants, so that only one stored row is ever held.
//
// 16-bit samples are reduced to 8 bits by rounding to nearest,
// v * 255 / 65535: 0 stays 0, 65535 becomes 255, and 8-bit samples written
// as 16 bits (v * 257) come back exactly.
#ifndef PORVANE_PSD_CHANNELS_H
#define PORVANE_PSD_CHANNELS_H

#include <stdint.h>

#include "psd_bytes.h"
#include "psd_document.h"

struct PsdChannelRows {
    int compression = 0;   // PsdCompression
    int64_t columns = 0;   // samples a row
    int64_t rows = 0;
    int depth = 8;         // bits a sample: 8 or 16
    PsdBytes rowCounts;    // RLE: a uint16 byte count for every row
    PsdBytes data;         // the rows
};

// The rows of a layer's channel: its compression code, then (RLE) the row
// counts, then the rows, all within the channel's length. A channel of no
// pixels may have no data at all.
PsdProblem psdLayerChannelRows(const uint8_t* file, size_t size, const PsdChannel& channel, int64_t columns,
                               int64_t rows, int depth, PsdChannelRows* out, int64_t* detail);

// Whether the stored bytes can hold the rows, checked before anything is
// allocated for them: raw rows have all their bytes; RLE rows their counts,
// counts that add up within the data, and at least 2 bytes for every 128 of
// a row; ZIP rows no more than deflate can expand the data to.
PsdProblem checkPsdChannelRows(const PsdChannelRows& rows, int64_t* detail);

// Receives the decoded rows: samples[0] is column `firstColumn`.
class PsdRowSink {
public:
    virtual void row(int64_t y, const uint8_t* samples) = 0;

protected:
    ~PsdRowSink() = default;
};

// Decodes rows firstRow..endRow-1 (columns firstColumn..endColumn-1) of
// checked rows, in order. PSD_DAMAGED when the stored rows do not decode to
// their size.
PsdProblem decodePsdChannelRows(const PsdChannelRows& rows, int64_t firstColumn, int64_t endColumn,
                                int64_t firstRow, int64_t endRow, PsdRowSink* sink, int64_t* detail);

#endif
