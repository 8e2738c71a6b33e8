#include "configuration.h"

static const char aboutFormat[] = "%s Version %s\n %s";
static const char aboutTitle[] = "Wendrasil";
static const char aboutVersion[] = "0.0.1.3";
// With the format and the title and version above, the notice may have at
// most 228 characters for the text to fit aboutText.
static const char aboutNotice[] = "Saves pictures as KiSS cels and palettes. (c) Nimbrel";
static_assert(sizeof aboutNotice - 1 <= 228, "the About text must fit its 256-byte buffer");

void showAboutBox(HWND parent)
{
    char aboutText[256];
    wsprintfA(aboutText, aboutFormat, aboutTitle, aboutVersion, aboutNotice);
    MessageBoxA(parent, aboutText, "About", MB_OK);
}
