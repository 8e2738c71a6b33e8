// How the host identifies the plug-in: four fixed strings and the support query.
#include "plugin_api.h"

#include "../cel/cel_format.h"

static const char* const identity[] = {
    "T0XN",                         // plug-in interface code
    "Wendrasil v0.01c by Nimbrel",  // description: title, version, maker
    "CEL",                          // output format
    KISS_CEL_EXTENSION,             // default extension
};
static const LONG identityCount = sizeof identity / sizeof identity[0];

extern "C" LONG WINAPI GetPluginInfo(LONG index, LPSTR buffer, LONG bufferLength)
{
    if (index < 0 || index >= identityCount)
        return 0;
    // A buffer with no room, not even for the terminating zero, is left
    // untouched rather than trusted to lstrcpynA's handling of it.
    if (bufferLength <= 0)
        return 0;
    lstrcpynA(buffer, identity[index], bufferLength);
    return lstrlenA(buffer);
}

// The answer gates nothing: CreatePicture handles whatever depth it is given.
extern "C" LONG WINAPI IsSupported(LONG value)
{
    return (value == 4 || value == 8) ? 1 : 0;
}
