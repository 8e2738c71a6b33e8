// porvane-host: a host for porvane.xpi, and the converter for doll makers
// who do not have the host picture program.
//
// It does what the host picture program does: loads the plug-in, reads its
// four identity strings, hands it pictures (read from BMP files) in movable
// memory handles, and opens its About box and settings dialog as the host's
// menu does. It also shows and sets the palette-mode setting, so that
// palette mode can be tried without the dialog. The help text below lists
// the commands.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "../settings/palette_setting.h"
#include "console_text.h"
#include "convert_command.h"
#include "path_names.h"
#include "plugin_loader.h"
#include "source_picture.h"

static const char helpText[] =
    "porvane-host saves pictures as KiSS cels through " PORVANE_XPI ", as the host picture program does.\n"
    "\n"
    "  porvane-host export PICTURE... [--to FOLDER] [--palette] [--transparent corner | N]\n"
    "      Saves each picture as NAME.cel, in FOLDER (made if missing) or beside the picture.\n"
    "      --palette also saves NAME.kcf, the picture's colours, for every 4- or 8-bit cel.\n"
    "      --transparent corner makes the colour of the picture's four corners the transparent one;\n"
    "      --transparent N makes colour N the transparent one (for a BMP, colour 0 is).\n"
    "      e.g.  porvane-host export arm-left.png arm-right.png --to cels --palette\n"
    "  porvane-host export PICTURE DESTINATION [--stop-at-start | --stop-at-end]\n"
    "      Saves one picture under the name given, as the host would, showing the plug-in's progress\n"
    "      reports; --stop-at-... answers \"stop\" to one of them.\n"
    "      e.g.  porvane-host export face.png face-new.cel\n"
    "  porvane-host PICTURE...\n"
    "      What dropping pictures on porvane-host.exe does: export PICTURE... --palette.\n"
    "      e.g.  porvane-host arm-left.png\n"
    "  porvane-host info            the plug-in's four identity strings\n"
    "  porvane-host about           the plug-in's About box\n"
    "  porvane-host settings        the plug-in's settings dialog, then the palette mode it stored\n"
    "  porvane-host palette-mode [on | off]\n"
    "      Shows or sets palette mode: when on, a picture of 256 x 1 pixels in 24-bit colour is\n"
    "      saved as a KiSS palette (.kcf) instead of a cel.\n"
    "      e.g.  porvane-host palette-mode off\n"
    "  porvane-host --help          this text\n"
    "\n"
    "porvane-host reads PNG, GIF, TIFF, JPEG and BMP pictures. Pictures of up to 16 colours become 4-bit\n"
    "cels, of up to 256 colours 8-bit cels, full-colour ones 32-bit cels, each with its transparency.\n"
    "It finds " PORVANE_XPI " in its own folder; put --plugin FILE before the command to load another copy.\n";

static int usageError(const char* problem, const char* detail = "")
{
    complain("porvane-host: %s%s\nporvane-host --help lists the commands.\n", problem, detail);
    return 2;
}

// ---------------------------------------------------------------------------
// Palette mode, read and written as the plug-in does.

static bool storedPaletteMode()
{
    DWORD value = 0;
    return readPaletteSetting(&value) && value == PALETTE_MODE_ON;
}

static const char* paletteModeInWords(bool on)
{
    return on ? "on (a picture of 256 x 1 pixels in 24-bit colour is saved as a KiSS palette)"
              : "off (every picture is saved as a cel)";
}

static int paletteMode(const char* change)
{
    if (change != NULL && !storePaletteSetting(strcmp(change, "on") == 0 ? PALETTE_MODE_ON : 0)) {
        complain("porvane-host: cannot store the setting in the registry\n");
        return 1;
    }
    say("palette mode: %s\n", paletteModeInWords(storedPaletteMode()));
    return 0;
}

// ---------------------------------------------------------------------------
// The plug-in's own commands.

static int showIdentity(const Plugin& plugin)
{
    static const char* const labels[] = {"interface", "description", "format", "extension"};
    for (LONG index = 0; index < 4; ++index) {
        char text[260] = "";
        plugin.getPluginInfo(index, text, sizeof text);
        say("%-12s %s\n", labels[index], text);
    }
    return 0;
}

static int configure(const Plugin& plugin, LONG function)
{
    LONG result = plugin.configurationDlg(NULL, function);
    say("ConfigurationDlg(%ld) answered %ld\n", (long)function, (long)result);
    if (function == 1)
        say("palette mode is now %s\n", paletteModeInWords(storedPaletteMode()));
    return result == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------
// The command line.

// What the command line asks for.
struct HostRequest {
    std::string command;     // "export", "info", "about", "settings"; "export" for dropped pictures too
    std::string pluginFile;  // --plugin FILE; empty: the plug-in beside the program
    ConvertRequest convert;
    std::string destination;  // the one-picture form's name; empty for a run of many
    LONG stopAt = -1;         // the progress report that answers "stop" in the one-picture form; -1: none
    bool dropped = false;     // pictures were dropped on the program
};

// `export`'s arguments: the pictures and the options among them.
static int parseExport(const std::vector<std::string>& args, HostRequest* request)
{
    std::vector<std::string> names;
    bool toGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--to") {
            if (toGiven || i + 1 == args.size())
                return usageError(toGiven ? "--to is given twice" : "--to needs a folder after it");
            request->convert.toFolder = args[++i];
            toGiven = true;
        } else if (args[i] == "--palette") {
            request->convert.palettes = true;
        } else if (args[i] == "--transparent") {
            if (request->convert.transparency.rule != TRANSPARENT_AS_SAID || i + 1 == args.size())
                return usageError("--transparent takes corner or a colour's number, once");
            const std::string& which = args[++i];
            char* end = NULL;
            const long entry = strtol(which.c_str(), &end, 10);
            if (which == "corner")
                request->convert.transparency.rule = TRANSPARENT_CORNER;
            else if (!which.empty() && *end == '\0' && entry >= 0 && entry <= 255)
                request->convert.transparency = {TRANSPARENT_ENTRY, (int)entry};
            else
                return usageError("--transparent takes corner or a colour's number from 0 to 255, not ", which.c_str());
        } else if ((args[i] == "--stop-at-start" || args[i] == "--stop-at-end") && request->stopAt < 0) {
            request->stopAt = args[i] == "--stop-at-start" ? 0 : 1;
        } else if (args[i].compare(0, 2, "--") == 0) {
            return usageError("export does not take ", args[i].c_str());
        } else {
            names.push_back(args[i]);
        }
    }
    if (names.empty())
        return usageError("export needs at least one picture");
    // The one-picture form: a picture and the name to save it under (a
    // second name that ends in a picture's extension is a second picture).
    if (names.size() == 2 && !toGiven && !request->convert.palettes && !hasPictureExtension(names[1])) {
        request->destination = names[1];
        names.pop_back();
    } else if (request->stopAt >= 0) {
        return usageError("--stop-at-start and --stop-at-end go with export PICTURE.bmp DESTINATION only");
    }
    request->convert.pictures = names;
    return 0;
}

static bool isFile(const std::string& name)
{
    DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads the command line into `request`. Returns -1 when the plug-in has
// work to do, or the exit status of a command that is done without it.
static int parse(std::vector<std::string> args, HostRequest* request)
{
    if (!args.empty() && args[0] == "--plugin") {
        if (args.size() < 2)
            return usageError("--plugin needs the plug-in's file name");
        if (pluginBuiltIn())
            return usageError("--plugin cannot load another copy: this porvane-host has the plug-in built in "
                              "(the native build)");
        request->pluginFile = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return usageError("no command given");
    request->command = args[0];
    args.erase(args.begin());

    if (request->command == "--help" || request->command == "help") {
        if (!args.empty())
            return usageError("--help takes nothing after it");
        say("%s", helpText);
        return 0;
    }
    if (request->command == "palette-mode") {
        if (!request->pluginFile.empty())
            return usageError("palette-mode does not load the plug-in: --plugin has no place here");
        if (args.size() > 1 || (args.size() == 1 && args[0] != "on" && args[0] != "off"))
            return usageError("palette-mode takes on, off or nothing");
        return paletteMode(args.empty() ? NULL : args[0].c_str());
    }
    if (request->command == "export")
        return parseExport(args, request) != 0 ? 2 : -1;
    if (request->command == "info" || request->command == "about" || request->command == "settings") {
        if (!args.empty())
            return usageError((request->command + " takes nothing after it: ").c_str(), args[0].c_str());
        return -1;
    }
    if (isFile(request->command)) {  // pictures dropped on the program
        request->convert.pictures.push_back(request->command);
        request->convert.pictures.insert(request->convert.pictures.end(), args.begin(), args.end());
        request->convert.palettes = true;
        request->command = "export";
        request->dropped = true;
        return -1;
    }
    return usageError("no such command or picture: ", request->command.c_str());
}

static int run(const HostRequest& request)
{
    Plugin plugin;
    std::string problem;
    if (!loadPlugin(request.pluginFile.empty() ? NULL : request.pluginFile.c_str(), &plugin, &problem)) {
        complain("porvane-host: %s\n", problem.c_str());
        return 2;
    }
    int status;
    if (request.command == "info")
        status = showIdentity(plugin);
    else if (request.command == "about")
        status = configure(plugin, 0);
    else if (request.command == "settings")
        status = configure(plugin, 1);
    else if (!request.destination.empty())
        status = exportAsHost(plugin, request.convert.pictures[0], request.destination, request.convert.transparency,
                              request.stopAt);
    else
        status = convertPictures(plugin, request.convert);
    unloadPlugin(&plugin);
    return status;
}

int main(int argc, char** argv)
{
    HostRequest request;
    int status = parse(std::vector<std::string>(argv + 1, argv + argc), &request);
    if (status < 0)
        status = run(request);
    // Pictures dropped on the program in Explorer: its window would close
    // before anyone could read it. (Run from a terminal, it shares the
    // terminal's console, and returns at once.)
    if (request.dropped && ownsConsoleWindow())
        waitForEnter();
    return status;
}
