// The -lh5- compressor: LZSS over an 8 KiB window, coded in blocks of static
// Huffman codes (the stream is described in lh_stream.h).
//
// Matches are found through hash chains of three-byte prefixes, at most 1024
// candidates a position (kMaxChain in lh5_encoder.cpp), with lazy
// evaluation: a match is put off by one byte when the next position starts a
// longer one. A block holds up to 16384 codes, each block with the codes best
// for its own counts. On KiSS sets this packs 1 to 2.5% smaller than jLHA's
// -lh5-; the slowest input is noise of two byte values (every candidate
// matches a little), about 1.7 s of CPU a megabyte.
// Everything is integer arithmetic with fixed tie rules: the same bytes give
// the same stream on every machine (the 32-bit Windows build's are those of
// the native one).
#ifndef PORVANE_LZH_LH5_ENCODER_H
#define PORVANE_LZH_LH5_ENCODER_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Compresses `size` bytes into `stream`. False, with `stream` empty, when the
// stream would not be smaller than the bytes (the caller stores them as
// -lh0-, as LHa does) or `size` is beyond the encoder's positions (2 GiB).
// Allocation failures throw std::bad_alloc.
bool encodeLh5(const uint8_t* bytes, size_t size, std::vector<uint8_t>* stream);

#endif
