#include "crc16.h"

#include <array>

namespace {

// 0xA001 is x^16 + x^15 + x^2 + 1 with its bits reversed, the low bit of
// each byte going first.
constexpr uint16_t kReversedPolynomial = 0xA001;

constexpr std::array<uint16_t, 256> makeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        uint16_t crc = (uint16_t)byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ kReversedPolynomial) : (uint16_t)(crc >> 1);
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = makeTable();

}

uint16_t lzhCrc16(uint16_t crc, const uint8_t* bytes, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        crc = (uint16_t)((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
    return crc;
}
