// Module attach: remember our own instance handle so that the settings dialog
// can load its template from this module. Nothing else needs setting up.
#include "plugin_api.h"

HINSTANCE moduleInstance = NULL;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        moduleInstance = instance;
    return TRUE;
}
