// Pixel bytes read and written as 32-bit little-endian words (the order x86
// keeps them in), at any alignment.
#ifndef PORVANE_PIXEL_WORDS_H
#define PORVANE_PIXEL_WORDS_H

#include <stdint.h>
#include <string.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

static inline uint32_t loadWord(const uint8_t* at)
{
    uint32_t word;
    memcpy(&word, at, 4);
    return word;
}

static inline void storeWord(uint8_t* at, uint32_t word)
{
    memcpy(at, &word, 4);
}

#endif
