// porvane-host: a reference host for porvane.xpi.
//
// It does what the host picture program does: loads the plug-in, reads its
// four identity strings, hands it a picture (here read from a BMP file) in
// movable memory handles with a progress callback, and opens its About box
// and settings dialog as the host's menu does. It also shows and sets the
// palette-mode setting, so that palette mode can be tried without the dialog.
//
//   porvane-host [--plugin FILE] info
//   porvane-host [--plugin FILE] export PICTURE.bmp DESTINATION [--stop-at-start | --stop-at-end]
//   porvane-host [--plugin FILE] about
//   porvane-host [--plugin FILE] settings
//   porvane-host palette-mode [on | off]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "bmp_picture.h"

typedef LONG(WINAPI* ProgressFn)(LONG, LONG, LONG);
typedef LONG(WINAPI* GetPluginInfoFn)(LONG, LPSTR, LONG);
typedef LONG(WINAPI* CreatePictureFn)(LPSTR, DWORD, HLOCAL*, HLOCAL*, void*, ProgressFn, LONG);
typedef LONG(WINAPI* ConfigurationDlgFn)(HWND, LONG);

static const char settingsKey[] = "Software\\brovald\\porvane";
static const char paletteValue[] = "ChengePallet";

// Which progress report (0 at the start, 1 at the end) answers "stop"; -1: none.
static LONG stopAtProgress = -1;

static LONG WINAPI reportProgress(LONG numerator, LONG denominator, LONG /*userValue*/)
{
    printf("  progress %ld/%ld\n", (long)numerator, (long)denominator);
    return numerator == stopAtProgress ? 1 : 0;
}

static const char* statusInWords(LONG status)
{
    switch (status) {
    case 0: return "written";
    case 101: return "stopped by the progress callback";
    case 104: return "out of memory, or the picture is too large for a cel";
    case 109: return "the file cannot be created or written";
    default: return "unknown status";
    }
}

static int showIdentity(HMODULE plugin)
{
    GetPluginInfoFn getInfo = (GetPluginInfoFn)GetProcAddress(plugin, "GetPluginInfo");
    if (getInfo == NULL)
        return 2;
    static const char* const labels[] = {"interface", "description", "format", "extension"};
    for (LONG index = 0; index < 4; ++index) {
        char text[260] = "";
        getInfo(index, text, sizeof text);
        printf("%-12s %s\n", labels[index], text);
    }
    return 0;
}

static int exportPicture(HMODULE plugin, const char* picturePath, const char* destination)
{
    CreatePictureFn createPicture = (CreatePictureFn)GetProcAddress(plugin, "CreatePicture");
    if (createPicture == NULL)
        return 2;
    BmpPicture picture;
    std::string error;
    if (!loadBmpPicture(picturePath, &picture, &error)) {
        fprintf(stderr, "%s: %s\n", picturePath, error.c_str());
        return 2;
    }
    // The plug-in may lengthen the name by four characters (palette mode).
    char path[MAX_PATH + 8] = "";
    if (strlen(destination) >= MAX_PATH) {
        fprintf(stderr, "%s: the destination name is too long\n", destination);
        freeBmpPicture(&picture);
        return 2;
    }
    strcpy(path, destination);
    unsigned char info[32] = {0};  // the picture information record: colour depth at offset 20
    info[20] = (unsigned char)(picture.depth & 0xFF);
    info[21] = (unsigned char)(picture.depth >> 8);

    printf("%s: %d x %d, %d bits\n", picturePath, picture.width, picture.height, picture.depth);
    LONG status = createPicture(path, 0, &picture.header, &picture.bits, info, reportProgress, 0);
    printf("  %s (%ld): %s\n", statusInWords(status), (long)status, path);
    freeBmpPicture(&picture);
    return status == 0 ? 0 : 1;
}

static int configure(HMODULE plugin, LONG function)
{
    ConfigurationDlgFn configurationDlg = (ConfigurationDlgFn)GetProcAddress(plugin, "ConfigurationDlg");
    if (configurationDlg == NULL)
        return 2;
    LONG result = configurationDlg(NULL, function);
    printf("ConfigurationDlg(%ld) answered %ld\n", (long)function, (long)result);
    return result == 0 ? 0 : 1;
}

static int paletteMode(const char* change)
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_CURRENT_USER, settingsKey, &key) != ERROR_SUCCESS) {
        fprintf(stderr, "cannot open the settings key\n");
        return 2;
    }
    LONG result = ERROR_SUCCESS;
    if (change != NULL) {
        DWORD value = strcmp(change, "on") == 0 ? 1 : 0;
        result = RegSetValueExA(key, paletteValue, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    }
    DWORD type = 0, value = 0, size = sizeof value;
    bool stored = RegQueryValueExA(key, paletteValue, NULL, &type, (BYTE*)&value, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        fprintf(stderr, "cannot store the setting\n");
        return 2;
    }
    printf("palette mode: %s\n", stored && value == 1 ? "on" : "off");
    return 0;
}

static int usage()
{
    fprintf(stderr,
            "usage: porvane-host [--plugin FILE] info\n"
            "       porvane-host [--plugin FILE] export PICTURE.bmp DESTINATION [--stop-at-start | --stop-at-end]\n"
            "       porvane-host [--plugin FILE] about | settings\n"
            "       porvane-host palette-mode [on | off]\n");
    return 2;
}

int main(int argc, char** argv)
{
    const char* pluginFile = "porvane.xpi";
    int arg = 1;
    if (arg + 1 < argc && strcmp(argv[arg], "--plugin") == 0) {
        pluginFile = argv[arg + 1];
        arg += 2;
    }
    if (arg >= argc)
        return usage();
    std::string command = argv[arg++];
    if (command == "palette-mode") {
        if (arg < argc && strcmp(argv[arg], "on") != 0 && strcmp(argv[arg], "off") != 0)
            return usage();
        return paletteMode(arg < argc ? argv[arg] : NULL);
    }

    HMODULE plugin = LoadLibraryA(pluginFile);
    if (plugin == NULL) {
        fprintf(stderr, "cannot load %s\n", pluginFile);
        return 2;
    }
    int result;
    if (command == "info") {
        result = showIdentity(plugin);
    } else if (command == "export" && argc - arg >= 2) {
        if (argc - arg == 3)
            stopAtProgress = strcmp(argv[arg + 2], "--stop-at-start") == 0 ? 0
                             : strcmp(argv[arg + 2], "--stop-at-end") == 0 ? 1 : -1;
        result = exportPicture(plugin, argv[arg], argv[arg + 1]);
    } else if (command == "about") {
        result = configure(plugin, 0);
    } else if (command == "settings") {
        result = configure(plugin, 1);
    } else {
        result = usage();
    }
    FreeLibrary(plugin);
    return result;
}
