#include "palette_mode.h"
#include "path_text.h"
#include "../settings/palette_setting.h"

#include <windows.h>

namespace PaletteMode {

enum {
    NAME_BUFFER = 256,        // working name: at most 255 characters and a zero
    LOOK_BACK = 6,            // characters examined at the end of the name
};
static const int extensionLength = sizeof KISS_PALETTE_EXTENSION - 1;

int renameToPalette(char* path)
{
    int length = lstrlenA(path);
    if (length >= NAME_BUFFER)
        return 0;
    char name[NAME_BUFFER];
    lstrcpynA(name, path, NAME_BUFFER);

    // From the terminating zero back over the last six bytes, character by
    // character: the second byte of a double-byte character is neither a
    // separator nor a full stop.
    int keep = -1;  // characters kept in front of ".kcf"
    for (const char* at = name + length; at - name >= length - LOOK_BACK; at = previousCharacter(name, at)) {
        if (isFolderSeparator(at)) {
            keep = length;
            break;
        }
        if (*at == '.') {
            keep = (int)(at - name);
            break;
        }
        if (at == name)
            break;
    }
    if (keep < 0 || keep + extensionLength >= NAME_BUFFER)
        return 0;

    lstrcpynA(name + keep, KISS_PALETTE_EXTENSION, extensionLength + 1);
    lstrcpynA(path, name, NAME_BUFFER);
    return 1;
}

void apply(int16_t depth, int32_t width, int32_t height, char* path, CelHeader* header)
{
    // The setting is read before the picture is looked at: every export that
    // gets this far touches the settings key.
    DWORD setting = 0;
    readPaletteSetting(&setting);
    if (setting != PALETTE_MODE_ON || depth != PALETTE_STRIP_DEPTH || width != PALETTE_STRIP_WIDTH ||
        height != PALETTE_STRIP_HEIGHT)
        return;
    renameToPalette(path);
    header->mark = CEL_MARK_PALETTE;
}

}
