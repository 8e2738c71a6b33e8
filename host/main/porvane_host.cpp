// porvane-host: a host for porvane.xpi, and the converter for doll makers
// who do not have the host picture program.
//
// It does what the host picture program does: loads the plug-in, reads its
// four identity strings, hands it pictures in movable memory handles, and
// opens its About box and settings dialog as the host's menu does. It also
// shows and sets the palette-mode setting, so that palette mode can be tried
// without the dialog, and makes whole KiSS sets of a drawing's layers; a
// finished doll it packs, checks, previews and takes apart, which needs no
// plug-in (its files go through the writer the two share). The
// command line is read in command_line.h; the help text
// (words/message_table.h) lists the commands.
//
// It works in UTF-16 throughout, so that every name Windows allows can be
// read and written, and speaks the user's language (messages.h).
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "../../cel/cel_format.h"
#include "../../quantize/colour_reduction.h"
#include "../commands/check_command.h"
#include "../commands/doll_command.h"
#include "../commands/dropped_command.h"
#include "../commands/export_command.h"
#include "../commands/pack_command.h"
#include "../commands/plugin_commands.h"
#include "../commands/preview_command.h"
#include "../commands/unpack_command.h"
#include "../handover/plugin_loader.h"
#include "../pictures/picture_list.h"
#include "../system/console_text.h"
#include "../system/path_names.h"
#include "../words/messages.h"
#include "command_line.h"

static int usageError(const UsageProblem& problem)
{
    complain(text(MSG_USAGE_PROBLEM, {text(problem.message, problem.inserts)}));
    return 2;
}

// Loads the plug-in, or says why not.
static bool load(const HostRequest& request, Plugin* plugin)
{
    std::wstring file;
    switch (loadPlugin(request.pluginFile, plugin, &file)) {
    case PLUGIN_LOADED:
        return true;
    case PLUGIN_NOT_LOADED:
        complain(!request.pluginFile.empty()
                     ? text(MSG_PLUGIN_NOT_LOADED_NAMED, {file})
                     : text(MSG_PLUGIN_NOT_LOADED, {file, widePluginFileName(), folderPart(file)}));
        return false;
    case PLUGIN_NOT_A_PLUGIN:
        complain(text(MSG_PLUGIN_NOT_A_PLUGIN, {file, widePluginFileName()}));
        return false;
    }
    return false;
}

static bool exists(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static bool isFolder(const std::wstring& name)
{
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static int run(HostRequest request)
{
    switch (request.command) {
    case COMMAND_NONE:
        say(text(MSG_STARTED_FROM_EXPLORER));
        return 0;
    case COMMAND_HELP:
        say(text(MSG_HELP, {widePluginFileName(), number(ColourReduction::kMaxPaletteColours),
                            number(PALETTE_STRIP_WIDTH), number(PALETTE_STRIP_HEIGHT)}));
        return 0;
    case COMMAND_PALETTE_MODE:
        return paletteMode(request.paletteMode);
    case COMMAND_PACK:
        return packCommand(request.pack);
    case COMMAND_CHECK:
        return checkCommand(request.check);
    case COMMAND_PREVIEW:
        return previewCommand(request.preview);
    case COMMAND_UNPACK:
        return unpackCommand(request.unpack);
    case COMMAND_DROPPED:
        // A word that names neither a command nor anything on the disk is a
        // mistyped command.
        if (!exists(request.convert.pictures[0]) && !hasWildcard(request.convert.pictures[0]))
            return usageError({true, MSG_NO_SUCH_COMMAND, {request.convert.pictures[0]}});
        break;
    case COMMAND_EXPORT:
        // export PICTURE FOLDER saves into the folder, as --to does.
        if (!request.destination.empty() && isFolder(request.destination)) {
            request.convert.toFolder = request.destination;
            request.destination.clear();
        }
        break;
    default:
        break;
    }
    Plugin plugin;
    if (!load(request, &plugin))
        return 2;
    int status = 1;
    switch (request.command) {
    case COMMAND_INFO: status = showIdentity(plugin); break;
    case COMMAND_ABOUT: status = showAboutBox(plugin); break;
    case COMMAND_SETTINGS: status = showSettings(plugin); break;
    case COMMAND_DOLL: status = makeDoll(plugin, request.doll); break;
    case COMMAND_DROPPED: status = convertDropped(plugin, request.convert.pictures); break;
    case COMMAND_EXPORT:
        status = request.destination.empty()
                     ? convertPictures(plugin, request.convert)
                     : exportAsHost(plugin, request.convert.pictures[0], request.destination,
                                    request.convert.transparency, request.stopAt);
        break;
    default: break;
    }
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
    const UsageProblem problem = parseCommandLine(args, pluginBuiltIn(), &request);
    int status = 2;
    try {
        status = problem.found ? usageError(problem) : run(request);
    } catch (const std::bad_alloc&) {
        // What a command could not get memory for, it leaves undone: every
        // file it writes is written whole or not at all.
        complain(text(MSG_OUT_OF_MEMORY));
        status = 1;
    }
    // Started from Explorer (a double click, or pictures dropped on it), the
    // program has its window to itself, which would close before anyone
    // could read it. (Run from a command prompt, it shares the prompt's
    // console, and returns at once.)
    if (ownsConsoleWindow())
        waitForEnter(text(MSG_PRESS_ENTER));
    return status;
}
