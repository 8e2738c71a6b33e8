#include "lzh_test_decoder.h"

#include <map>
#include <utility>

namespace {

struct Bits {
    const std::vector<uint8_t>& bytes;
    size_t begin, end;  // the stream's bytes
    size_t next = 0;    // bits taken
    bool ranOut = false;

    int bit()
    {
        const size_t byte = begin + next / 8;
        if (byte >= end) {
            ranOut = true;
            return 0;
        }
        return (bytes[byte] >> (7 - next++ % 8)) & 1;
    }
    int take(int count)
    {
        int value = 0;
        while (count-- > 0)
            value = value << 1 | bit();
        return value;
    }
};

// Codes by (length, code); a one-symbol code is `only`.
struct Table {
    std::map<std::pair<int, int>, int> codes;
    int only = -1;

    void build(const std::vector<int>& lengths)
    {
        int code = 0;
        for (int length = 1; length <= 16; ++length) {
            for (size_t symbol = 0; symbol < lengths.size(); ++symbol)
                if (lengths[symbol] == length)
                    codes[{length, code++}] = (int)symbol;
            code <<= 1;
        }
    }
    int read(Bits* in) const
    {
        if (only >= 0)
            return only;
        int code = 0;
        for (int length = 1; length <= 16 && !in->ranOut; ++length) {
            code = code << 1 | in->bit();
            auto found = codes.find({length, code});
            if (found != codes.end())
                return found->second;
        }
        return -1;
    }
};

void readSmallTable(Bits* in, int symbols, int countBits, bool skipsAfterThird, Table* table)
{
    const int count = in->take(countBits);
    if (count == 0) {
        table->only = in->take(countBits);
        return;
    }
    std::vector<int> lengths(symbols, 0);
    for (int i = 0; i < count && i < symbols;) {
        int length = in->take(3);
        if (length == 7)
            while (in->bit() == 1 && !in->ranOut)
                ++length;
        lengths[i++] = length;
        if (skipsAfterThird && i == 3)
            i += in->take(2);
    }
    table->build(lengths);
}

void readCharTable(Bits* in, const Table& lengthCodes, Table* table)
{
    const int count = in->take(9);
    if (count == 0) {
        table->only = in->take(9);
        return;
    }
    std::vector<int> lengths(510, 0);
    for (int i = 0; i < count && !in->ranOut;) {
        const int c = lengthCodes.read(in);
        if (c == 0)
            i += 1;
        else if (c == 1)
            i += in->take(4) + 3;
        else if (c == 2)
            i += in->take(9) + 20;
        else if (c > 2 && i < 510)
            lengths[i++] = c - 2;
        else
            break;
    }
    table->build(lengths);
}

std::string decodeLh5(Bits in, size_t size, std::vector<uint8_t>* out, int* blocks)
{
    Table lengthCodes, chars, positions;
    int left = 0;
    while (out->size() < size) {
        if (left == 0) {
            left = in.take(16);
            ++*blocks;
            lengthCodes = chars = positions = Table();
            readSmallTable(&in, 19, 5, true, &lengthCodes);
            readCharTable(&in, lengthCodes, &chars);
            readSmallTable(&in, 14, 4, false, &positions);
        }
        --left;
        const int c = chars.read(&in);
        if (c < 0)
            return "a byte or length code no table holds";
        if (c < 256) {
            out->push_back((uint8_t)c);
            continue;
        }
        const int p = positions.read(&in);
        if (p < 0)
            return "a position code no table holds";
        const size_t distance = (p < 2 ? p : (1 << (p - 1)) + in.take(p - 1)) + 1;
        if (distance > out->size() || distance > 8192)
            return "a copy from before the start";
        for (int k = 0; k < c - 256 + 3; ++k) {
            const uint8_t copied = (*out)[out->size() - distance];  // push_back may move the bytes
            out->push_back(copied);
        }
    }
    if (in.ranOut)
        return "the stream ends early";
    if (out->size() != size)
        return "a copy past the end";
    return "";
}

uint16_t crc16(const std::vector<uint8_t>& bytes)
{
    uint16_t crc = 0;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

}

std::string testDecodeLzh(const std::vector<uint8_t>& a, std::vector<TestLzhEntry>* entries)
{
    entries->clear();
    auto u16 = [&](size_t at) { return (uint32_t)a[at] | (uint32_t)a[at + 1] << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    size_t at = 0;
    while (at < a.size() && a[at] != 0) {
        const size_t headerBytes = a[at] + 2;
        if (at + headerBytes > a.size() || headerBytes < 24 || a[at + 20] != 0)
            return "not a whole level 0 header";
        uint8_t sum = 0;
        for (size_t i = at + 2; i < at + headerBytes; ++i)
            sum += a[i];
        const size_t nameBytes = a[at + 21];
        if (sum != a[at + 1] || headerBytes != 24 + nameBytes)
            return "a header sum or size that does not add up";
        TestLzhEntry e;
        e.blocks = 0;
        e.method.assign(a.begin() + at + 2, a.begin() + at + 7);
        e.packedSize = u32(at + 7);
        const uint32_t size = u32(at + 11);
        e.dosStamp = u32(at + 15);
        e.name.assign(a.begin() + at + 22, a.begin() + at + 22 + nameBytes);
        const uint16_t crc = (uint16_t)u16(at + 22 + nameBytes);
        const size_t data = at + headerBytes;
        if (data + e.packedSize > a.size())
            return "data past the end of the archive";
        std::string problem;
        if (e.method == "-lh0-" && e.packedSize == size)
            e.data.assign(a.begin() + data, a.begin() + data + size);
        else if (e.method == "-lh5-")
            problem = decodeLh5(Bits{a, data, data + e.packedSize}, size, &e.data, &e.blocks);
        else
            problem = "method " + e.method;
        if (!problem.empty())
            return e.name + ": " + problem;
        if (crc16(e.data) != crc)
            return e.name + ": CRC";
        at = data + e.packedSize;
        entries->push_back(e);
    }
    if (at + 1 != a.size())
        return "no end mark, or bytes after it";
    return "";
}
