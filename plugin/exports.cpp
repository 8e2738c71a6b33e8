// The two working exports hand over to their subsystems.
#include "plugin_api.h"
#include "../cel/picture_export.h"
#include "../settings/configuration.h"

extern "C" LONG WINAPI CreatePicture(LPSTR path, DWORD /*flags: ignored*/, HLOCAL* bitmapInfo, HLOCAL* bits,
                                     const PictureInfoRecord* info, ProgressCallback progress, LONG userValue)
{
    return exportPicture(path, bitmapInfo, bits, info, progress, userValue);
}

extern "C" LONG WINAPI ConfigurationDlg(HWND parent, LONG function)
{
    switch (function) {
    case 0:
        showAboutBox(parent);
        return EXPORT_OK;
    case 1:
        runSettingsDialog(moduleInstance, parent);
        return EXPORT_OK;
    default:
        return CONFIG_NOT_IMPLEMENTED;
    }
}
