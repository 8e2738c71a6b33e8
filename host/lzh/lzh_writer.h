// Writing a KiSS set as one LZH archive, in memory: the caller writes it
// whole or not at all.
//
// Each file is compressed with -lh5- (lh5_encoder.h), the method every LZH
// reader knows, or stored as -lh0- when that would not make it smaller, as
// LHa does. The archive is the files in the order given, each behind a
// level 0 header, and the end mark.
//
// Why level 0 headers: they are the one form that every reader of -lh5-
// reads: LHa for MS-DOS and Windows from 2.0 on and the DLLs built on it,
// the archivers of Japanese Windows, LHa for UNIX (which KiSS viewers call
// as `lha`), lhasa, jLHA and libarchive. Level 1 adds an OS byte and
// extended headers, level 2 long paths and a Unix time in UTC: a set is one
// flat folder of short names, which needs neither, and a level 0 time is
// the local calendar time the doll maker sees in Explorer, with no time zone
// to get wrong. Names are stored as the caller gives their bytes: Shift_JIS
// for Japanese names (what Japanese LHa wrote and what Japanese Windows tools
// read), plain ASCII for the 8.3 names of a set. One known cost: lhasa takes
// every backslash byte of a level 0 or 1 name for a folder separator, so a
// Shift_JIS name with a character whose second byte is 0x5C (ソ, 表, 能...)
// comes out of lhasa split into folders; jLHA (with its y option) and
// Japanese Windows tools read it whole, and lhasa reads every name that has
// no such character, ASCII names always.
//
// The same files give the same bytes on every machine.
#ifndef PORVANE_LZH_WRITER_H
#define PORVANE_LZH_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "lzh_problem.h"
#include "lzh_time.h"

namespace Lzh {
// Sizes go into 32-bit fields, which some readers (jLHA among them) hold as
// signed numbers: every file, and the archive, stays below 2 GiB.
const uint64_t kMaxFileBytes = 0x7FFFFFFF;
const uint64_t kMaxArchiveBytes = 0x7FFFFFFF;
// Old LHa counts the entries it lists in 16 bits.
const size_t kMaxFiles = 0xFFFF;
}

struct LzhFileToPack {
    std::string name;      // the bytes of the name as it goes into the archive (lzh_names.h)
    const uint8_t* bytes;  // the file's contents
    size_t size;
    LzhLocalTime modified;
};

struct LzhWriteResult {
    LzhProblem problem;
    size_t file;  // which file the problem is about (for the writing problems)
};

// Replaces `archive` with the archive of these files. Every limit is checked
// before anything is compressed: on a problem, `archive` is left empty.
LzhWriteResult writeLzhArchive(const LzhFileToPack* files, size_t count, std::vector<uint8_t>* archive);

#endif
