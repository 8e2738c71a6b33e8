// The four functions porvane.xpi exports to the host picture program (the
// status codes and the host's records are in host_records.h).
//
// The host loads the library, asks GetPluginInfo for items 0 to 3, may ask
// IsSupported, and then calls CreatePicture to save its current picture or
// ConfigurationDlg from its menu. It calls one export at a time, on its own
// thread, and passes only valid pointers (the progress callback may be null).
// Every export uses the Windows API calling convention: the called function
// removes its arguments from the stack.
#ifndef PORVANE_PLUGIN_API_H
#define PORVANE_PLUGIN_API_H

#include "../base/host_records.h"

extern "C" {
LONG WINAPI GetPluginInfo(LONG index, LPSTR buffer, LONG bufferLength);
LONG WINAPI IsSupported(LONG value);
LONG WINAPI CreatePicture(LPSTR path, DWORD flags, HLOCAL* bitmapInfo, HLOCAL* bits,
                          const PictureInfoRecord* info, ProgressCallback progress, LONG userValue);
LONG WINAPI ConfigurationDlg(HWND parent, LONG function);
}

// Set at process attach; the settings dialog's template is loaded from it.
extern HINSTANCE moduleInstance;

#endif
