// Huffman codes for the LH encoder: code lengths limited to a number of bits,
// and the codes themselves, assigned as every LH decoder expects them.
#ifndef PORVANE_LZH_HUFFMAN_LENGTHS_H
#define PORVANE_LZH_HUFFMAN_LENGTHS_H

#include <stdint.h>

// Writes a code length for each of `count` symbols (at most 1024) from their
// frequencies: 0 for a symbol of frequency 0, otherwise 1..maxBits, the
// lengths of an optimal code where it fits in maxBits and of a complete one
// always. Returns the number of symbols used; when that is 1, the one symbol
// gets length 0 (the stream sends such a code in its one-symbol form, with no
// bits per symbol). The same frequencies give the same lengths everywhere:
// ties go to the lower symbol.
int huffmanLengths(const uint32_t* frequencies, int count, int maxBits, uint8_t* lengths);

// The canonical codes for these lengths: shorter codes are numerically
// smaller, and codes of one length follow the symbols' order. A code of
// length L is the low L bits of codes[symbol], sent from its top bit.
void canonicalCodes(const uint8_t* lengths, int count, uint16_t* codes);

#endif
