#include "command_line.h"

#include <stdlib.h>

#include <algorithm>
#include <set>

#include "../../cel/cel_format.h"
#include "../kiss_files/kiss_configuration.h"
#include "../pictures/picture_list.h"
#include "../pictures/read_picture.h"

namespace {

unsigned bit(Command command)
{
    return 1u << command;
}

const unsigned EXPORT = 1u << COMMAND_EXPORT, DOLL = 1u << COMMAND_DOLL;
const unsigned PREVIEW = 1u << COMMAND_PREVIEW, UNPACK = 1u << COMMAND_UNPACK;

enum OptionId {
    OPTION_TO,
    OPTION_PALETTE,
    OPTION_SHARED_PALETTE,
    OPTION_DITHER,
    OPTION_TRANSPARENT,
    OPTION_STOP_AT_START,
    OPTION_STOP_AT_END,
    OPTION_CNF,
    OPTION_BACKGROUND,
    OPTION_LZH,
    OPTION_SET,
};

// What follows an option: nothing, a name, or a value read by the option.
enum OptionValue { VALUE_NONE, VALUE_NAME, VALUE_TRANSPARENCY, VALUE_COLOUR, VALUE_SET };

struct OptionRow {
    OptionId id;
    const wchar_t* name;
    unsigned commands;    // the commands that take it
    OptionValue value;
    MessageId badValue;   // what to say when the value is missing or cannot be read
};

// Every option of every command.
const OptionRow OPTIONS[] = {
    {OPTION_TO, L"--to", EXPORT | DOLL | UNPACK, VALUE_NAME, MSG_NEEDS_FOLDER_AFTER_TO},
    {OPTION_PALETTE, L"--palette", EXPORT, VALUE_NONE, MSG_USAGE_PROBLEM},
    {OPTION_SHARED_PALETTE, L"--shared-palette", EXPORT | DOLL, VALUE_NAME, MSG_SHARED_PALETTE_NEEDS_NAME},
    {OPTION_DITHER, L"--dither", EXPORT | DOLL, VALUE_NONE, MSG_USAGE_PROBLEM},
    {OPTION_TRANSPARENT, L"--transparent", EXPORT | DOLL, VALUE_TRANSPARENCY, MSG_TRANSPARENT_TAKES},
    {OPTION_STOP_AT_START, L"--stop-at-start", EXPORT, VALUE_NONE, MSG_USAGE_PROBLEM},
    {OPTION_STOP_AT_END, L"--stop-at-end", EXPORT, VALUE_NONE, MSG_USAGE_PROBLEM},
    {OPTION_CNF, L"--cnf", DOLL, VALUE_NAME, MSG_CNF_NEEDS_NAME},
    {OPTION_BACKGROUND, L"--background", DOLL, VALUE_COLOUR, MSG_BACKGROUND_TAKES},
    {OPTION_LZH, L"--lzh", DOLL, VALUE_NAME, MSG_LZH_NEEDS_NAME},
    {OPTION_SET, L"--set", PREVIEW, VALUE_SET, MSG_SET_TAKES},
};

struct CommandRow {
    Command command;
    const wchar_t* word;
};

const CommandRow COMMANDS[] = {
    {COMMAND_HELP, L"--help"},   {COMMAND_HELP, L"help"},         {COMMAND_EXPORT, L"export"},
    {COMMAND_DOLL, L"doll"},     {COMMAND_INFO, L"info"},         {COMMAND_ABOUT, L"about"},
    {COMMAND_SETTINGS, L"settings"}, {COMMAND_PALETTE_MODE, L"palette-mode"},
    {COMMAND_PACK, L"pack"},     {COMMAND_CHECK, L"check"},       {COMMAND_PREVIEW, L"preview"},
    {COMMAND_UNPACK, L"unpack"},
};

UsageProblem usage(MessageId message, std::vector<std::wstring> inserts = {})
{
    UsageProblem problem;
    problem.found = true;
    problem.message = message;
    problem.inserts = std::move(inserts);
    return problem;
}

const OptionRow* findOption(const std::wstring& name)
{
    for (const OptionRow& row : OPTIONS)
        if (name == row.name)
            return &row;
    return NULL;
}

// Edits (insertions, deletions, changes) that make `a` into `b`.
size_t editDistance(const std::wstring& a, const std::wstring& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The command's own option nearest to a mistyped one, when it is near enough
// to be what was meant; empty otherwise.
std::wstring nearestOption(const std::wstring& typed, Command command)
{
    const size_t nearEnough = 2;
    std::wstring nearest;
    size_t best = nearEnough + 1;
    for (const OptionRow& row : OPTIONS) {
        const size_t distance = editDistance(typed, row.name);
        if ((row.commands & bit(command)) && distance < best)
            best = distance, nearest = row.name;
    }
    return nearest;
}

// --transparent corner, or N from 0 to 255.
bool readTransparency(const std::wstring& value, TransparencyChoice* choice)
{
    if (value == L"corner") {
        choice->rule = TRANSPARENT_CORNER;
        return true;
    }
    wchar_t* end = NULL;
    const long entry = wcstol(value.c_str(), &end, 10);
    if (value.empty() || *end != L'\0' || entry < 0 || entry >= KISS_PALETTE_COLOURS)
        return false;
    *choice = {TRANSPARENT_ENTRY, (int)entry};
    return true;
}

// RRGGBB, with the # that paint programs copy with it, or without.
bool readColour(std::wstring value, uint32_t* colour)
{
    if (!value.empty() && value[0] == L'#')
        value.erase(0, 1);
    if (value.size() != 6 || value.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
        return false;
    *colour = (uint32_t)wcstoul(value.c_str(), NULL, 16);
    return true;
}

// A set's number, 0 to 9.
bool readSet(const std::wstring& value, int* set)
{
    wchar_t* end = NULL;
    const long number = wcstol(value.c_str(), &end, 10);
    if (value.empty() || *end != L'\0' || number < 0 || number >= KISS_SETS)
        return false;
    *set = (int)number;
    return true;
}

// The largest value an option takes, which its complaint names.
std::wstring largestValue(const OptionRow& option)
{
    return number(option.id == OPTION_SET ? KISS_SETS - 1 : KISS_PALETTE_COLOURS - 1);
}

// Puts an option's value in its place. False when the value cannot be read.
bool apply(const OptionRow& option, const std::wstring& value, Command command, HostRequest* request)
{
    ConvertRequest& convert = request->convert;
    DollRequest& doll = request->doll;
    const bool forDoll = command == COMMAND_DOLL;
    switch (option.id) {
    case OPTION_TO:
        (command == COMMAND_UNPACK ? request->unpack.toFolder : forDoll ? doll.toFolder : convert.toFolder) = value;
        return true;
    case OPTION_PALETTE: convert.palettes = true; return true;
    case OPTION_SHARED_PALETTE: (forDoll ? doll.sharedPalette : convert.sharedPalette) = value; return true;
    case OPTION_DITHER: (forDoll ? doll.dither : convert.dither) = true; return true;
    case OPTION_TRANSPARENT: return readTransparency(value, forDoll ? &doll.transparency : &convert.transparency);
    case OPTION_STOP_AT_START: request->stopAt = 0; return true;
    case OPTION_STOP_AT_END: request->stopAt = 1; return true;
    case OPTION_CNF: doll.configuration = value; return true;
    case OPTION_BACKGROUND: return readColour(value, &doll.background);
    case OPTION_LZH: doll.archive = value; return true;
    case OPTION_SET: return readSet(value, &request->preview.set);
    }
    return false;
}

// The options and names after a command that takes them.
UsageProblem parseOptions(Command command, const std::wstring& word, const std::vector<std::wstring>& args,
                          HostRequest* request, std::vector<std::wstring>* names)
{
    std::set<OptionId> given;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].compare(0, 2, L"--") != 0) {
            names->push_back(args[i]);
            continue;
        }
        const OptionRow* option = findOption(args[i]);
        if (option == NULL || !(option->commands & bit(command))) {
            const std::wstring nearest = nearestOption(args[i], command);
            return nearest.empty() || nearest == args[i]
                       ? usage(MSG_DOES_NOT_TAKE, {word, args[i]})
                       : usage(MSG_DOES_NOT_TAKE_DID_YOU_MEAN, {word, args[i], nearest});
        }
        const bool stopAt = option->id == OPTION_STOP_AT_START || option->id == OPTION_STOP_AT_END;
        if (!given.insert(stopAt ? OPTION_STOP_AT_START : option->id).second)
            return usage(MSG_GIVEN_TWICE, {args[i]});
        std::wstring value;
        if (option->value != VALUE_NONE) {
            // A value is never empty and never an option.
            if (i + 1 == args.size() || args[i + 1].empty() ||
                (args[i + 1].compare(0, 2, L"--") == 0 && option->value == VALUE_NAME))
                return usage(option->badValue, {i + 1 < args.size() ? args[i + 1] : L"", largestValue(*option)});
            value = args[++i];
        }
        if (!apply(*option, value, command, request))
            return usage(option->badValue, {value, largestValue(*option)});
    }
    return UsageProblem();
}

UsageProblem parseExport(const std::vector<std::wstring>& args, HostRequest* request)
{
    ConvertRequest& convert = request->convert;
    std::vector<std::wstring> names;
    UsageProblem problem = parseOptions(COMMAND_EXPORT, L"export", args, request, &names);
    if (problem.found)
        return problem;
    if (names.empty())
        return usage(MSG_EXPORT_NEEDS_PICTURE);
    if (convert.palettes && !convert.sharedPalette.empty())
        return usage(MSG_SHARED_PALETTE_AND_PALETTE);
    // The one-picture form: a picture and the name to save it under. A
    // second name that holds * or ?, or ends in a picture's extension, is a
    // second picture; one that is a folder is written into, when the
    // command runs.
    const bool onePicture = names.size() == 2 && convert.toFolder.empty() && !convert.palettes &&
                            convert.sharedPalette.empty() && !hasWildcard(names[1]) &&
                            !hasPictureExtension(names[1]);
    if (onePicture) {
        request->destination = names[1];
        names.pop_back();
    } else if (request->stopAt >= 0) {
        return usage(MSG_STOP_AT_ONE_PICTURE_ONLY);
    }
    convert.pictures = names;
    return UsageProblem();
}

UsageProblem parseDoll(const std::vector<std::wstring>& args, HostRequest* request)
{
    UsageProblem problem = parseOptions(COMMAND_DOLL, L"doll", args, request, &request->doll.layers);
    if (problem.found)
        return problem;
    if (request->doll.layers.empty())
        return usage(MSG_DOLL_NEEDS_LAYERS);
    if (request->doll.toFolder.empty())
        return usage(MSG_DOLL_NEEDS_TO);
    return UsageProblem();
}

// pack FOLDER NAME.lzh, check DOLL, preview DOLL OUT.png [--set N], unpack DOLL --to FOLDER.
UsageProblem parseDollFiles(Command command, const std::wstring& word, const std::vector<std::wstring>& args,
                            HostRequest* request)
{
    std::vector<std::wstring> names;
    UsageProblem problem = parseOptions(command, word, args, request, &names);
    if (problem.found)
        return problem;
    switch (command) {
    case COMMAND_PACK:
        if (names.size() != 2)
            return usage(MSG_PACK_TAKES);
        request->pack = {names[0], names[1]};
        break;
    case COMMAND_PREVIEW:
        if (names.size() != 2)
            return usage(MSG_PREVIEW_TAKES);
        request->preview.doll = names[0], request->preview.picture = names[1];
        break;
    default:  // check, unpack
        if (names.size() != 1)
            return usage(MSG_TAKES_ONE_DOLL, {word});
        if (command == COMMAND_UNPACK && request->unpack.toFolder.empty())
            return usage(MSG_UNPACK_NEEDS_TO);
        (command == COMMAND_UNPACK ? request->unpack.doll : request->check.doll) = names[0];
        break;
    }
    return UsageProblem();
}

}  // namespace

std::wstring commandWord(Command command)
{
    for (const CommandRow& row : COMMANDS)
        if (row.command == command)
            return row.word;
    return L"";
}

std::vector<std::wstring> optionsOf(Command command)
{
    std::vector<std::wstring> names;
    for (const OptionRow& row : OPTIONS)
        if (row.commands & bit(command))
            names.push_back(row.name);
    return names;
}

UsageProblem parseCommandLine(const std::vector<std::wstring>& given, bool pluginBuiltIn, HostRequest* request)
{
    *request = HostRequest();
    std::vector<std::wstring> args = given;
    if (!args.empty() && args[0] == L"--plugin") {
        if (args.size() < 2 || args[1].empty())
            return usage(MSG_PLUGIN_NEEDS_FILE);
        if (pluginBuiltIn)
            return usage(MSG_PLUGIN_BUILT_IN);
        request->pluginFile = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return UsageProblem();  // a double click, or a command prompt with nothing after the name
    const std::wstring word = args[0];
    args.erase(args.begin());
    request->command = COMMAND_DROPPED;
    for (const CommandRow& row : COMMANDS)
        if (word == row.word)
            request->command = row.command;

    switch (request->command) {
    case COMMAND_EXPORT:
        return parseExport(args, request);
    case COMMAND_DOLL:
        return parseDoll(args, request);
    case COMMAND_PACK:
    case COMMAND_CHECK:
    case COMMAND_PREVIEW:
    case COMMAND_UNPACK:
        return parseDollFiles(request->command, word, args, request);
    case COMMAND_PALETTE_MODE:
        if (!request->pluginFile.empty())
            return usage(MSG_PALETTE_MODE_NO_PLUGIN);
        if (args.size() > 1 || (args.size() == 1 && args[0] != L"on" && args[0] != L"off"))
            return usage(MSG_PALETTE_MODE_TAKES);
        request->paletteMode = args.empty() ? L"" : args[0];
        return UsageProblem();
    case COMMAND_HELP:
    case COMMAND_INFO:
    case COMMAND_ABOUT:
    case COMMAND_SETTINGS:
        if (!args.empty())
            return usage(MSG_TAKES_NOTHING_AFTER, {word, args[0]});
        return UsageProblem();
    case COMMAND_DROPPED:
        // Pictures or folders dropped on the program; whether they are
        // there is found when they are converted.
        if (word.compare(0, 1, L"-") == 0)
            return usage(MSG_NO_SUCH_COMMAND, {word});
        request->convert.pictures.push_back(word);
        request->convert.pictures.insert(request->convert.pictures.end(), args.begin(), args.end());
        request->convert.palettes = true;
        return UsageProblem();
    case COMMAND_NONE:
        break;
    }
    return UsageProblem();
}
