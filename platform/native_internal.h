// Shared between the layer's own files only.
#ifndef PORVANE_NATIVE_INTERNAL_H
#define PORVANE_NATIVE_INTERNAL_H

#include <string>

namespace NativePlatform {
int heldMemoryBlocks();
int heldLocks();
int heldFiles();
int heldRegistryKeys();

// A Windows path as the native file system names it: backslashes become slashes.
std::string nativePath(const char* windowsPath);
}

#endif
