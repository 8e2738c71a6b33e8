// Writing a file where the doll maker may already have one of her own: a
// picture `unpack` makes, a palette `export --palette` makes. A file with the
// very bytes to be written is left as it is (a plain re-run says nothing
// new); a different one is never lost: it is kept beside, as NAME-old.EXT
// (NAME-old2.EXT, ...), before the new one takes its name, and put back when
// the new one cannot be written.
#ifndef PORVANE_KEEPING_WRITER_H
#define PORVANE_KEEPING_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "kiss_output.h"

enum Placed {
    PLACED_NEW,            // nothing was there
    PLACED_ALREADY_THERE,  // the same bytes were there: nothing written
    PLACED_OLD_KEPT,       // a different file was there: kept as `kept`
    PLACED_NOT,            // not written (`problem` says why); what was there is as it was
};

struct Placing {
    Placed placed = PLACED_NOT;
    std::wstring kept;
    WriteProblem problem;
};

Placing placeKeepingOld(const uint8_t* bytes, size_t size, const std::wstring& path, const ProtectedFiles& protectedFiles);

#endif
