// 24-bit pixels change byte order on the way into a cel: the host stores
// blue, green, red, a cel holds red, green, blue.
//
// Two conversions give the same bytes: a portable one that works on 32-bit
// words, and one with SSSE3's byte shuffle, which the i686 baseline lacks and
// which therefore runs only where the CPU reports it (and proves faster there:
// see fastestBgrToRgbRow). Each reads exactly 3 x width bytes at `from` and
// writes exactly 3 x width bytes at `to`.
#ifndef PORVANE_BGR_TO_RGB_H
#define PORVANE_BGR_TO_RGB_H

#include <stdint.h>

typedef void (*BgrToRgbRow)(const uint8_t* from, uint8_t* to, int32_t width);

void bgrToRgbWordwise(const uint8_t* from, uint8_t* to, int32_t width);
// Only where cpuHasSsse3().
void bgrToRgbSsse3(const uint8_t* from, uint8_t* to, int32_t width);

int cpuHasSsse3();
// The SSSE3 conversion where the CPU has it and it runs faster than the
// portable one on a sample row (measured at the first call), otherwise the
// portable one.
BgrToRgbRow fastestBgrToRgbRow();

#endif
