// What every fuzz target does: report a broken invariant, and start each
// input from a clean native layer.
#ifndef PORVANE_FUZZ_CHECK_H
#define PORVANE_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>
#include <string>

#include "../../platform/native_platform.h"

// The native layer logs every call it counts, and records every pause and
// message box: over millions of inputs that alone would fill the memory, and
// libFuzzer would stop on it as if the plug-in leaked. Each input therefore
// starts with none of them and no fault planned.
inline void startWithACleanNativeLayer()
{
    NativePlatform::resetCalls();
    NativePlatform::forgetSleeps();
    NativePlatform::forgetMessageBoxes();
}

// A broken invariant: the target says which one, with the input's detail,
// and aborts, so that libFuzzer keeps the input.
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
