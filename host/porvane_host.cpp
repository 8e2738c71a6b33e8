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
#include <string.h>
#include <string>
#include <vector>

#include "../settings/settings_store.h"
#include "console_text.h"
#include "convert_command.h"
#include "file_access.h"
#include "path_names.h"
#include "plugin_loader.h"
#include "source_picture.h"

static const char helpText[] =
    "porvane-host saves BMP pictures as KiSS cels through " PORVANE_XPI ", as the host picture program does.\n"
    "\n"
    "  porvane-host export PICTURE.bmp... [--to FOLDER] [--palette]\n"
    "      Saves each picture as NAME.cel, in FOLDER (made if missing) or beside the picture.\n"
    "      --palette also saves NAME.kcf, the picture's colours, for every picture of 256 colours or fewer.\n"
    "      e.g.  porvane-host export arm-left.bmp arm-right.bmp --to cels --palette\n"
    "  porvane-host export PICTURE.bmp DESTINATION [--stop-at-start | --stop-at-end]\n"
    "      Saves one picture under the name given, as the host would, showing the plug-in's progress\n"
    "      reports; --stop-at-... answers \"stop\" to one of them.\n"
    "      e.g.  porvane-host export face.bmp face-new.cel\n"
    "  porvane-host PICTURE.bmp...\n"
    "      What dropping pictures on porvane-host.exe does: export PICTURE.bmp... --palette.\n"
    "      e.g.  porvane-host arm-left.bmp\n"
    "  porvane-host info            the plug-in's four identity strings\n"
    "  porvane-host about           the plug-in's About box\n"
    "  porvane-host settings        the plug-in's settings dialog, then the palette mode it stored\n"
    "  porvane-host palette-mode [on | off]\n"
    "      Shows or sets palette mode: when on, a picture of 256 x 1 pixels in 24-bit colour is\n"
    "      saved as a KiSS palette (.kcf) instead of a cel.\n"
    "      e.g.  porvane-host palette-mode off\n"
    "  porvane-host --help          this text\n"
    "\n"
    "porvane-host reads BMP pictures of 1, 4, 8, 24 and 32 bits, run-length compressed ones (RLE8, RLE4), and\n"
    "16-bit ones (turned into 24 bits). It finds " PORVANE_XPI " in its own folder; put --plugin FILE before the\n"
    "command to load another copy.\n";

static int usageError(const char* problem, const char* detail = "")
{
    complain("porvane-host: %s%s\nporvane-host --help lists the commands.\n", problem, detail);
    return 2;
}

// ---------------------------------------------------------------------------
// Palette mode, read and written as the plug-in does.

static bool storedPaletteMode()
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    BYTE value[4] = {0, 0, 0, 0};
    DWORD type = 0, size = sizeof value;
    bool read = RegQueryValueExA(key, PALETTE_SETTING_NAME, NULL, &type, value, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && value[0] == 1 && value[1] == 0 && value[2] == 0 && value[3] == 0;
}

static const char* paletteModeInWords(bool on)
{
    return on ? "on (a picture of 256 x 1 pixels in 24-bit colour is saved as a KiSS palette)"
              : "off (every picture is saved as a cel)";
}

static int paletteMode(const char* change)
{
    if (change != NULL) {
        HKEY key = NULL;
        DWORD value = strcmp(change, "on") == 0 ? 1 : 0;
        LONG result = RegCreateKeyA(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, &key);
        if (result == ERROR_SUCCESS) {
            result = RegSetValueExA(key, PALETTE_SETTING_NAME, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
            RegCloseKey(key);
        }
        if (result != ERROR_SUCCESS) {
            complain("porvane-host: cannot store the setting (Windows error %ld)\n", (long)result);
            return 1;
        }
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

// Which progress report (0 at the start, 1 at the end) answers "stop"; -1: none.
static LONG stopAtProgress = -1;

static LONG WINAPI reportProgress(LONG numerator, LONG denominator, LONG /*userValue*/)
{
    say("  progress %ld/%ld\n", (long)numerator, (long)denominator);
    return numerator == stopAtProgress ? 1 : 0;
}

// One picture under the name given, as the host saves it.
static int exportOne(const Plugin& plugin, const std::string& picturePath, const std::string& destination)
{
    SourcePicture picture;
    std::string reason;
    if (!openSourcePicture(picturePath, &picture, &reason)) {
        complain("%s: %s\n", picturePath.c_str(), reason.c_str());
        return 2;
    }
    if (sameFile(identifyFile(picturePath.c_str()), identifyFile(destination.c_str())))
        reason = destination + " is the picture itself: give the cel another name";
    else if (destination.size() >= MAX_PATH)
        reason = destination + ": the name is too long (at most 259 characters)";
    if (!reason.empty()) {
        complain("%s: not written: %s\n", picturePath.c_str(), reason.c_str());
        closeSourcePicture(&picture);
        return 2;
    }

    say("%s: %s\n", picturePath.c_str(), describePicture(picture.layout).c_str());
    char path[MAX_PATH + 8] = "";  // the plug-in may add four characters (palette mode)
    destination.copy(path, destination.size());
    LONG status = plugin.createPicture(path, 0, &picture.handover.header, &picture.handover.bits,
                                       &picture.handover.info, reportProgress, 0);
    closeSourcePicture(&picture);
    if (status == EXPORT_OK)
        say("  written (0): %s\n", path);
    else
        say("  not written (%ld): %s: %s\n", (long)status, path, exportStatusInWords(status, path).c_str());
    return status == EXPORT_OK ? 0 : 1;
}

// ---------------------------------------------------------------------------
// The command line.

// `export`'s arguments: the pictures and the options among them.
static int parseExport(const std::vector<std::string>& args, ConvertRequest* request, std::string* destination)
{
    std::vector<std::string> names;
    bool toGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--to") {
            if (toGiven || i + 1 == args.size())
                return usageError(toGiven ? "--to is given twice" : "--to needs a folder after it");
            request->toFolder = args[++i];
            toGiven = true;
        } else if (args[i] == "--palette") {
            request->palettes = true;
        } else if ((args[i] == "--stop-at-start" || args[i] == "--stop-at-end") && stopAtProgress < 0) {
            stopAtProgress = args[i] == "--stop-at-start" ? 0 : 1;
        } else if (args[i].compare(0, 2, "--") == 0) {
            return usageError("export does not take ", args[i].c_str());
        } else {
            names.push_back(args[i]);
        }
    }
    if (names.empty())
        return usageError("export needs at least one picture");
    // The one-picture form: a picture and the name to save it under (a
    // second name that ends in .bmp is a second picture).
    if (names.size() == 2 && !toGiven && !request->palettes && !hasBmpExtension(names[1])) {
        *destination = names[1];
        names.pop_back();
    } else if (stopAtProgress >= 0) {
        return usageError("--stop-at-start and --stop-at-end go with export PICTURE.bmp DESTINATION only");
    }
    request->pictures = names;
    return 0;
}

static bool isFile(const std::string& name)
{
    DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Set when pictures were dropped on the program.
static bool dropped = false;

static int run(std::vector<std::string> args)
{
    std::string pluginFile;  // empty: the plug-in beside the program
    if (!args.empty() && args[0] == "--plugin") {
        if (args.size() < 2)
            return usageError("--plugin needs the plug-in's file name");
        if (pluginBuiltIn())
            return usageError("--plugin cannot load another copy: this porvane-host has the plug-in built in "
                              "(the native build)");
        pluginFile = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return usageError("no command given");
    const std::string command = args[0];
    args.erase(args.begin());

    if (command == "--help" || command == "help") {
        if (!args.empty())
            return usageError("--help takes nothing after it");
        say("%s", helpText);
        return 0;
    }
    if (command == "palette-mode") {
        if (!pluginFile.empty())
            return usageError("palette-mode does not load the plug-in: --plugin has no place here");
        if (args.size() > 1 || (args.size() == 1 && args[0] != "on" && args[0] != "off"))
            return usageError("palette-mode takes on, off or nothing");
        return paletteMode(args.empty() ? NULL : args[0].c_str());
    }

    ConvertRequest request{{}, "", false};
    std::string destination;
    if (command == "export") {
        if (int status = parseExport(args, &request, &destination))
            return status;
    } else if (command == "info" || command == "about" || command == "settings") {
        if (!args.empty())
            return usageError((command + " takes nothing after it: ").c_str(), args[0].c_str());
    } else if (isFile(command)) {  // pictures dropped on the program
        request.pictures.push_back(command);
        request.pictures.insert(request.pictures.end(), args.begin(), args.end());
        request.palettes = true;
        dropped = true;
    } else {
        return usageError("no such command or picture: ", command.c_str());
    }

    Plugin plugin;
    std::string problem;
    if (!loadPlugin(pluginFile.empty() ? NULL : pluginFile.c_str(), &plugin, &problem)) {
        complain("porvane-host: %s\n", problem.c_str());
        return 2;
    }
    int status;
    if (command == "info")
        status = showIdentity(plugin);
    else if (command == "about")
        status = configure(plugin, 0);
    else if (command == "settings")
        status = configure(plugin, 1);
    else if (!destination.empty())
        status = exportOne(plugin, request.pictures[0], destination);
    else
        status = convertPictures(plugin, request);
    unloadPlugin(&plugin);
    return status;
}

int main(int argc, char** argv)
{
    int status = run(std::vector<std::string>(argv + 1, argv + argc));
    // Pictures dropped on the program in Explorer: its window would close
    // before anyone could read it. (Run from a terminal, it shares the
    // terminal's console, and returns at once.)
    if (dropped && ownsConsoleWindow())
        waitForEnter();
    return status;
}
