#include "bmp_run_length.h"

#include <string.h>

int decodeRunLength(const uint8_t* data, size_t size, const BmpLayout& layout, uint8_t* rows)
{
    memset(rows, 0, (size_t)layout.pixelBytes);
    const bool fourBits = layout.fileDepth == 4;
    const uint64_t width = (uint32_t)layout.width;
    uint64_t x = 0, y = 0;  // y counts rows from the bottom, as the data does

    auto put = [&](uint8_t index) {
        if (x < width && y < layout.rows) {
            uint8_t* row = rows + y * layout.rowBytes;
            if (fourBits)
                row[x / 2] |= (uint8_t)(x % 2 == 0 ? index << 4 : index);
            else
                row[x] = index;
        }
        ++x;
    };
    auto nibble = [](uint8_t byte, unsigned i) { return (uint8_t)(i % 2 == 0 ? byte >> 4 : byte & 0x0F); };

    size_t at = 0;
    while (y < layout.rows && at < size) {
        if (size - at < 2)
            return 0;
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(fourBits ? nibble(value, i) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of the row
            x = 0;
            ++y;
            break;
        case 1:  // end of the picture
            return 1;
        case 2:  // move right and up
            if (size - at < 2)
                return 0;
            x += data[at];
            y += data[at + 1];
            at += 2;
            break;
        default: {  // `value` pixels given one by one
            const size_t bytes = fourBits ? (value + 1u) / 2 : value;
            if (size - at < bytes)
                return 0;
            for (unsigned i = 0; i < value; ++i)
                put(fourBits ? nibble(data[at + i / 2], i) : data[at + i]);
            at += bytes;
            if (bytes % 2 == 1 && at < size)  // the padding byte
                ++at;
            break;
        }
        }
    }
    return 1;
}
