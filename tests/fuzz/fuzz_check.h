// How a fuzz target reports a broken invariant: it says which one, with the
// input's detail, and aborts, so that libFuzzer keeps the input.
#ifndef PORVANE_FUZZ_CHECK_H
#define PORVANE_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>
#include <string>

inline void failInvariant(const char* what, const std::string& detail)
{
    fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
    abort();
}

#define CHECK(condition, detail)                   \
    do {                                           \
        if (!(condition))                          \
            failInvariant(#condition, detail);     \
    } while (0)

#endif
