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

#endif
