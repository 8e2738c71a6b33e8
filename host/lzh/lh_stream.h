// The bit stream of -lh5-, -lh6- and -lh7-, shared by the encoder and the
// decoder.
//
// Bits are packed from the top bit of each byte down. The stream is a run of
// blocks and has no end mark: the decoder stops when it has the original
// size. A block:
//   16 bits          the number of codes in the block (1..65535)
//   the T lengths    the code that sends the C lengths (19 symbols)
//   the C lengths    the code of bytes and copy lengths (510 symbols)
//   the P lengths    the code of copy positions (NP symbols: 14 for lh5)
//   the codes        C codes: 0..255 a byte; 256 + L - 3 a copy of L bytes,
//                    followed by its position: P code p, then for p > 1 the
//                    p - 1 low bits of d, where d = distance - 1 and p is
//                    the number of bits in d (0 for d = 0).
// The T and P lengths are sent alike: a count N (5 bits for T, PBIT for P),
// then N lengths, each 3 bits, and when those are 7, one more for each 1
// bit that follows, up to a 0. For T only, after the third length 2 bits
// say how many of the next three lengths are 0 (and are not sent).
// The C lengths: a count N (9 bits), then N T codes: 0, one zero length; 1
// and 4 bits n, n + 3 zero lengths; 2 and 9 bits n, n + 20 zero lengths;
// k + 2, a length of k.
// A count of 0 sends a one-symbol code instead: the symbol follows in as many
// bits as the count, and each of its codes takes no bits at all.
// Codes are canonical: the shorter ones numerically smaller, and those of
// one length in the symbols' order (huffman_lengths.h).
#ifndef PORVANE_LZH_LH_STREAM_H
#define PORVANE_LZH_LH_STREAM_H

#include <stdint.h>

#include "lzh_format.h"

namespace Lzh {

// Zero lengths among the C lengths, by T symbol.
const int kOneZero = 0;
const int kShortZeroRun = 1;  // 4 bits: 3 to 18 zeros
const int kLongZeroRun = 2;   // 9 bits: 20 to 531 zeros
const int kShortZeroRunBits = 4;
const int kShortZeroRunFirst = 3;
const int kLongZeroRunBits = kCharCountBits;
const int kLongZeroRunFirst = 20;
const int kLengthSymbolOffset = 3 - 1;  // T symbol k + 2 is a length of k
// T and P lengths: 3 bits, extended past this value one bit at a time.
const int kShortLengthBits = 3;
const int kExtendedLength = 7;
const int kSkippedZerosBits = 2;

// The number of bits in a copy's d = distance - 1: its P symbol.
inline int positionSymbol(uint32_t d)
{
    int bits = 0;
    while (d >> bits)
        ++bits;
    return bits;
}

}

#endif
