#include "plugin_commands.h"

#include "../../cel/cel_format.h"
#include "../../settings/palette_setting.h"
#include "../system/console_text.h"
#include "../words/messages.h"

#include <algorithm>

static bool storedPaletteMode()
{
    DWORD value = 0;
    return readPaletteSetting(&value) && value == PALETTE_MODE_ON;
}

int paletteMode(const std::wstring& change)
{
    if (!change.empty() && !storePaletteSetting(change == L"on" ? PALETTE_MODE_ON : 0)) {
        complain(text(MSG_SETTING_NOT_STORED));
        return 1;
    }
    say(text(storedPaletteMode() ? MSG_PALETTE_MODE_ON : MSG_PALETTE_MODE_OFF,
             {number(PALETTE_STRIP_WIDTH), number(PALETTE_STRIP_HEIGHT)}));
    return 0;
}

int showIdentity(const Plugin& plugin)
{
    static const MessageId labels[] = {MSG_IDENTITY_INTERFACE, MSG_IDENTITY_DESCRIPTION, MSG_IDENTITY_FORMAT,
                                       MSG_IDENTITY_EXTENSION};
    const size_t labelWidth = 12;
    for (LONG index = 0; index < 4; ++index) {
        std::wstring label = text(labels[index]);
        label.resize(std::max(label.size(), labelWidth), L' ');
        say(label + L" " + identityString(plugin, index));
    }
    return 0;
}

int showAboutBox(const Plugin& plugin)
{
    return plugin.configurationDlg(NULL, 0) == 0 ? 0 : 1;
}

int showSettings(const Plugin& plugin)
{
    const bool before = storedPaletteMode();
    const LONG result = plugin.configurationDlg(NULL, 1);
    const bool after = storedPaletteMode();
    say(text(after == before ? MSG_PALETTE_MODE_UNCHANGED : MSG_PALETTE_MODE_CHANGED, {text(after ? MSG_ON : MSG_OFF)}));
    return result == 0 ? 0 : 1;
}
