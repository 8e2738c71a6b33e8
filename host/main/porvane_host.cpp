// porvane-host: a host for porvane.xpi, and the converter for doll makers
// who do not have the host picture program.
//
// It does what the host picture program does: loads the plug-in, reads its
// four identity strings, hands it pictures in movable memory handles, and
// opens its About box and settings dialog as the host's menu does. It also
// shows and sets the palette-mode setting, so that palette mode can be tried
// without the dialog. The help text (message_table.h) lists the commands.
//
// It works in UTF-16 throughout, so that every name Windows allows can be
// read and written, and speaks the user's language (messages.h).
#include <windows.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "../../settings/palette_setting.h"
#include "../system/console_text.h"
#include "../commands/export_command.h"
#include "../commands/doll_command.h"
#include "../words/messages.h"
#include "../pictures/picture_list.h"
#include "../handover/plugin_loader.h"
#include "../handover/source_picture.h"

static int usageError(const std::wstring& problem)
{
    complain(text(MSG_USAGE_PROBLEM, {problem}));
    return 2;
}

// ---------------------------------------------------------------------------
// Palette mode, read and written as the plug-in does.

static bool storedPaletteMode()
{
    DWORD value = 0;
    return readPaletteSetting(&value) && value == PALETTE_MODE_ON;
}

static int paletteMode(const std::wstring& change)
{
    if (!change.empty() && !storePaletteSetting(change == L"on" ? PALETTE_MODE_ON : 0)) {
        complain(text(MSG_SETTING_NOT_STORED));
        return 1;
    }
    say(text(storedPaletteMode() ? MSG_PALETTE_MODE_ON : MSG_PALETTE_MODE_OFF));
    return 0;
}

// ---------------------------------------------------------------------------
// The plug-in's own commands.

static int showIdentity(const Plugin& plugin)
{
    static const MessageId labels[] = {MSG_IDENTITY_INTERFACE, MSG_IDENTITY_DESCRIPTION, MSG_IDENTITY_FORMAT,
                                       MSG_IDENTITY_EXTENSION};
    for (LONG index = 0; index < 4; ++index) {
        std::wstring label = text(labels[index]);
        label.resize(label.size() < 12 ? 12 : label.size(), L' ');
        say(label + L" " + identityString(plugin, index));
    }
    return 0;
}

static int showAboutBox(const Plugin& plugin)
{
    return plugin.configurationDlg(NULL, 0) == 0 ? 0 : 1;
}

// The settings dialog, then whether the doll maker changed palette mode.
static int showSettings(const Plugin& plugin)
{
    const bool before = storedPaletteMode();
    const LONG result = plugin.configurationDlg(NULL, 1);
    const bool after = storedPaletteMode();
    say(text(after == before ? MSG_PALETTE_MODE_UNCHANGED : MSG_PALETTE_MODE_CHANGED, {text(after ? MSG_ON : MSG_OFF)}));
    return result == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------
// The command line.

// What the command line asks for.
struct HostRequest {
    std::wstring command;     // "export", "doll", "info", "about", "settings"; "export" for what was dropped too
    std::wstring pluginFile;  // --plugin FILE; empty: the plug-in beside the program
    ConvertRequest convert;
    DollRequest doll;
    std::wstring destination;  // the one-picture form's name; empty for a run of many
    LONG stopAt = -1;          // the progress report that answers "stop" in the one-picture form; -1: none
};

// --transparent corner, or N from 0 to 255, given once. False when not,
// with the usage error said.
static bool parseTransparency(const std::wstring& which, TransparencyChoice* choice)
{
    wchar_t* end = NULL;
    const long entry = wcstol(which.c_str(), &end, 10);
    if (choice->rule == TRANSPARENT_AS_SAID && which == L"corner")
        choice->rule = TRANSPARENT_CORNER;
    else if (choice->rule == TRANSPARENT_AS_SAID && !which.empty() && *end == L'\0' && entry >= 0 && entry <= 255)
        *choice = {TRANSPARENT_ENTRY, (int)entry};
    else
        return usageError(text(MSG_TRANSPARENT_TAKES, {which})) == 0;
    return true;
}

// `export`'s arguments: the pictures and the options among them.
static int parseExport(const std::vector<std::wstring>& args, HostRequest* request)
{
    std::vector<std::wstring> names;
    bool toGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--to") {
            if (toGiven || i + 1 == args.size())
                return usageError(text(toGiven ? MSG_TO_GIVEN_TWICE : MSG_NEEDS_FOLDER_AFTER_TO));
            request->convert.toFolder = args[++i];
            toGiven = true;
        } else if (args[i] == L"--palette") {
            request->convert.palettes = true;
        } else if (args[i] == L"--shared-palette") {
            if (!request->convert.sharedPalette.empty() || i + 1 == args.size() || args[i + 1].empty())
                return usageError(text(MSG_SHARED_PALETTE_NEEDS_NAME));
            request->convert.sharedPalette = args[++i];
        } else if (args[i] == L"--dither") {
            request->convert.dither = true;
        } else if (args[i] == L"--transparent") {
            if (!parseTransparency(i + 1 < args.size() ? args[++i] : L"", &request->convert.transparency))
                return 2;
        } else if ((args[i] == L"--stop-at-start" || args[i] == L"--stop-at-end") && request->stopAt < 0) {
            request->stopAt = args[i] == L"--stop-at-start" ? 0 : 1;
        } else if (args[i].compare(0, 2, L"--") == 0) {
            return usageError(text(MSG_EXPORT_DOES_NOT_TAKE, {args[i]}));
        } else {
            names.push_back(args[i]);
        }
    }
    if (names.empty())
        return usageError(text(MSG_EXPORT_NEEDS_PICTURE));
    if (request->convert.palettes && !request->convert.sharedPalette.empty())
        return usageError(text(MSG_SHARED_PALETTE_AND_PALETTE));
    // The one-picture form: a picture and the name to save it under (a
    // second name that is a folder, holds * or ?, or ends in a picture's
    // extension is a second picture).
    const DWORD second = names.size() == 2 ? GetFileAttributesW(names[1].c_str()) : INVALID_FILE_ATTRIBUTES;
    if (names.size() == 2 && !toGiven && !request->convert.palettes && request->convert.sharedPalette.empty() &&
        !hasPictureExtension(names[1]) &&
        !hasWildcard(names[1]) && (second == INVALID_FILE_ATTRIBUTES || !(second & FILE_ATTRIBUTE_DIRECTORY))) {
        request->destination = names[1];
        names.pop_back();
    } else if (request->stopAt >= 0) {
        return usageError(text(MSG_STOP_AT_ONE_PICTURE_ONLY));
    }
    request->convert.pictures = names;
    return 0;
}

// `doll`'s arguments: the layers and the options among them.
static int parseDoll(const std::vector<std::wstring>& args, DollRequest* doll)
{
    bool configurationGiven = false, backgroundGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring next = i + 1 < args.size() ? args[i + 1] : L"";
        if (args[i] == L"--to") {
            if (!doll->toFolder.empty() || next.empty())
                return usageError(text(doll->toFolder.empty() ? MSG_NEEDS_FOLDER_AFTER_TO : MSG_TO_GIVEN_TWICE));
            doll->toFolder = args[++i];
        } else if (args[i] == L"--shared-palette") {
            if (!doll->sharedPalette.empty() || next.empty())
                return usageError(text(MSG_SHARED_PALETTE_NEEDS_NAME));
            doll->sharedPalette = args[++i];
        } else if (args[i] == L"--cnf") {
            if (configurationGiven || next.empty())
                return usageError(text(MSG_CNF_NEEDS_NAME));
            doll->configuration = args[++i];
            configurationGiven = true;
        } else if (args[i] == L"--background") {
            wchar_t* end = NULL;
            const unsigned long colour = wcstoul(next.c_str(), &end, 16);
            if (backgroundGiven || next.size() != 6 || *end != L'\0')
                return usageError(text(MSG_BACKGROUND_TAKES, {next}));
            doll->background = (uint32_t)colour;
            backgroundGiven = true;
            ++i;
        } else if (args[i] == L"--dither") {
            doll->dither = true;
        } else if (args[i] == L"--transparent") {
            if (!parseTransparency(next, &doll->transparency))
                return 2;
            ++i;
        } else if (args[i].compare(0, 2, L"--") == 0) {
            return usageError(text(MSG_DOLL_DOES_NOT_TAKE, {args[i]}));
        } else {
            doll->layers.push_back(args[i]);
        }
    }
    if (doll->layers.empty())
        return usageError(text(MSG_DOLL_NEEDS_LAYERS));
    if (doll->toFolder.empty())
        return usageError(text(MSG_DOLL_NEEDS_TO));
    return 0;
}

// Reads the command line into `request`. Returns -1 when the plug-in has
// work to do, or the exit status of a command that is done without it.
static int parse(std::vector<std::wstring> args, HostRequest* request)
{
    if (!args.empty() && args[0] == L"--plugin") {
        if (args.size() < 2)
            return usageError(text(MSG_PLUGIN_NEEDS_FILE));
        if (pluginBuiltIn())
            return usageError(text(MSG_PLUGIN_BUILT_IN));
        request->pluginFile = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {  // a double click, or a command prompt with nothing after the name
        say(text(MSG_STARTED_FROM_EXPLORER));
        return 0;
    }
    request->command = args[0];
    args.erase(args.begin());

    if (request->command == L"--help" || request->command == L"help") {
        if (!args.empty())
            return usageError(text(MSG_TAKES_NOTHING_AFTER, {request->command, args[0]}));
        say(text(MSG_HELP, {widePluginFileName()}));
        return 0;
    }
    if (request->command == L"palette-mode") {
        if (!request->pluginFile.empty())
            return usageError(text(MSG_PALETTE_MODE_NO_PLUGIN));
        if (args.size() > 1 || (args.size() == 1 && args[0] != L"on" && args[0] != L"off"))
            return usageError(text(MSG_PALETTE_MODE_TAKES));
        return paletteMode(args.empty() ? L"" : args[0]);
    }
    if (request->command == L"export")
        return parseExport(args, request) != 0 ? 2 : -1;
    if (request->command == L"doll")
        return parseDoll(args, &request->doll) != 0 ? 2 : -1;
    if (request->command == L"info" || request->command == L"about" || request->command == L"settings") {
        if (!args.empty())
            return usageError(text(MSG_TAKES_NOTHING_AFTER, {request->command, args[0]}));
        return -1;
    }
    if (GetFileAttributesW(request->command.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // Pictures or folders dropped on the program.
        request->convert.pictures.push_back(request->command);
        request->convert.pictures.insert(request->convert.pictures.end(), args.begin(), args.end());
        request->convert.palettes = true;
        request->command = L"export";
        return -1;
    }
    return usageError(text(MSG_NO_SUCH_COMMAND, {request->command}));
}

static int run(const HostRequest& request)
{
    Plugin plugin;
    std::wstring problem;
    if (!loadPlugin(request.pluginFile, &plugin, &problem)) {
        complain(problem);
        return 2;
    }
    int status;
    if (request.command == L"info")
        status = showIdentity(plugin);
    else if (request.command == L"about")
        status = showAboutBox(plugin);
    else if (request.command == L"settings")
        status = showSettings(plugin);
    else if (request.command == L"doll")
        status = makeDoll(plugin, request.doll);
    else if (!request.destination.empty())
        status = exportAsHost(plugin, request.convert.pictures[0], request.destination, request.convert.transparency,
                              request.stopAt);
    else
        status = convertPictures(plugin, request.convert);
    unloadPlugin(&plugin);
    return status;
}

int main()
{
    // The arguments as Windows has them, in UTF-16: any name arrives whole,
    // where the ANSI ones would have lost what the code page cannot hold.
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; arguments != NULL && i < count; ++i)
        args.push_back(arguments[i]);
    LocalFree(arguments);

    HostRequest request;
    int status = parse(args, &request);
    if (status < 0)
        status = run(request);
    // Started from Explorer (a double click, or pictures dropped on it), the
    // program has its window to itself, which would close before anyone
    // could read it. (Run from a command prompt, it shares the prompt's
    // console, and returns at once.)
    if (ownsConsoleWindow())
        waitForEnter();
    return status;
}
