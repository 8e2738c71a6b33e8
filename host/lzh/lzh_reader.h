// Reading an LZH archive held in memory: for checking a doll that came as an
// archive, and for showing it.
//
// Headers of levels 0, 1 and 2 (lzh_format.h); methods -lh0- (and -lz4-,
// also stored), -lh5-, -lh6- and -lh7-; folders (-lhd-) are passed over.
// Every entry of another method is listed with LZH_METHOD_UNSUPPORTED, and
// reading goes on with the next one. Every size in a header is checked
// against the bytes present, and an entry's original size is a claim: it is
// compared with what its compressed bytes could decode to (lh_decoder.h) and
// with the caller's limits before its data is allocated. Any bytes may come
// in: nothing is read outside them.
#ifndef PORVANE_LZH_READER_H
#define PORVANE_LZH_READER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "lzh_problem.h"
#include "lzh_time.h"

struct LzhReadLimits {
    uint64_t maxEntryBytes;  // an entry larger than this is listed, not read
    uint64_t maxTotalBytes;  // the data of all the entries decoded, whole or damaged: the reader's work
};

struct LzhEntry {
    // The path as stored, with '/' between folders (lzh_names.h): the
    // caller knows which code page to read it in (Shift_JIS for Japanese
    // archives). Unchecked: it may start with '/' or hold "..", so it is
    // never a path to write to as it is.
    std::string name;
    // Levels 0 and 1 store a local calendar time; level 2 a Unix time.
    bool hasLocalTime = true;
    LzhLocalTime localTime = {};
    uint32_t unixTime = 0;    // seconds since 1970, UTC, when !hasLocalTime
    char method[6] = {};      // "-lh5-" and the like, as stored
    uint64_t size = 0;        // the original size the header gives
    LzhProblem problem = LZH_OK;  // LZH_OK: `data` holds the file, checked against its CRC
    std::vector<uint8_t> data;
};

struct LzhArchive {
    std::vector<LzhEntry> entries;
    // LZH_OK when the archive ended where it should; otherwise why reading
    // stopped early, and where (the entries before are kept).
    LzhProblem problem = LZH_OK;
    uint64_t problemOffset = 0;
};

// Reads every entry of the archive in `bytes`. Returns archive->problem
// (LZH_OUT_OF_MEMORY, with no entries, if memory ran out).
LzhProblem readLzhArchive(const uint8_t* bytes, size_t size, const LzhReadLimits& limits, LzhArchive* archive);

#endif
