// Little-endian fields of KiSS files, for the readers.
#ifndef PORVANE_KISS_BYTES_H
#define PORVANE_KISS_BYTES_H

#include <stdint.h>

inline uint16_t kissWord(const uint8_t* at)
{
    return (uint16_t)(at[0] | at[1] << 8);
}

#endif
