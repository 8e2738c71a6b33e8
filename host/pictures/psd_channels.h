// One channel's stored rows (raw, RLE, ZIP, ZIP with prediction: see
// psd_format.h), read a row at a time as 8-bit samples of the columns the
// caller wants. A layer's channels are read side by side, one reader each,
// so that its pixels are put together a row at a time and only one stored
// row of each channel is ever held.
//
// 16-bit samples are reduced to 8 bits as the Windows Imaging Component
// reduces a 16-bit PNG, to their top byte, so that a drawing saved as a .psd
// and as PNGs gives the same cels: 0 stays 0, 65535 becomes 255, and 8-bit
// samples written as 16 bits (v * 257) come back exactly.
#ifndef PORVANE_PSD_CHANNELS_H
#define PORVANE_PSD_CHANNELS_H

#include <stdint.h>

#include <memory>
#include <vector>

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

class PsdInflater;

// Reads checked rows in order, from `firstRow`, columns firstColumn ..
// endColumn - 1 (within the rows' own).
class PsdRowReader {
public:
    PsdRowReader();
    ~PsdRowReader();
    PsdRowReader(PsdRowReader&&) noexcept;
    PsdRowReader& operator=(PsdRowReader&&) noexcept;

    PsdProblem open(const PsdChannelRows& rows, int64_t firstColumn, int64_t endColumn, int64_t firstRow,
                    int64_t* detail);
    // The next row's samples; null, with *problem PSD_DAMAGED, when the
    // stored rows do not decode to their size.
    const uint8_t* next(PsdProblem* problem, int64_t* detail);

private:
    const uint8_t* storedRow();

    PsdChannelRows rows_;
    int64_t firstColumn_ = 0, endColumn_ = 0, row_ = 0;
    PsdBytes counts_, data_;
    std::vector<uint8_t> stored_, samples_;
    std::unique_ptr<PsdInflater> inflater_;
};

#endif
