// The command line as porvane-host reads it: a table of command lines and
// what each asks for, or the usage problem it is; nothing on the disk is
// looked at. And the help, checked against the option table.
#include <gtest/gtest.h>

#include "../../host/main/command_line.h"

namespace {

struct Row {
    std::vector<std::wstring> args;
    MessageId problem;  // MSG_USAGE_PROBLEM: none
    std::vector<std::wstring> inserts;  // the problem's, or empty
    std::function<bool(const HostRequest&)> asks;  // what the request must hold when there is no problem
};

const MessageId NONE = MSG_USAGE_PROBLEM;

TEST(CommandLine, EachLineIsARequestOrAUsageProblem)
{
    const std::vector<Row> rows = {
        {{}, NONE, {}, [](const HostRequest& r) { return r.command == COMMAND_NONE; }},
        {{L"export", L"a.bmp", L"a.cel"}, NONE, {},
         [](const HostRequest& r) { return r.destination == L"a.cel" && r.convert.pictures.size() == 1; }},
        // A second name that is a folder is the destination too; the command writes into it.
        {{L"export", L"a.bmp", L"dolls"}, NONE, {}, [](const HostRequest& r) { return r.destination == L"dolls"; }},
        {{L"export", L"a.bmp", L"b.PNG"}, NONE, {},
         [](const HostRequest& r) { return r.destination.empty() && r.convert.pictures.size() == 2; }},
        {{L"export", L"a.bmp", L"*.gif"}, NONE, {}, [](const HostRequest& r) { return r.destination.empty(); }},
        {{L"export", L"a.bmp", L"a.cel", L"--stop-at-end"}, NONE, {}, [](const HostRequest& r) { return r.stopAt == 1; }},
        {{L"export", L"a.bmp", L"a.cel", L"--palette", L"--stop-at-end"}, MSG_STOP_AT_ONE_PICTURE_ONLY, {}, nullptr},
        {{L"export", L"a.bmp", L"--stop-at-start", L"--stop-at-end", L"b.cel"}, MSG_GIVEN_TWICE, {L"--stop-at-end"},
         nullptr},
        {{L"export", L"a.bmp", L"--to", L""}, MSG_NEEDS_FOLDER_AFTER_TO, {}, nullptr},
        {{L"doll", L"a.png", L"--to", L""}, MSG_NEEDS_FOLDER_AFTER_TO, {}, nullptr},
        {{L"export", L"a.bmp", L"--to"}, MSG_NEEDS_FOLDER_AFTER_TO, {}, nullptr},
        {{L"export", L"a", L"--to", L"x", L"--to", L"y"}, MSG_GIVEN_TWICE, {L"--to"}, nullptr},
        {{L"export", L"a.bmp", L"--shared-pallete", L"d.kcf"}, MSG_DOES_NOT_TAKE_DID_YOU_MEAN,
         {L"export", L"--shared-pallete", L"--shared-palette"}, nullptr},
        {{L"export", L"a.bmp", L"--cnf", L"d.cnf"}, MSG_DOES_NOT_TAKE, {L"export", L"--cnf"}, nullptr},
        {{L"export", L"a.bmp", L"--palette", L"--shared-palette", L"d.kcf"}, MSG_SHARED_PALETTE_AND_PALETTE, {},
         nullptr},
        {{L"export", L"a.bmp", L"--transparent", L"256"}, MSG_TRANSPARENT_TAKES, {L"256", L"255"}, nullptr},
        {{L"export", L"a.bmp", L"--transparent", L"255"}, NONE, {},
         [](const HostRequest& r) { return r.convert.transparency.rule == TRANSPARENT_ENTRY && r.convert.transparency.entry == 255; }},
        {{L"export", L"--to", L"x"}, MSG_EXPORT_NEEDS_PICTURE, {}, nullptr},
        {{L"doll", L"layers", L"--to", L"d", L"--background", L"#ffe0f0", L"--dither", L"--transparent", L"corner"},
         NONE, {},
         [](const HostRequest& r) {
             return r.doll.background == 0xFFE0F0 && r.doll.dither && r.doll.transparency.rule == TRANSPARENT_CORNER &&
                    r.doll.toFolder == L"d" && r.doll.layers == std::vector<std::wstring>{L"layers"};
         }},
        {{L"doll", L"layers", L"--to", L"d", L"--background", L"ffe0f"}, MSG_BACKGROUND_TAKES, {L"ffe0f"}, nullptr},
        {{L"doll", L"layers", L"--to", L"d", L"--background", L"#gg0000"}, MSG_BACKGROUND_TAKES, {L"#gg0000"}, nullptr},
        {{L"doll", L"layers", L"--palette"}, MSG_DOES_NOT_TAKE, {L"doll", L"--palette"}, nullptr},
        {{L"doll", L"a.png"}, MSG_DOLL_NEEDS_TO, {}, nullptr},
        {{L"doll", L"--to", L"d"}, MSG_DOLL_NEEDS_LAYERS, {}, nullptr},
        {{L"info", L"x"}, MSG_TAKES_NOTHING_AFTER, {L"info", L"x"}, nullptr},
        {{L"--plugin"}, MSG_PLUGIN_NEEDS_FILE, {}, nullptr},
        {{L"--plugin", L"p.xpi", L"palette-mode"}, MSG_PALETTE_MODE_NO_PLUGIN, {}, nullptr},
        {{L"--plugin", L"p.xpi", L"about"}, NONE, {},
         [](const HostRequest& r) { return r.command == COMMAND_ABOUT && r.pluginFile == L"p.xpi"; }},
        {{L"palette-mode", L"maybe"}, MSG_PALETTE_MODE_TAKES, {}, nullptr},
        {{L"palette-mode", L"on"}, NONE, {}, [](const HostRequest& r) { return r.paletteMode == L"on"; }},
        // What was dropped on the program: whether it is there is for the run to find.
        {{L"convert", L"a.bmp"}, NONE, {},
         [](const HostRequest& r) { return r.command == COMMAND_DROPPED && r.convert.palettes && r.convert.pictures.size() == 2; }},
        {{L"--bogus"}, MSG_NO_SUCH_COMMAND, {L"--bogus"}, nullptr},
        // A finished doll: packed, checked, previewed, taken apart.
        {{L"doll", L"layers", L"--to", L"d", L"--lzh", L"d.lzh"}, NONE, {},
         [](const HostRequest& r) { return r.doll.archive == L"d.lzh"; }},
        {{L"pack", L"d", L"d.lzh"}, NONE, {},
         [](const HostRequest& r) { return r.command == COMMAND_PACK && r.pack.folder == L"d" && r.pack.archive == L"d.lzh"; }},
        {{L"pack", L"d"}, MSG_PACK_TAKES, {}, nullptr},
        {{L"check", L"d.lzh"}, NONE, {}, [](const HostRequest& r) { return r.check.doll == L"d.lzh"; }},
        {{L"check", L"a.cnf", L"b.cnf"}, MSG_TAKES_ONE_DOLL, {L"check"}, nullptr},
        {{L"check", L"a.cnf", L"--to", L"x"}, MSG_DOES_NOT_TAKE, {L"check", L"--to"}, nullptr},
        {{L"preview", L"d.cnf", L"d.png", L"--set", L"9"}, NONE, {},
         [](const HostRequest& r) { return r.preview.doll == L"d.cnf" && r.preview.picture == L"d.png" && r.preview.set == 9; }},
        {{L"preview", L"d.cnf", L"d.png", L"--set", L"10"}, MSG_SET_TAKES, {L"10", L"9"}, nullptr},
        {{L"preview", L"d.cnf", L"--set", L"1"}, MSG_PREVIEW_TAKES, {}, nullptr},
        {{L"unpack", L"d.lzh", L"--to", L"cels"}, NONE, {},
         [](const HostRequest& r) { return r.unpack.doll == L"d.lzh" && r.unpack.toFolder == L"cels"; }},
        {{L"unpack", L"d.lzh"}, MSG_UNPACK_NEEDS_TO, {}, nullptr},
    };
    for (const Row& row : rows) {
        std::wstring line;
        for (const std::wstring& arg : row.args)
            line += L" " + arg;
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        HostRequest request;
        const UsageProblem problem = parseCommandLine(row.args, false, &request);
        EXPECT_EQ(problem.found, row.problem != NONE);
        if (problem.found) {
            EXPECT_EQ(problem.message, row.problem);
            EXPECT_EQ(std::vector<std::wstring>(problem.inserts.begin(),
                                                problem.inserts.begin() + std::min(problem.inserts.size(), row.inserts.size())),
                      row.inserts);
        } else {
            EXPECT_TRUE(row.asks(request));
        }
    }
    HostRequest request;
    EXPECT_EQ(parseCommandLine({L"--plugin", L"p.xpi", L"info"}, true, &request).message, MSG_PLUGIN_BUILT_IN);
}

// The help's paragraphs on a command (from each "  porvane-host export ..."
// to the next command's) name every option the command takes, in both
// languages.
TEST(CommandLine, TheHelpNamesEveryOptionOfEachCommand)
{
    for (bool japanese : {false, true}) {
        const std::wstring help = messagePattern(MSG_HELP, japanese);
        for (Command command : {COMMAND_EXPORT, COMMAND_DOLL, COMMAND_PACK, COMMAND_CHECK, COMMAND_PREVIEW,
                                COMMAND_UNPACK}) {
            const std::wstring start = L"  porvane-host " + commandWord(command) + L" ";
            std::wstring paragraph;
            for (size_t at = help.find(start); at != std::wstring::npos; at = help.find(start, at + 1))
                paragraph += help.substr(at, help.find(L"\n  porvane-host ", at + 1) - at);
            ASSERT_FALSE(paragraph.empty());
            for (const std::wstring& option : optionsOf(command))
                EXPECT_NE(paragraph.find(option), std::wstring::npos)
                    << std::string(option.begin(), option.end()) << " in the help of "
                    << std::string(start.begin(), start.end()) << (japanese ? " (Japanese)" : "");
        }
    }
}

}  // namespace
