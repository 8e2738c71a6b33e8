// A finished doll packed, read back and checked: the doll's files found in
// its folder and in its archive as a viewer finds them, the folder packed
// into an archive whole or not at all, and the check command run as a doll
// maker runs it (the native porvane-host as a child) on dolls made here,
// with its lines and its exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "../../host/commands/doll_source.h"
#include "../../host/handover/archive_output.h"
#include "../../host/lzh/lzh_writer.h"
#include "native_test_support.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::wstring wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A KiSS file's 32-byte header: mark, depth, width, height.
Bytes kissHeader(uint8_t mark, uint8_t depth, uint16_t width, uint16_t height)
{
    Bytes header = {'K', 'i', 'S', 'S', mark, depth, 0, 0, (uint8_t)width, (uint8_t)(width >> 8), (uint8_t)height,
                    (uint8_t)(height >> 8)};
    header.resize(32, 0);
    return header;
}

// An 8-bit cel of 2 x 2 pixels of colour 1, and a palette whose colour 1 is red.
Bytes cel()
{
    Bytes file = kissHeader(0x20, 8, 2, 2);
    file.insert(file.end(), 4, 1);
    return file;
}

Bytes palette()
{
    Bytes file = kissHeader(0x10, 24, 256, 1);
    file.resize(32 + 3 * 256, 0);
    file[32 + 3] = 255;
    return file;
}

const std::string SOUND = "(8,8)\r\n%doll.kcf\r\n#0 hat.cel *0 :0\r\n#1 body.cel *0 :0\r\n$0 1,1 3,3\r\n";

// The files of a sound doll.
void writeDoll(const std::string& folder, const std::string& configuration = SOUND)
{
    mkdir(folder.c_str(), 0755);
    writeFile(folder + "/doll.cnf", bytesOf(configuration));
    writeFile(folder + "/doll.kcf", palette());
    writeFile(folder + "/hat.cel", cel());
    writeFile(folder + "/body.cel", cel());
}

// ---------------------------------------------------------------------------

TEST(KissCommands, ADollsFilesAreFoundAsAViewerFindsThem)
{
    ScratchFolder scratch;
    writeDoll(scratch.path("doll"));
    rename(scratch.path("doll/hat.cel").c_str(), scratch.path("doll/Hat.CEL").c_str());
    writeFile(scratch.path("doll/extra.cnf"), bytesOf("(1,1)\r\n"));
    mkdir(scratch.path("doll/inner").c_str(), 0755);
    writeFile(scratch.path("doll/inner/deep.cel"), cel());
    ASSERT_EQ(packFolder(wide(scratch.path("doll")), wide(scratch.path("doll.lzh"))).code, PACK_DONE);

    struct Row {
        std::string given;
        DollOpenCode code;
        std::vector<std::string> configurations;
    } rows[] = {
        {"doll", DOLL_OPENED, {"doll.cnf", "extra.cnf"}},
        {"doll/doll.cnf", DOLL_OPENED, {"doll.cnf"}},
        {"doll.lzh", DOLL_OPENED, {"doll.cnf", "extra.cnf"}},
        {"doll/doll.kcf", DOLL_NOT_A_DOLL, {}},
        {"doll/inner", DOLL_NO_CONFIGURATION, {}},
        {"gone.cnf", DOLL_NOT_READ, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.given);
        Doll doll;
        EXPECT_EQ(doll.open(wide(scratch.path(row.given))).code, row.code);
        std::vector<std::string> configurations;
        for (const DollConfiguration& file : doll.configurations()) {
            configurations.push_back(file.kissName);
            EXPECT_EQ(file.bytes, readFile(scratch.path("doll/" + file.kissName)));
        }
        EXPECT_EQ(configurations, row.configurations);
        if (row.code != DOLL_OPENED)
            continue;
        // The name as written, else the one spelled otherwise in case; never
        // one in a subfolder.
        const KissFetched hat = doll.fetch("hat.cel"), body = doll.fetch("body.cel"), deep = doll.fetch("deep.cel");
        EXPECT_EQ(hat.status, KISS_FETCHED);
        EXPECT_EQ(hat.name, "Hat.CEL");
        EXPECT_EQ(hat.bytes, cel());
        EXPECT_EQ(body.name, "body.cel");
        EXPECT_EQ(deep.status, KISS_NOT_THERE);
    }
}

TEST(KissCommands, AnArchivesFilesAreFoundByNameInWhateverFolderTheyLie)
{
    Doll doll;
    // jLHA's archive of a folder: set/readme.txt, and no configuration.
    EXPECT_EQ(doll.open(wide(PORVANE_LZH_FIXTURES "/h1-lh0-folder.lzh")).code, DOLL_NO_CONFIGURATION);
    EXPECT_EQ(doll.fetch("README.TXT").status, KISS_FETCHED);
    EXPECT_EQ(doll.fetch("README.TXT").name, "readme.txt");

    // An entry damaged in the archive is there, but cannot be read.
    ScratchFolder scratch;
    Bytes noise(64);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = (uint8_t)(i * 151 + 7 * (i >> 2));  // stored as it is: no smaller packed
    const Bytes body = cel();
    const LzhFileToPack files[] = {{"body.cel", body.data(), body.size(), {2024, 5, 17, 0, 0, 0}},
                                   {"hat.cel", noise.data(), noise.size(), {2024, 5, 17, 0, 0, 0}}};
    Bytes archive;
    ASSERT_EQ(writeLzhArchive(files, 2, &archive).problem, LZH_OK);
    archive[archive.size() - 1 - 32] ^= 0x55;  // amid hat.cel's bytes, before the end mark
    writeFile(scratch.path("doll.lzh"), archive);
    EXPECT_EQ(doll.open(wide(scratch.path("doll.lzh"))).code, DOLL_NO_CONFIGURATION);
    EXPECT_EQ(doll.fetch("hat.cel").status, KISS_NOT_READABLE);
    EXPECT_EQ(doll.fetch("body.cel").bytes, body);
    EXPECT_EQ(doll.archive().entries.back().problem, LZH_CRC_MISMATCH);
}

// The files' times go in as the doll maker's clock shows them: here in a time
// zone nine hours from UTC.
struct InTimeZone {
    std::string before;
    bool had;
    explicit InTimeZone(const char* zone) : had(getenv("TZ") != NULL)
    {
        if (had)
            before = getenv("TZ");
        setenv("TZ", zone, 1);
        tzset();
    }
    ~InTimeZone()
    {
        had ? setenv("TZ", before.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
};

TEST(KissCommands, PackPutsEveryFileOfTheFolderInOneArchiveOrWritesNothing)
{
    const InTimeZone tokyo("JST-9");
    ScratchFolder scratch;
    writeDoll(scratch.path("doll"));
    mkdir(scratch.path("doll/drafts").c_str(), 0755);
    writeFile(scratch.path("doll/drafts/old.cel"), cel());
    writeFile(scratch.path("doll/doll.lzh"), bytesOf("an older archive of the set"));
    struct tm clock = {};
    clock.tm_year = 2024 - 1900, clock.tm_mon = 4, clock.tm_mday = 17, clock.tm_hour = 13, clock.tm_min = 45;
    clock.tm_sec = 31, clock.tm_isdst = -1;
    const struct timespec when[2] = {{mktime(&clock), 0}, {mktime(&clock), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, scratch.path("doll/hat.cel").c_str(), when, 0), 0);

    PackedFolder packed;
    ASSERT_EQ(packFolder(wide(scratch.path("doll")), wide(scratch.path("doll/doll.lzh")), &packed).code, PACK_DONE);
    EXPECT_EQ(packed.foldersLeftOut, std::vector<std::wstring>{L"drafts"});
    const Bytes archive = readFile(scratch.path("doll/doll.lzh"));
    EXPECT_EQ(packed.archiveBytes, archive.size());
    LzhArchive read;
    ASSERT_EQ(readLzhArchive(archive.data(), archive.size(), {1 << 20, 1 << 20}, &read), LZH_OK);
    std::vector<std::string> names;
    for (const LzhEntry& entry : read.entries) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.data, readFile(scratch.path("doll/" + entry.name))) << entry.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"body.cel", "doll.cnf", "doll.kcf", "hat.cel"}));
    const LzhLocalTime stamped = read.entries[3].localTime, expected = {2024, 5, 17, 13, 45, 30};
    EXPECT_EQ(memcmp(&stamped, &expected, sizeof expected), 0)
        << stamped.year << "-" << stamped.month << "-" << stamped.day << " " << stamped.hour << ":" << stamped.minute
        << ":" << stamped.second;

    // Nothing is written where the folder cannot be packed whole, and no
    // file of the set is written over.
    writeFile(scratch.path("doll/\xC3\xA9t\xC3\xA9.cel"), cel());  // été: no Shift_JIS for é
    mkdir(scratch.path("empty").c_str(), 0755);
    struct Row {
        std::string folder, archive;
        PackProblemCode code;
    } rows[] = {
        {"doll", "doll/doll.lzh", PACK_NAME_NOT_SHIFT_JIS},
        {"doll", "doll/doll.cnf", PACK_ARCHIVE_IS_IN_SET},
        {"empty", "doll/doll.lzh", PACK_FOLDER_EMPTY},
        {"gone", "doll/doll.lzh", PACK_NO_SUCH_FOLDER},
        {"doll/doll.cnf", "doll/doll.lzh", PACK_NOT_A_FOLDER},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder + " " + row.archive);
        EXPECT_EQ(packFolder(wide(scratch.path(row.folder)), wide(scratch.path(row.archive))).code, row.code);
        EXPECT_EQ(readFile(scratch.path("doll/doll.lzh")), archive);
        EXPECT_EQ(readFile(scratch.path("doll/doll.cnf")), bytesOf(SOUND));
    }
}

// ---------------------------------------------------------------------------
// The commands as a doll maker runs them.

struct HostRun {
    int status;
    std::string output;  // standard output and error, in the order written
};

HostRun runHost(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), PORVANE_HOST_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(NULL);
    int ends[2];
    HostRun run = {-1, ""};
    if (pipe(ends) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<std::string> environment = {"LANG=C.UTF-8"};
    std::vector<char*> envp = {&environment[0][0], NULL};
    pid_t child;
    const int spawned = posix_spawn(&child, PORVANE_HOST_PROGRAM, &actions, NULL, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    char chunk[4096];
    for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;)
        run.output.append(chunk, (size_t)got);
    close(ends[0]);
    int status;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

TEST(KissCommands, TheCheckSaysEachFindingWithItsLineAndExitsWithTheDollsState)
{
    ScratchFolder scratch;
    writeDoll(scratch.path("sound"));
    ASSERT_EQ(packFolder(wide(scratch.path("sound")), wide(scratch.path("sound.lzh"))).code, PACK_DONE);
    // A hat drawn in a set the doll has no $ line for, a cel that is not
    // there, and a cel whose name differs only in case.
    writeDoll(scratch.path("broken"), "(8,8)\r\n%doll.kcf\r\n#0 hat.cel *0 :0 1\r\n#1 BODY.cel *0 :0\r\n"
                                      "#2 scarf.cel :0\r\n$0 1,1 3,3 *\r\n");
    const std::string broken = scratch.path("broken/doll.cnf");
    struct Row {
        std::vector<std::string> arguments;
        int status;
        std::string output;
    } rows[] = {
        {{"check", scratch.path("sound")}, 0,
         "doll.cnf: no problems found; the doll should open the same in every viewer\n"},
        {{"check", scratch.path("sound.lzh")}, 0,
         "doll.cnf: no problems found; the doll should open the same in every viewer\n"},
        {{"check", broken}, 1,
         "doll.cnf, line 4 (BODY.cel): the file is there only with other capital letters: viewers on Mac and Linux do "
         "not find it; spell the name the same in the file and in the configuration\n"
         "doll.cnf, line 5 (scarf.cel): there is no such file beside the configuration: viewers leave this line out\n"
         "doll.cnf, line 6: object 2 shows in set 0, but the set gives it * for a position: viewers put it in the top "
         "left corner\n"
         "doll.cnf: 3 problems found: viewers open the doll, but do not show it as it was made\n"},
        {{"check", scratch.path("gone.lzh")}, 1, scratch.path("gone.lzh") + ": not read: there is no such file\n"},
        {{"check", broken, broken}, 2,
         "porvane-host: check takes one doll: its configuration (.cnf), its folder or its LZH file\n"
         "porvane-host --help lists the commands.\n"},
        // Natively there is no imaging component to make a PNG with.
        {{"preview", broken, scratch.path("doll.png")}, 1,
         scratch.path("doll.png") + ": not written: this Windows cannot make PNG pictures (its imaging component is "
                                    "missing)\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments[0] + " " + row.arguments[1]);
        const HostRun run = runHost(row.arguments);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.output, row.output);
    }
}

// The help's limits (the shared palette's colours, the palette strip's size)
// are put in from their constants: one left out would show a bare "{2}".
TEST(KissCommands, TheHelpIsGivenEveryNumberItShows)
{
    const HostRun run = runHost({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.find('{'), std::string::npos) << run.output;
}

}  // namespace
