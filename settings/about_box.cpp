#include "configuration.h"
#include "../base/version.h"

static const char aboutFormat[] = "%s Version %s\n %s";
static const char aboutTitle[] = "Wendrasil";
static const char aboutVersion[] = PORVANE_VERSION;
static const char aboutNotice[] = "Saves pictures as KiSS cels and palettes. (c) Nimbrel";
// The formatted text and its zero must fit aboutText: with today's title and
// version that leaves the notice at most 228 characters.
static_assert((sizeof aboutTitle - 1) + (sizeof " Version " - 1) + (sizeof aboutVersion - 1) + (sizeof "\n " - 1) +
                      (sizeof aboutNotice - 1) < 256,
              "the About text must fit its 256-byte buffer");

void showAboutBox(HWND parent)
{
    char aboutText[256];
    wsprintfA(aboutText, aboutFormat, aboutTitle, aboutVersion, aboutNotice);
    MessageBoxA(parent, aboutText, "About", MB_OK);
}
