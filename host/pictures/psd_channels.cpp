#include "psd_channels.h"
#include "psd_format.h"

#include <limits.h>
#include <string.h>

#include <vector>

#include <zlib.h>

static uint64_t storedRowBytes(const PsdChannelRows& rows) { return (uint64_t)rows.columns * (uint64_t)(rows.depth / 8); }

PsdProblem psdLayerChannelRows(const uint8_t* file, size_t size, const PsdChannel& channel, int64_t columns,
                               int64_t rows, int depth, PsdChannelRows* out, int64_t* detail)
{
    *out = PsdChannelRows{};
    out->columns = columns;
    out->rows = rows;
    out->depth = depth;
    PsdBytes bytes = PsdBytes(file, size).run(channel.offset + channel.length);
    bytes.skip(channel.offset);
    if (bytes.isShort())
        return psdFail(PSD_DAMAGED, (int64_t)channel.offset, detail);
    if (columns <= 0 || rows <= 0)
        return PSD_OK;  // no pixels: nothing to read, whatever is stored
    out->compression = bytes.u16();
    if (out->compression == PSD_RLE)
        out->rowCounts = bytes.run((uint64_t)rows * 2);
    if (bytes.isShort() || out->rowCounts.isShort())
        return psdFail(PSD_DAMAGED, (int64_t)channel.offset, detail);
    out->data = bytes.run(bytes.left());
    return checkPsdChannelRows(*out, detail);
}

PsdProblem checkPsdChannelRows(const PsdChannelRows& rows, int64_t* detail)
{
    const int64_t at = (int64_t)rows.data.offset();
    if (rows.columns < 0 || rows.rows < 0 || rows.columns > PSD_MAX_LAYER_SIDE || rows.rows > PSD_MAX_LAYER_SIDE)
        return psdFail(PSD_DAMAGED, at, detail);
    // At most 300000 rows of 600000 bytes: no product below can wrap.
    const uint64_t rowBytes = storedRowBytes(rows), total = rowBytes * (uint64_t)rows.rows;
    switch (rows.compression) {
    case PSD_RAW:
        return rows.data.has(total) ? PSD_OK : psdFail(PSD_DAMAGED, at, detail);
    case PSD_RLE: {
        if (!rows.rowCounts.has((uint64_t)rows.rows * 2) ||
            !rows.data.has(psdLeastPackedRowBytes(rowBytes) * (uint64_t)rows.rows))
            return psdFail(PSD_DAMAGED, at, detail);
        PsdBytes counts = rows.rowCounts;
        uint64_t packed = 0;
        for (int64_t y = 0; y < rows.rows; ++y)
            packed += counts.u16();
        return rows.data.has(packed) ? PSD_OK : psdFail(PSD_DAMAGED, at, detail);
    }
    case PSD_ZIP:
    case PSD_ZIP_PREDICTED:
        return total <= rows.data.left() * PSD_DEFLATE_MAX_RATIO ? PSD_OK : psdFail(PSD_DAMAGED, at, detail);
    default:
        return psdFail(PSD_COMPRESSION, rows.compression, detail);
    }
}

// 16 bits to 8: the top byte (psd_channels.h).
static inline uint8_t sampleOf16(unsigned v) { return (uint8_t)(v >> 8); }

// PackBits: exactly `outBytes` bytes from at most `inBytes`; false when the
// row runs short or a run passes its end.
static bool unpackBits(const uint8_t* in, uint64_t inBytes, uint8_t* out, uint64_t outBytes)
{
    uint64_t i = 0, o = 0;
    while (o < outBytes) {
        if (i >= inBytes)
            return false;
        const int n = (int8_t)in[i++];
        if (n >= 0) {
            const uint64_t count = (uint64_t)n + 1;
            if (count > inBytes - i || count > outBytes - o)
                return false;
            memcpy(out + o, in + i, count);
            i += count;
            o += count;
        } else if (n != -128) {
            const uint64_t count = (uint64_t)(1 - n);
            if (i >= inBytes || count > outBytes - o)
                return false;
            memset(out + o, in[i++], count);
            o += count;
        }
    }
    return true;
}

// Prediction: every sample but the first was stored as its difference from
// the one before it, modulo its size.
static void undoPrediction(uint8_t* row, int64_t columns, int depth)
{
    if (depth == 8) {
        for (int64_t c = 1; c < columns; ++c)
            row[c] = (uint8_t)(row[c] + row[c - 1]);
        return;
    }
    unsigned previous = 0;
    for (int64_t c = 0; c < columns; ++c) {
        previous = (previous + ((unsigned)row[2 * c] << 8 | row[2 * c + 1])) & 0xFFFFu;
        row[2 * c] = (uint8_t)(previous >> 8);
        row[2 * c + 1] = (uint8_t)previous;
    }
}

// A zlib stream over a channel's bytes, read a row at a time.
class PsdInflater {
public:
    PsdInflater(const uint8_t* data, uint64_t size)
    {
        // A layer channel's length is 32 bits; anything longer is cut to
        // what zlib can be given at once, and a row it then lacks is damage.
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = (uInt)(size < UINT_MAX ? size : UINT_MAX);
        ready_ = inflateInit(&stream_) == Z_OK;
    }
    ~PsdInflater()
    {
        if (ready_)
            inflateEnd(&stream_);
    }
    PsdInflater(const PsdInflater&) = delete;
    PsdInflater& operator=(const PsdInflater&) = delete;

    bool ready() const { return ready_; }

    bool fill(uint8_t* out, uint64_t bytes)
    {
        stream_.next_out = out;
        stream_.avail_out = (uInt)bytes;  // a row: at most 600000 bytes
        while (stream_.avail_out > 0) {
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                return stream_.avail_out == 0;
            if (status != Z_OK)
                return false;
        }
        return true;
    }

private:
    z_stream stream_ = {};
    bool ready_ = false;
};

PsdRowReader::PsdRowReader() = default;
PsdRowReader::~PsdRowReader() = default;
PsdRowReader::PsdRowReader(PsdRowReader&&) noexcept = default;
PsdRowReader& PsdRowReader::operator=(PsdRowReader&&) noexcept = default;

PsdProblem PsdRowReader::open(const PsdChannelRows& rows, int64_t firstColumn, int64_t endColumn, int64_t firstRow,
                              int64_t* detail)
{
    const PsdProblem checked = checkPsdChannelRows(rows, detail);
    if (checked != PSD_OK)
        return checked;
    if (firstColumn < 0 || endColumn > rows.columns || firstColumn >= endColumn || firstRow < 0 ||
        firstRow >= rows.rows)
        return psdFail(PSD_DAMAGED, (int64_t)rows.data.offset(), detail);
    rows_ = rows;
    firstColumn_ = firstColumn, endColumn_ = endColumn, row_ = 0;
    counts_ = rows.rowCounts, data_ = rows.data;
    const uint64_t rowBytes = storedRowBytes(rows);
    stored_.assign(rows.compression == PSD_RAW ? 0 : (size_t)rowBytes, 0);
    samples_.assign(rows.depth == 8 ? 0 : (size_t)(endColumn - firstColumn), 0);
    inflater_.reset();
    switch (rows.compression) {
    case PSD_RAW:
        data_.skip(rowBytes * (uint64_t)firstRow);
        row_ = firstRow;
        return PSD_OK;
    case PSD_RLE:
        for (; row_ < firstRow; ++row_)
            data_.skip(counts_.u16());
        return PSD_OK;
    default:  // ZIP: the stream is read from its start
        inflater_.reset(new PsdInflater(data_.take(data_.left()), rows.data.left()));
        if (!inflater_->ready())
            return psdFail(PSD_NO_MEMORY, 0, detail);
        for (; row_ < firstRow; ++row_)
            if (!inflater_->fill(stored_.data(), rowBytes))
                return psdFail(PSD_DAMAGED, (int64_t)rows.data.offset(), detail);
        return PSD_OK;
    }
}

// The next stored row, decompressed; null when it does not decode.
const uint8_t* PsdRowReader::storedRow()
{
    const uint64_t rowBytes = storedRowBytes(rows_);
    switch (rows_.compression) {
    case PSD_RAW:
        return data_.take(rowBytes);
    case PSD_RLE: {
        const uint16_t packedBytes = counts_.u16();
        const uint8_t* packed = data_.take(packedBytes);
        return packed && unpackBits(packed, packedBytes, stored_.data(), rowBytes) ? stored_.data() : nullptr;
    }
    default:
        if (!inflater_->fill(stored_.data(), rowBytes))
            return nullptr;
        if (rows_.compression == PSD_ZIP_PREDICTED)
            undoPrediction(stored_.data(), rows_.columns, rows_.depth);
        return stored_.data();
    }
}

const uint8_t* PsdRowReader::next(PsdProblem* problem, int64_t* detail)
{
    const uint64_t at = data_.offset();
    const uint8_t* stored = row_ < rows_.rows ? storedRow() : nullptr;
    if (!stored) {
        *problem = psdFail(PSD_DAMAGED, (int64_t)at, detail);
        return nullptr;
    }
    ++row_;
    if (rows_.depth == 8)
        return stored + firstColumn_;
    for (int64_t c = firstColumn_; c < endColumn_; ++c)
        samples_[c - firstColumn_] = sampleOf16((unsigned)stored[2 * c] << 8 | stored[2 * c + 1]);
    return samples_.data();
}
