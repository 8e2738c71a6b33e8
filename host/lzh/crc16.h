// CRC-16 of the bytes of an LZH entry (and of a level 2 header): the ARC
// form, described in lzh_format.h.
#ifndef PORVANE_LZH_CRC16_H
#define PORVANE_LZH_CRC16_H

#include <stddef.h>
#include <stdint.h>

// The CRC of `size` bytes, continuing from `crc` (0 to start).
uint16_t lzhCrc16(uint16_t crc, const uint8_t* bytes, size_t size);

#endif
