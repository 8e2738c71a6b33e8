// Shared between the layer's own files only.
#ifndef PORVANE_NATIVE_INTERNAL_H
#define PORVANE_NATIVE_INTERNAL_H

#include <string>

#include "native_platform.h"

namespace NativePlatform {
// Logs a call that can fail on Windows: true when this call is to fail, and
// how; the error is already set.
bool countCall(const char* name, Fault* fault = nullptr);

int heldMemoryBlocks();
int heldLocks();
int heldFiles();
int heldRegistryKeys();

// A Windows path as the native file system names it: backslashes become slashes.
std::string nativePath(const char* windowsPath);
}

#endif
