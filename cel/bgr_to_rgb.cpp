#include "bgr_to_rgb.h"
#include "pixel_words.h"

void bgrToRgbWordwise(const uint8_t* from, uint8_t* to, int32_t width)
{
    // Four pixels are three words:  b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3
    // and become                    r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3
    int32_t x = 0;
    for (; width - x >= 4; x += 4, from += 12, to += 12) {
        const uint32_t w0 = loadWord(from), w1 = loadWord(from + 4), w2 = loadWord(from + 8);
        storeWord(to, (w0 >> 16 & 0xFF) | (w0 & 0xFF00) | (w0 & 0xFF) << 16 | (w1 >> 8 & 0xFF) << 24);
        storeWord(to + 4, (w1 & 0xFF) | (w0 >> 24) << 8 | (w2 & 0xFF) << 16 | (w1 & 0xFF000000));
        storeWord(to + 8, (w1 >> 16 & 0xFF) | (w2 >> 24) << 8 | (w2 & 0xFF0000) | (w2 >> 8 & 0xFF) << 24);
    }
    for (; x < width; ++x, from += 3, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
    }
}

#if defined(__i386__) || defined(__x86_64__)

#include <cpuid.h>
#include <tmmintrin.h>
#include <x86intrin.h>

int cpuHasSsse3()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_SSSE3) != 0;
}

// Windows promises a 32-bit function only a 4-byte aligned stack: the
// function realigns its own in case the compiler keeps a vector there.
__attribute__((target("ssse3"), force_align_arg_pointer))
void bgrToRgbSsse3(const uint8_t* from, uint8_t* to, int32_t width)
{
    // Five pixels a step, loaded and stored 16 bytes at a time. The 16th byte
    // stored belongs to the next pixel, which the next step or the tail
    // writes again; a step runs only while at least 6 pixels (18 bytes)
    // remain, so neither row is read or written past its end.
    const __m128i reverseEachPixel = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int32_t x = 0;
    for (; width - x >= 6; x += 5) {
        __m128i pixels = _mm_loadu_si128((const __m128i*)(from + 3 * x));
        _mm_storeu_si128((__m128i*)(to + 3 * x), _mm_shuffle_epi8(pixels, reverseEachPixel));
    }
    bgrToRgbWordwise(from + 3 * x, to + 3 * x, width - x);
}

// Time-stamp counter ticks one conversion of a sample row takes, best of
// three (the first run may include the code's first fetch or translation).
static uint64_t ticksFor(BgrToRgbRow convert)
{
    enum { SAMPLE_PIXELS = 320 };
    uint8_t from[3 * SAMPLE_PIXELS] = {0}, to[3 * SAMPLE_PIXELS];
    uint64_t best = UINT64_MAX;
    for (int run = 0; run < 3; ++run) {
        uint64_t start = __rdtsc();
        convert(from, to, SAMPLE_PIXELS);
        __asm__ volatile("" : : "r"(to) : "memory");  // the row counts as used: the stores must happen
        uint64_t ticks = __rdtsc() - start;
        best = ticks < best ? ticks : best;
    }
    return best;
}

// A CPU that has SSSE3 is not always faster with it: under an emulator that
// translates each shuffle into a call (qemu-user, for one) the word loop takes
// about a quarter of the time. So the choice is measured, once per process.
static BgrToRgbRow measuredChoice()
{
    if (!cpuHasSsse3())
        return bgrToRgbWordwise;
    return ticksFor(bgrToRgbSsse3) < ticksFor(bgrToRgbWordwise) ? bgrToRgbSsse3 : bgrToRgbWordwise;
}

// Measured at the first call. Threads that meet it unset at once each measure
// and store a conversion; any of them gives the same bytes.
static BgrToRgbRow chosen = NULL;

BgrToRgbRow fastestBgrToRgbRow()
{
    if (chosen == NULL)
        chosen = measuredChoice();
    return chosen;
}

#else  // not x86: no SSSE3

int cpuHasSsse3()
{
    return 0;
}

void bgrToRgbSsse3(const uint8_t* from, uint8_t* to, int32_t width)
{
    bgrToRgbWordwise(from, to, width);
}

BgrToRgbRow fastestBgrToRgbRow()
{
    return bgrToRgbWordwise;
}

#endif
