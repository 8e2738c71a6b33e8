#include "palette_mode.h"
#include "path_text.h"
#include "../settings/settings_store.h"

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

static DWORD readPaletteSetting()
{
    DWORD type = 0;
    BYTE data[4] = {0, 0, 0, 0};
    SettingsStore::lock();
    SettingsStore::createKey(HKEY_CURRENT_USER, SETTINGS_KEY_PATH);
    bool read = SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, SettingsStore::ONE_SHOT) != 0;
    SettingsStore::unlock();
    if (!read)
        return 0;
    return (DWORD)data[0] | (DWORD)data[1] << 8 | (DWORD)data[2] << 16 | (DWORD)data[3] << 24;
}

void apply(int16_t depth, int32_t width, int32_t height, char* path, CelHeader* header)
{
    // The setting is read before the picture is looked at: every export that
    // gets this far touches the settings key.
    DWORD setting = readPaletteSetting();
    if (setting != 1 || depth != 24 || width != 256 || height != 1)
        return;
    renameToPalette(path);
    header->mark = CEL_MARK_PALETTE;
}

}
