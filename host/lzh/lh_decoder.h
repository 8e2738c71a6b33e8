// The decoder of -lh5-, -lh6- and -lh7- streams (lh_stream.h), into a block
// the caller has sized to the entry's original size.
//
// What a stream can decode to is bounded before anything is allocated
// (lhMaxDecodedBytes): the cheapest block costs kMinBlockBits (its 16-bit
// count, a T count and one 3-bit length, a C count whose lengths take no
// bits, a P count of 4 bits and one 3-bit length) and yields at most 65535
// copies of 256 bytes, each of whose codes may take no bits (a one-symbol
// code). That is 16,776,960 bytes for every 5 bytes of stream: a ratio far
// beyond any real file, so the caller's own limit on an entry is what keeps
// memory small; the bound refuses the claims no stream could meet, such as a
// gigabyte from a few bytes.
#ifndef PORVANE_LZH_LH_DECODER_H
#define PORVANE_LZH_LH_DECODER_H

#include <stddef.h>
#include <stdint.h>

#include "lzh_format.h"
#include "lzh_problem.h"

namespace Lzh {
const int kMinBlockBits = kBlockSizeBits + 8 + kCharCountBits + 7;  // 40
}

// The most bytes `streamBytes` of stream can decode to.
uint64_t lhMaxDecodedBytes(uint64_t streamBytes);

// Decodes `stream` into exactly `outSize` bytes. LZH_OK, or LZH_DATA_DAMAGED
// when the stream ends early, holds a code no table gives, copies from
// before the first byte, or runs past `outSize`. Never reads outside
// `stream` or writes outside `out`; allocates nothing beyond its tables.
LzhProblem decodeLhStream(const Lzh::WindowMethod& method, const uint8_t* stream, size_t size, uint8_t* out,
                          size_t outSize);

#endif
