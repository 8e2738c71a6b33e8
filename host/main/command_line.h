// The command line, read into one request without looking at the disk: what
// the names stand for (files, folders, wildcards) is the commands' business
// when they run. Every option is a row of one table (command_line.cpp), which
// says which commands take it, what value follows it and how the help names
// it; the help text is checked against the same table.
#ifndef PORVANE_COMMAND_LINE_H
#define PORVANE_COMMAND_LINE_H

#include <string>
#include <vector>

#include "../commands/check_command.h"
#include "../commands/doll_command.h"
#include "../commands/export_command.h"
#include "../commands/pack_command.h"
#include "../commands/preview_command.h"
#include "../commands/unpack_command.h"
#include "../words/messages.h"

enum Command {
    COMMAND_NONE,          // nothing after the program's name: a double click
    COMMAND_HELP,
    COMMAND_EXPORT,
    COMMAND_DOLL,
    COMMAND_DROPPED,       // names that are not a command: what was dropped on the program
    COMMAND_INFO,
    COMMAND_ABOUT,
    COMMAND_SETTINGS,
    COMMAND_PALETTE_MODE,
    COMMAND_PACK,          // a finished doll: shared, checked, previewed, taken apart
    COMMAND_CHECK,
    COMMAND_PREVIEW,
    COMMAND_UNPACK,
};

// What the command line asks for.
struct HostRequest {
    Command command = COMMAND_NONE;
    std::wstring pluginFile;   // --plugin FILE; empty: the plug-in beside the program
    ConvertRequest convert;    // export, and what was dropped
    DollRequest doll;
    std::wstring destination;  // export's one-picture form: the name to save under; empty for a run of many
    LONG stopAt = -1;          // the one-picture form's progress report that answers "stop"; -1: none
    std::wstring paletteMode;  // palette-mode: L"on", L"off", or empty to show it
    PackRequest pack;
    CheckRequest check;
    PreviewRequest preview;
    UnpackRequest unpack;
};

// Why a command line cannot be taken: the message, and what it puts in.
struct UsageProblem {
    bool found = false;
    MessageId message = MSG_USAGE_PROBLEM;
    std::vector<std::wstring> inserts;
};

// Reads `args` (the arguments after the program's name). `pluginBuiltIn`:
// this program has the plug-in linked in (the native build), so --plugin
// cannot load another.
UsageProblem parseCommandLine(const std::vector<std::wstring>& args, bool pluginBuiltIn, HostRequest* request);

// The options a command takes, as the help should name them ("--to"), for
// the check of the help against the table.
std::vector<std::wstring> optionsOf(Command command);
// The word that names the command on the command line ("export").
std::wstring commandWord(Command command);

#endif
