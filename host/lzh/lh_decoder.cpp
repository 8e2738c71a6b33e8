#include "lh_decoder.h"

#include <string.h>

#include "lh_stream.h"

using namespace Lzh;

namespace {

// Bits from the top of each byte down. Reads past the end see zeros, and
// are noticed by overrun(): a decoder may look ahead, never take them.
class BitReader {
public:
    BitReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
    uint32_t peek16() const
    {
        const uint64_t at = bit_ >> 3;
        const uint32_t word = byteAt(at) << 16 | byteAt(at + 1) << 8 | byteAt(at + 2);
        return (word >> (8 - (bit_ & 7))) & 0xFFFF;
    }
    uint32_t get(int bits)  // bits <= 16
    {
        const uint32_t value = bits ? peek16() >> (16 - bits) : 0;
        bit_ += (uint64_t)bits;
        return value;
    }
    void skip(int bits) { bit_ += (uint64_t)bits; }
    bool overrun() const { return bit_ > (uint64_t)size_ * 8; }

private:
    uint32_t byteAt(uint64_t i) const { return i < size_ ? bytes_[i] : 0; }

    const uint8_t* bytes_;
    size_t size_;
    uint64_t bit_ = 0;
};

// A canonical code read one bit at a time against the count of codes of
// each length, or a one-symbol code that takes no bits.
class DecodeTable {
public:
    void setSingle(int symbol) { single_ = symbol; }

    // False for lengths that claim more codes than the bits allow; a code
    // that leaves some unused is accepted, and reading an unused one fails.
    bool build(const uint8_t* lengths, int symbols)
    {
        single_ = -1;
        memset(count_, 0, sizeof count_);
        for (int s = 0; s < symbols; ++s)
            ++count_[lengths[s]];
        count_[0] = 0;
        int left = 1;
        uint16_t offset[kMaxCodeBits + 2] = {};
        for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
            left = (left << 1) - count_[bits];
            if (left < 0)
                return false;
            offset[bits + 1] = (uint16_t)(offset[bits] + count_[bits]);
        }
        for (int s = 0; s < symbols; ++s)
            if (lengths[s])
                symbols_[offset[lengths[s]]++] = (uint16_t)s;
        return true;
    }

    // The next symbol, or -1 for a code the table does not hold.
    int decode(BitReader* in) const
    {
        if (single_ >= 0)
            return single_;
        const uint32_t bits = in->peek16();
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= kMaxCodeBits; ++length) {
            code |= (bits >> (kMaxCodeBits - length)) & 1;
            const int count = count_[length];
            if (code - first < count) {
                in->skip(length);
                return symbols_[index + code - first];
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    int single_ = -1;
    uint16_t count_[kMaxCodeBits + 1] = {};
    uint16_t symbols_[kCharCodes] = {};
};

// T or P lengths (lh_stream.h).
bool readShortLengths(BitReader* in, int symbols, int countBits, int zerosAfter, DecodeTable* table)
{
    const int count = (int)in->get(countBits);
    if (count == 0) {
        table->setSingle((int)in->get(countBits));
        return true;
    }
    if (count > symbols)
        return false;
    uint8_t lengths[kLengthCodes > 17 ? kLengthCodes : 17] = {};
    for (int i = 0; i < count;) {
        int length = (int)in->get(kShortLengthBits);
        if (length == kExtendedLength)
            while (in->get(1))
                if (++length > kMaxCodeBits)
                    return false;
        lengths[i++] = (uint8_t)length;
        if (i == zerosAfter)
            i += (int)in->get(kSkippedZerosBits);  // those lengths stay 0
    }
    return table->build(lengths, symbols);
}

bool readCharLengths(BitReader* in, const DecodeTable& lengthTable, DecodeTable* table)
{
    const int count = (int)in->get(kCharCountBits);
    if (count == 0) {
        table->setSingle((int)in->get(kCharCountBits));
        return true;
    }
    if (count > kCharCodes)
        return false;
    uint8_t lengths[kCharCodes] = {};
    for (int i = 0; i < count;) {
        const int symbol = lengthTable.decode(in);
        int zeros = 0;
        if (symbol < 0)
            return false;
        else if (symbol == kOneZero)
            zeros = 1;
        else if (symbol == kShortZeroRun)
            zeros = (int)in->get(kShortZeroRunBits) + kShortZeroRunFirst;
        else if (symbol == kLongZeroRun)
            zeros = (int)in->get(kLongZeroRunBits) + kLongZeroRunFirst;
        else if (symbol - kLengthSymbolOffset <= kMaxCodeBits)
            lengths[i] = (uint8_t)(symbol - kLengthSymbolOffset);
        else
            return false;
        i += zeros ? zeros : 1;  // zero lengths past the count are zero anyway
    }
    return table->build(lengths, kCharCodes);
}

}

uint64_t lhMaxDecodedBytes(uint64_t streamBytes)
{
    return streamBytes * 8 / kMinBlockBits * kMaxBlockCodes * kMaxMatch;
}

LzhProblem decodeLhStream(const WindowMethod& method, const uint8_t* stream, size_t size, uint8_t* out,
                          size_t outSize)
{
    BitReader in(stream, size);
    DecodeTable lengthTable, chars, positions;
    uint32_t blockLeft = 0;
    size_t produced = 0;
    while (produced < outSize) {
        if (blockLeft == 0) {
            blockLeft = in.get(kBlockSizeBits);
            if (blockLeft == 0 ||
                !readShortLengths(&in, kLengthCodes, kLengthCountBits, kLengthZerosAfter, &lengthTable) ||
                !readCharLengths(&in, lengthTable, &chars) ||
                !readShortLengths(&in, method.positionCodes, method.positionCountBits, -1, &positions))
                return LZH_DATA_DAMAGED;
        }
        --blockLeft;
        const int symbol = chars.decode(&in);
        if (symbol < 0 || symbol >= kCharCodes)
            return LZH_DATA_DAMAGED;
        if (symbol < kLiteralCodes) {
            out[produced++] = (uint8_t)symbol;
        } else {
            const size_t length = (size_t)(symbol - kLiteralCodes + kMinMatch);
            const int p = positions.decode(&in);
            if (p < 0 || p >= method.positionCodes)
                return LZH_DATA_DAMAGED;
            const size_t distance = (p <= 1 ? (size_t)p : ((size_t)1 << (p - 1)) + in.get(p - 1)) + 1;
            if (distance > produced || length > outSize - produced)
                return LZH_DATA_DAMAGED;
            // Byte by byte: a copy may overlap the bytes it makes.
            const uint8_t* from = out + produced - distance;
            for (size_t k = 0; k < length; ++k)
                out[produced + k] = from[k];
            produced += length;
        }
        if (in.overrun())
            return LZH_DATA_DAMAGED;
    }
    return LZH_OK;
}
