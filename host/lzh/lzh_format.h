// The LZH archive format, as porvane writes and reads it. Every number here
// is used by both the writer and the reader; each is defined once.
//
// An archive is a run of entries, each a header and then the entry's
// compressed bytes, ended by a single 0 byte (some archives simply end).
// Multi-byte fields are little-endian.
//
// Level 0 header (what porvane writes; LHa's first form):
//   0   1  header size: bytes from offset 2 to the end of the header
//   1   1  header sum: the low byte of the sum of those bytes
//   2   5  method, "-lh5-" and the like
//   7   4  compressed size
//   11  4  original size
//   15  2  time, MS-DOS form: hour << 11 | minute << 5 | second / 2 (local time)
//   17  2  date, MS-DOS form: (year - 1980) << 9 | month << 5 | day
//   19  1  MS-DOS attribute (0x20: archive)
//   20  1  header level (0)
//   21  1  name length N
//   22  N  name (a path with '\' between folders)
//   22+N 2 CRC-16 of the original bytes
//   (some writers add bytes after the CRC, inside the header size: skipped)
// Level 1: as level 0 up to the CRC, then the OS byte and the size of the
// first extended header (both inside the header size, which ends with that
// size); "compressed size" counts the extended headers as well as the data.
// Level 2: 2 bytes total header size (the whole header, extended headers and
// any padding byte), method, compressed size, original size, the time as a
// Unix time (seconds since 1970, UTC), a reserved byte, the level (2), the
// CRC, the OS byte, the size of the first extended header: 26 bytes.
// An extended header is a type byte, its data and the size of the next one
// (2 bytes); its own size, given before it, counts all three; 0 ends the
// chain. Type 0x00 holds the CRC-16 of the whole header (computed with those
// two bytes as zeros), 0x01 the file name, 0x02 the folder, whose parts are
// separated by 0xFF.
//
// CRC-16: the one of ARC archives: polynomial x^16 + x^15 + x^2 + 1, bits
// taken low first (0xA001 reflected), starting from 0, nothing added at the
// end.
//
// Methods -lh5-, -lh6- and -lh7- are one scheme with windows of 8, 32 and 64
// KiB: LZSS (literal bytes, and copies of 3 to 256 bytes from up to the window
// size back) coded in blocks of static Huffman codes; lh_decoder.h and
// lh5_encoder.cpp describe the bit stream. -lh0- (and -lz4-) store the bytes
// as they are; -lhd- is a folder with no data.
#ifndef PORVANE_LZH_FORMAT_H
#define PORVANE_LZH_FORMAT_H

#include <stddef.h>
#include <stdint.h>

namespace Lzh {

// Header layout (offsets from the header's first byte).
const size_t kMethodOffset = 2;
const size_t kMethodBytes = 5;
const size_t kCompressedSizeOffset = 7;
const size_t kOriginalSizeOffset = 11;
const size_t kTimeOffset = 15;  // levels 0 and 1: MS-DOS time, then date; level 2: Unix time
const size_t kAttributeOffset = 19;
const size_t kLevelOffset = 20;
const size_t kNameLengthOffset = 21;  // levels 0 and 1
const size_t kNameOffset = 22;        // levels 0 and 1
const size_t kCrcBytes = 2;
const size_t kLevel0FixedBytes = kNameOffset + kCrcBytes;  // 24 + the name
const size_t kLevel1FixedBytes = kLevel0FixedBytes + 3;    // the OS byte, the first extended header's size
const size_t kLevel2FixedBytes = 26;
const size_t kLevel2CrcOffset = 21;
const size_t kLevel0MaxHeaderSize = 255;  // one byte
// The longest name a level 0 header holds: its size byte counts 22 + N.
const size_t kLevel0MaxNameBytes = kLevel0MaxHeaderSize + 2 - kLevel0FixedBytes;

const uint8_t kAttributeArchive = 0x20;
const uint8_t kEndOfArchive = 0;

// Extended header types.
const uint8_t kExtendedCommon = 0x00;  // the header's CRC
const uint8_t kExtendedFileName = 0x01;
const uint8_t kExtendedFolder = 0x02;
const uint8_t kFolderSeparator = 0xFF;  // between parts of an extended folder name

// MS-DOS times: years 1980 to 2107, seconds in steps of two.
const int kDosFirstYear = 1980;
const int kDosLastYear = kDosFirstYear + 127;

// The compressed stream (lh5, lh6, lh7).
const int kMinMatch = 3;
const int kMaxMatch = 256;
const int kLiteralCodes = 256;
const int kCharCodes = kLiteralCodes + kMaxMatch - kMinMatch + 1;  // 510: the "C" code, a byte or a length
const int kMaxCodeBits = 16;                                       // every Huffman code
const int kCharCountBits = 9;                                      // "CBIT": how many C lengths follow
const int kLengthCodes = kMaxCodeBits + 3;  // 19: the code that sends the C lengths ("T")
const int kLengthCountBits = 5;             // "TBIT"
const int kLengthZerosAfter = 3;          // after the third T length, 2 bits of zero lengths follow
const int kBlockSizeBits = 16;              // codes in a block
const uint32_t kMaxBlockCodes = 0xFFFF;

// One method of the scheme: its window, and the code for positions.
struct WindowMethod {
    char id[kMethodBytes + 1];
    int windowBits;          // 13, 15, 16
    int positionCodes;       // windowBits + 1: "NP"
    int positionCountBits;   // 4 or 5: "PBIT"
};
const WindowMethod kLh5 = {"-lh5-", 13, 14, 4};
const WindowMethod kLh6 = {"-lh6-", 15, 16, 5};
const WindowMethod kLh7 = {"-lh7-", 16, 17, 5};

const char kStoredMethod[] = "-lh0-";
const char kStoredMethodLz[] = "-lz4-";
const char kFolderMethod[] = "-lhd-";

}

#endif
