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
int heldSearches();
int heldRegistryKeys();

// A Windows path as the native file system names it: backslashes become
// slashes, and a wide path becomes UTF-8.
std::string nativePath(const char* windowsPath);
std::string nativePath(const wchar_t* windowsPath);

// Wide text as UTF-8 and back; what is no character (a lone surrogate, a
// byte no UTF-8 sequence holds) becomes U+FFFD, as Windows converts it.
std::string utf8Text(const std::wstring& wide);
std::wstring wideText(const std::string& utf8);

// The descriptor (0, 1 or 2) behind a handle from GetStdHandle, else -1.
int standardDescriptor(HANDLE handle);
}

#endif
