#include "lh5_encoder.h"

#include <stdint.h>

#include "huffman_lengths.h"
#include "lh_stream.h"

using namespace Lzh;

namespace {

const WindowMethod& kMethod = kLh5;
const uint32_t kWindowBytes = 1u << kLh5.windowBits;
// One short of the window: every decoder keeps at least this much behind.
const uint32_t kMaxDistance = kWindowBytes - 1;
const int kMaxHashBits = 15;  // a small file gets a table of about its own size
const int kMaxChain = 1024;
// A match this long is taken without looking for a longer one a byte later.
const int kLazyEnough = 64;
// A three-byte copy from further back than this costs more bits than the
// three bytes themselves.
const uint32_t kTooFarForThree = 4096;
const uint32_t kBlockCodes = 16384;
const size_t kMaxInput = 0x7FFFFFFF;  // positions are int32_t

// Bits from the top of each byte down.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}
    void put(int bits, uint32_t value)  // bits <= 16
    {
        pending_ = (pending_ << bits) | (value & ((1u << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out_->push_back((uint8_t)(pending_ >> count_));
        }
    }
    void flush()
    {
        if (count_ > 0)
            out_->push_back((uint8_t)(pending_ << (8 - count_)));
        count_ = 0;
    }

private:
    std::vector<uint8_t>* out_;
    uint32_t pending_ = 0;
    int count_ = 0;
};

struct Code {
    uint16_t symbol;  // a C symbol: a byte, or 256 + length - 3
    uint16_t d;       // for a copy: distance - 1
};

struct Match {
    int length = 0;
    uint32_t distance = 0;
};

// Hash chains of the positions behind the current one, by their first three
// bytes; `previous` is a ring as large as the window.
class MatchFinder {
public:
    MatchFinder(const uint8_t* bytes, size_t size)
        : bytes_(bytes), size_(size), hashBits_(hashBitsFor(size)), head_((size_t)1 << hashBits_, -1),
          previous_(size < kWindowBytes ? size : kWindowBytes, -1)
    {
    }

    void insert(size_t position)
    {
        if (position + kMinMatch > size_)
            return;
        const uint32_t h = hash(position);
        previous_[position & (kWindowBytes - 1)] = head_[h];
        head_[h] = (int32_t)position;
    }

    // The longest match for `position` among the chain's nearest candidates,
    // the nearest of equal length; call before inserting `position`.
    Match longest(size_t position) const
    {
        Match best;
        if (position + kMinMatch > size_)
            return best;
        const size_t left = size_ - position;
        const int limit = left < (size_t)kMaxMatch ? (int)left : kMaxMatch;
        const uint8_t* here = bytes_ + position;
        int32_t candidate = head_[hash(position)];
        for (int chain = 0; chain < kMaxChain && candidate >= 0; ++chain) {
            const uint32_t distance = (uint32_t)(position - candidate);
            if (distance > kMaxDistance)
                break;
            const uint8_t* there = bytes_ + candidate;
            if (there[best.length] == here[best.length] && there[0] == here[0]) {
                int length = 0;
                while (length < limit && there[length] == here[length])
                    ++length;
                if (length > best.length) {
                    best.length = length;
                    best.distance = distance;
                    if (length == limit)
                        break;
                }
            }
            const int32_t next = previous_[candidate & (kWindowBytes - 1)];
            if (next >= candidate)
                break;
            candidate = next;
        }
        if (best.length < kMinMatch || (best.length == kMinMatch && best.distance > kTooFarForThree))
            best = Match();
        return best;
    }

private:
    static int hashBitsFor(size_t size)
    {
        int bits = 8;
        while (bits < kMaxHashBits && ((size_t)1 << bits) < size)
            ++bits;
        return bits;
    }
    // The three bytes times a large odd number, its top bits: every byte
    // counts however few bits are kept.
    uint32_t hash(size_t p) const
    {
        const uint32_t three = (uint32_t)bytes_[p] << 16 | (uint32_t)bytes_[p + 1] << 8 | bytes_[p + 2];
        return (three * 2654435761u) >> (32 - hashBits_);
    }

    const uint8_t* bytes_;
    size_t size_;
    int hashBits_;
    std::vector<int32_t> head_;
    std::vector<int32_t> previous_;
};

// A length sent with the T code: a symbol and the bits after it.
struct LengthCode {
    uint8_t symbol;
    uint8_t extraBits;
    uint16_t extra;
};

// The C lengths as T codes, runs of zeros folded (lh_stream.h).
std::vector<LengthCode> charLengthCodes(const uint8_t* lengths, int count)
{
    std::vector<LengthCode> codes;
    for (int i = 0; i < count;) {
        if (lengths[i] != 0) {
            codes.push_back({(uint8_t)(lengths[i++] + kLengthSymbolOffset), 0, 0});
            continue;
        }
        int zeros = 0;
        while (i < count && lengths[i] == 0)
            ++zeros, ++i;
        if (zeros == kLongZeroRunFirst - 1) {  // one more than a short run holds
            codes.push_back({kOneZero, 0, 0});
            --zeros;
        }
        if (zeros < kShortZeroRunFirst) {
            for (int k = 0; k < zeros; ++k)
                codes.push_back({kOneZero, 0, 0});
        } else if (zeros < kLongZeroRunFirst) {
            codes.push_back({kShortZeroRun, kShortZeroRunBits, (uint16_t)(zeros - kShortZeroRunFirst)});
        } else {
            codes.push_back({kLongZeroRun, kLongZeroRunBits, (uint16_t)(zeros - kLongZeroRunFirst)});
        }
    }
    return codes;
}

// How many symbols are sent: the last nonzero length ends the list.
int sentCount(const uint8_t* lengths, int count)
{
    while (count > 0 && lengths[count - 1] == 0)
        --count;
    return count;
}

void putOneSymbolCode(BitWriter* out, int countBits, int symbol)
{
    out->put(countBits, 0);
    out->put(countBits, (uint32_t)symbol);
}

// T or P lengths: 3 bits, or 7 and a 1 bit for each length beyond 7 up to a
// 0 bit (that is, k - 3 bits for a length k over 6).
void putShortLengths(BitWriter* out, const uint8_t* lengths, int count, int countBits, int zerosAfter)
{
    count = sentCount(lengths, count);
    out->put(countBits, (uint32_t)count);
    for (int i = 0; i < count;) {
        const int k = lengths[i++];
        if (k < kExtendedLength)
            out->put(kShortLengthBits, (uint32_t)k);
        else
            out->put(k - kShortLengthBits, (1u << (k - kShortLengthBits)) - 2);
        if (i == zerosAfter) {
            int zeros = 0;
            while (zeros < 3 && i < count && lengths[i] == 0)
                ++zeros, ++i;
            out->put(kSkippedZerosBits, (uint32_t)zeros);
        }
    }
}

// The canonical code of `symbols` frequencies, or the one-symbol form:
// `used` symbols, the single one in `only`.
struct HuffmanCode {
    explicit HuffmanCode(int symbols) : lengths(symbols), codes(symbols) {}
    void build(const uint32_t* frequencies)
    {
        const int count = (int)lengths.size();
        used = huffmanLengths(frequencies, count, kMaxCodeBits, lengths.data());
        only = 0;
        for (int s = 0; s < count; ++s)
            if (frequencies[s] > 0)
                only = s;
        canonicalCodes(lengths.data(), count, codes.data());
    }
    void put(BitWriter* out, int symbol) const { out->put(lengths[symbol], codes[symbol]); }

    std::vector<uint8_t> lengths;
    std::vector<uint16_t> codes;
    int used = 0;
    int only = 0;
};

void putBlock(BitWriter* out, const std::vector<Code>& block)
{
    uint32_t charFrequencies[kCharCodes] = {};
    std::vector<uint32_t> positionFrequencies(kMethod.positionCodes, 0);
    for (const Code& code : block) {
        ++charFrequencies[code.symbol];
        if (code.symbol >= kLiteralCodes)
            ++positionFrequencies[positionSymbol(code.d)];
    }
    HuffmanCode chars(kCharCodes), positions(kMethod.positionCodes);
    chars.build(charFrequencies);
    positions.build(positionFrequencies.data());

    out->put(kBlockSizeBits, (uint32_t)block.size());
    if (chars.used == 1) {
        putOneSymbolCode(out, kLengthCountBits, 0);
        putOneSymbolCode(out, kCharCountBits, chars.only);
    } else {
        const int sent = sentCount(chars.lengths.data(), kCharCodes);
        const std::vector<LengthCode> lengthCodes = charLengthCodes(chars.lengths.data(), sent);
        uint32_t lengthFrequencies[kLengthCodes] = {};
        for (const LengthCode& c : lengthCodes)
            ++lengthFrequencies[c.symbol];
        HuffmanCode lengths(kLengthCodes);
        lengths.build(lengthFrequencies);
        if (lengths.used == 1)
            putOneSymbolCode(out, kLengthCountBits, lengths.only);
        else
            putShortLengths(out, lengths.lengths.data(), kLengthCodes, kLengthCountBits, kLengthZerosAfter);
        out->put(kCharCountBits, (uint32_t)sent);
        for (const LengthCode& c : lengthCodes) {
            lengths.put(out, c.symbol);
            out->put(c.extraBits, c.extra);
        }
    }
    if (positions.used <= 1)
        putOneSymbolCode(out, kMethod.positionCountBits, positions.only);
    else
        putShortLengths(out, positions.lengths.data(), kMethod.positionCodes, kMethod.positionCountBits, -1);

    for (const Code& code : block) {
        chars.put(out, code.symbol);
        if (code.symbol < kLiteralCodes)
            continue;
        const int p = positionSymbol(code.d);
        positions.put(out, p);
        if (p > 1)
            out->put(p - 1, code.d);
    }
}

// Collects codes into blocks and writes each when full; gives up once the
// stream is as large as the input.
class BlockWriter {
public:
    BlockWriter(std::vector<uint8_t>* stream, size_t inputSize) : out_(stream), stream_(stream), inputSize_(inputSize)
    {
        block_.reserve(inputSize < kBlockCodes ? inputSize : kBlockCodes);  // a code takes at least a byte
    }
    void literal(uint8_t byte) { add({byte, 0}); }
    void copy(const Match& m) { add({(uint16_t)(kLiteralCodes + m.length - kMinMatch), (uint16_t)(m.distance - 1)}); }
    bool tooLarge() const { return stream_->size() >= inputSize_; }
    void finish()
    {
        if (!block_.empty())
            putBlock(&out_, block_);
        out_.flush();
    }

private:
    void add(Code code)
    {
        block_.push_back(code);
        if (block_.size() == kBlockCodes) {
            putBlock(&out_, block_);
            block_.clear();
        }
    }

    BitWriter out_;
    std::vector<uint8_t>* stream_;
    size_t inputSize_;
    std::vector<Code> block_;
};

}

bool encodeLh5(const uint8_t* bytes, size_t size, std::vector<uint8_t>* stream)
{
    stream->clear();
    if (size == 0 || size > kMaxInput)
        return false;
    MatchFinder finder(bytes, size);
    BlockWriter writer(stream, size);

    // `pending`: the match found at position - 1, not yet sent, which a
    // longer one at `position` would replace.
    Match pending;
    bool havePending = false;
    size_t position = 0;
    while (position < size && !writer.tooLarge()) {
        Match here;
        if (!havePending || pending.length < kLazyEnough)
            here = finder.longest(position);
        finder.insert(position);
        if (havePending && pending.length >= kMinMatch && here.length <= pending.length) {
            writer.copy(pending);
            const size_t end = position - 1 + pending.length;
            for (size_t p = position + 1; p < end; ++p)
                finder.insert(p);
            position = end;
            havePending = false;
            continue;
        }
        if (havePending)
            writer.literal(bytes[position - 1]);
        pending = here;
        havePending = true;
        ++position;
    }
    if (havePending && position == size) {
        if (pending.length >= kMinMatch)
            writer.copy(pending);
        else
            writer.literal(bytes[size - 1]);
    }
    writer.finish();
    if (writer.tooLarge()) {
        stream->clear();
        return false;
    }
    return true;
}
