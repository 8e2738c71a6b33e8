// Writing one KiSS file so that a failure never costs the user a file.
//
// The header and the data block go, in exactly two writes, into a new
// temporary file in the destination's folder; only when both writes and the
// close have succeeded does that file replace the destination. On any failure
// the temporary file is removed and whatever stood at the destination before
// stays as it was.
#ifndef PORVANE_KISS_FILE_WRITER_H
#define PORVANE_KISS_FILE_WRITER_H

#include <windows.h>
#include <stdint.h>

#include "cel_format.h"

enum KissWriteResult {
    KISS_WRITTEN,      // the destination now holds the complete file
    KISS_NOT_CREATED,  // no file could be created beside the destination; nothing changed
    KISS_WRITE_FAILED, // a write, the close or the replacing failed; nothing changed
};

KissWriteResult writeKissFile(const char* path, const CelHeader& header, const uint8_t* block, DWORD blockBytes);

// The same for a file of `count` bytes in one piece: a KiSS set's
// configuration (.cnf), which the converter writes.
KissWriteResult writeWholeFile(const char* path, const uint8_t* bytes, DWORD count);

// Another program's brief hold on a file (a scanner, an indexer or a sync
// client opening a freshly closed file) is ridden out: `step(context)` runs
// again after pauses that double from 10 ms, a second in all, while it fails
// with an error such a hold gives (a sharing or lock violation, or access
// denied on a file that `heldFileAttributes(context)` shows is there and
// writable). Returns 1 when the step succeeded. The writer's rename and
// removal use it, and so does the converter's rename of a finished file.
int retryWhileHeld(BOOL (*step)(const void* context), DWORD (*heldFileAttributes)(const void* context),
                   const void* context);

#endif
