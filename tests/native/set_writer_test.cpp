// A set written whole or not at all, through the native layer's files: a
// second run into a folder that holds a set (made by a first run, then
// touched by hand) is run once to list its platform calls, then with each
// call failing in turn, and then stopped at each call as though killed.
// Whatever happens, the folder ends up exactly as it was or exactly as the
// new set makes it (her edited files kept beside it), with nothing behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "native_test_support.h"
#include "../../host/doll/made_record.h"
#include "../../host/handover/set_writer.h"
#include "../../host/system/path_names.h"

namespace {

using Bytes = std::vector<uint8_t>;
// Every file and folder under a folder, by its path there: a folder's ends
// in '/', a read-only file's in " (read-only)".
using FolderState = std::map<std::string, Bytes>;

const char readOnlyMark[] = " (read-only)";

std::wstring wide(const std::string& plain)
{
    return std::wstring(plain.begin(), plain.end());
}

std::string native(const std::wstring& path)
{
    std::string plain(path.begin(), path.end());
    std::replace(plain.begin(), plain.end(), '\\', '/');
    return plain;
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

void stateOf(const std::string& folder, const std::string& under, FolderState* state)
{
    for (const std::string& name : folderEntries(folder)) {
        const std::string path = folder + "/" + name;
        struct stat info;
        stat(path.c_str(), &info);
        if (S_ISDIR(info.st_mode)) {
            (*state)[under + name + "/"];
            stateOf(path, under + name + "/", state);
        } else {
            (*state)[under + name + ((info.st_mode & S_IWUSR) ? "" : readOnlyMark)] = readFile(path);
        }
    }
}

FolderState stateOf(const std::string& folder)
{
    FolderState state;
    stateOf(folder, "", &state);
    return state;
}

// `folder` made to hold exactly `state`.
void restore(const std::string& folder, const FolderState& state)
{
    removeTree(folder);
    mkdir(folder.c_str(), 0755);
    for (const auto& entry : state) {
        std::string path = folder + "/" + entry.first;
        if (path.back() == '/') {
            mkdir(path.c_str(), 0755);
            continue;
        }
        const bool readOnly = path.size() > strlen(readOnlyMark) &&
                              path.compare(path.size() - strlen(readOnlyMark), std::string::npos, readOnlyMark) == 0;
        if (readOnly)
            path.resize(path.size() - strlen(readOnlyMark));
        writeFile(path, entry.second);
        if (readOnly)
            chmod(path.c_str(), 0444);
    }
}

std::string listed(const FolderState& state)
{
    std::string names;
    for (const auto& entry : state)
        names += entry.first + " ";
    return names;
}

MadeFile found(const std::wstring& name, const Bytes& bytes)
{
    return {name, madeCrc(name, bytes.data(), bytes.size())};
}

// A set of palettes (each of one colour, its seed) and its configuration.
struct DollSet {
    std::map<std::wstring, uint32_t> palettes;
    std::string configuration;  // without its record
};

const std::wstring cnf = L"doll.cnf";
size_t stagedCalls;  // the platform calls of the last run before its commit

// One run as the doll command makes it: every name checked, every file
// staged and recorded, the folder's files judged by the old set's record,
// and the set put in place.
SetWriteProblem writeSet(SetWriter* writer, const std::string& folder, const DollSet& set)
{
    std::vector<std::wstring> names = {cnf};
    for (const auto& palette : set.palettes)
        names.push_back(palette.first);
    SetWriteProblem problem = writer->begin(names, {});
    std::vector<MadeFile> made;
    for (auto palette = set.palettes.begin(); palette != set.palettes.end() && problem.step == SET_WRITTEN; ++palette) {
        problem.write = writer->stagePalette({palette->second}, palette->first, {});
        problem.step = problem.write.code == WRITE_DONE ? SET_WRITTEN : SET_FILE_NOT_STAGED;
        made.push_back(found(palette->first, readFile(native(writer->stagedPath(palette->first)))));
    }
    if (problem.step != SET_WRITTEN)
        return problem;
    const std::string text = withMadeRecord(set.configuration, cnf, made);
    made.push_back(found(cnf, bytesOf(text)));
    problem.write = writer->stageText(text, cnf);
    if (problem.write.code != WRITE_DONE)
        return {SET_FILE_NOT_STAGED, problem.write};

    const Bytes old = readFile(folder + "/" + native(cnf));
    const MadeRecord record = readMadeRecord(old.data(), old.size());
    std::vector<MadeFile> there;
    for (const std::vector<MadeFile>* files : std::initializer_list<const std::vector<MadeFile>*>{&made, &record})
        for (const MadeFile& file : *files)
            if (access((folder + "/" + native(file.name)).c_str(), F_OK) == 0)
                there.push_back(found(file.name, readFile(folder + "/" + native(file.name))));
    const SetChanges changes = planSetChanges(record, made, there);
    stagedCalls = NativePlatform::callLog().size();
    return writer->commit(changes.remove, {changes.keep.begin(), changes.keep.end()});
}

// Names of eight characters or more: valgrind takes glibc's vector wmemcmp
// over a shorter wide string on the heap for a read past its end.
const DollSet firstSet = {{{L"arms.kcf", 0x111111}, {L"body.kcf", 0x222222}, {L"stale.kcf", 0x333333}},
                          "(10,10)\r\n; one\r\n"};
const DollSet secondSet = {{{L"arms.kcf", 0x444444}, {L"cape.kcf", 0x555555}}, "(20,20)\r\n; two\r\n"};

struct SetWriterTest : ::testing::Test {
    ScratchFolder scratch;
    const std::string folder = scratch.path("doll");

    // The folder as the first run left it, then with `edit` done by hand.
    FolderState firstRun(void (*edit)(const std::string& folder))
    {
        SetWriter writer(wide(folder));
        EXPECT_EQ(writeSet(&writer, folder, firstSet).step, SET_WRITTEN);
        edit(folder);
        return stateOf(folder);
    }
};

void herConfiguration(const std::string& folder)
{
    Bytes text = readFile(folder + "/doll.cnf");
    text.insert(text.end(), {'#', '1', '\r', '\n'});
    writeFile(folder + "/doll.cnf", text);
}

TEST_F(SetWriterTest, ASecondRunReplacesTheSetAndKeepsWhatSheEdited)
{
    struct Row {
        const char* title;
        void (*edit)(const std::string& folder);
        std::vector<std::string> kept;  // as the names they have now
        std::vector<const char*> others;  // the folder's names besides the new set's
    } rows[] = {
        {"nothing touched", [](const std::string&) {}, {}, {}},
        {"her configuration", herConfiguration, {"doll-edited.cnf"}, {"doll-edited.cnf"}},
        {"her configuration, and one kept before",
         [](const std::string& folder) {
             herConfiguration(folder);
             writeFile(folder + "/doll-edited.cnf", bytesOf("kept the last time"));
         },
         {"doll-edited2.cnf"}, {"doll-edited.cnf", "doll-edited2.cnf"}},
        {"her palette of the old set, which the new one leaves out",
         [](const std::string& folder) { writeFile(folder + "/body.kcf", bytesOf("hers")); }, {}, {"body.kcf"}},
        {"a palette of hers under a name of the new set",
         [](const std::string& folder) { writeFile(folder + "/cape.kcf", bytesOf("hers")); }, {"cape-edited.kcf"},
         {"cape-edited.kcf"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        restore(folder, {});
        const FolderState before = firstRun(row.edit);
        SetWriter writer(wide(folder));
        ASSERT_EQ(writeSet(&writer, folder, secondSet).step, SET_WRITTEN);

        const FolderState after = stateOf(folder);
        FolderState names = {{"arms.kcf", {}}, {"cape.kcf", {}}, {"doll.cnf", {}}};
        for (const char* other : row.others)
            names[other];
        EXPECT_EQ(listed(after), listed(names));
        EXPECT_EQ(after.at("arms.kcf").size(), 800u);
        EXPECT_NE(after.at("arms.kcf"), before.at("arms.kcf"));
        ASSERT_EQ(writer.kept().size(), row.kept.size());
        for (size_t i = 0; i < row.kept.size(); ++i) {
            const std::string was = native(fileName(writer.kept()[i].path));
            EXPECT_EQ(native(writer.kept()[i].keptAs), folder + "/" + row.kept[i]);
            EXPECT_EQ(after.at(row.kept[i]), before.at(was));
        }
        for (const std::string& name : {"body.kcf", "doll-edited.cnf"})
            if (before.count(name) > 0 && after.count(name) > 0)
                EXPECT_EQ(after.at(name), before.at(name));
    }
}

TEST_F(SetWriterTest, ACheckThatFailsStopsTheRunBeforeAnythingIsWritten)
{
    struct Row {
        const char* title;
        void (*change)(const std::string& folder);
        std::vector<std::wstring> names;
        SetWriteStep step;
        WriteProblemCode code;
        std::string path;  // under the folder
    } rows[] = {
        {"a read-only palette", [](const std::string& f) { chmod((f + "/arms.kcf").c_str(), 0444); }, {L"arms.kcf"},
         SET_NAME_NOT_FREE, WRITE_READ_ONLY, "/arms.kcf"},
        {"a folder at a name", [](const std::string& f) { mkdir((f + "/cape.kcf").c_str(), 0755); }, {L"cape.kcf"},
         SET_NAME_NOT_FREE, WRITE_NAME_IS_FOLDER, "/cape.kcf"},
        {"one name twice", [](const std::string&) {}, {L"cape.kcf", L"CAPE.KCF"}, SET_NAME_TWICE, WRITE_CANNOT_CREATE,
         "/CAPE.KCF"},
        {"a folder of the writer's name holding her file",
         [](const std::string& f) {
             mkdir((f + "/porvane-old-set").c_str(), 0755);
             writeFile(f + "/porvane-old-set/hers.kcf", bytesOf("hers"));
         },
         {L"cape.kcf"}, SET_LEFTOVER_IN_THE_WAY, WRITE_CANNOT_REPLACE, "/porvane-old-set"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        restore(folder, {});
        firstRun(row.change);
        const FolderState before = stateOf(folder);
        SetWriter writer(wide(folder));
        const SetWriteProblem problem = writer.begin(row.names, {});
        EXPECT_EQ(problem.step, row.step);
        EXPECT_EQ(problem.write.code, row.code);
        EXPECT_EQ(native(problem.write.path), folder + row.path);
        EXPECT_EQ(stateOf(folder), before);
    }
    // A file where the folder should be: said as the folder's problem.
    removeTree(folder);
    writeFile(folder, bytesOf("a file"));
    SetWriter writer(wide(folder + "/inner"));
    const SetWriteProblem problem = writer.begin({cnf}, {});
    EXPECT_EQ(problem.step, SET_FOLDER_NOT_MADE);
    EXPECT_EQ(problem.write.code, WRITE_FOLDER_IS_FILE);
}

// The second run with each platform call it makes failing in turn; then
// stopped at each call of its commit (and at each write of its staging) as
// though killed, and put right by the next run's recovery, which may itself
// be stopped.
TEST_F(SetWriterTest, ARunFailingOrKilledAtAnyCallLeavesTheOldSetOrTheNew)
{
    const FolderState old = firstRun(herConfiguration);
    {
        SetWriter writer(wide(folder));
        NativePlatform::resetCalls();
        ASSERT_EQ(writeSet(&writer, folder, secondSet).step, SET_WRITTEN);
    }
    const std::vector<std::string> calls = NativePlatform::callLog();
    const size_t commitStart = stagedCalls;
    const FolderState expectNew = stateOf(folder);
    ASSERT_EQ(listed(expectNew), "arms.kcf cape.kcf doll-edited.cnf doll.cnf ");
    auto recovered = [&](RecoveryFound* found) {
        NativePlatform::resetCalls();
        Recovery recovery;
        EXPECT_EQ(recoverSet(wide(folder), &recovery).step, SET_WRITTEN);
        *found = recovery.found;
        const FolderState state = stateOf(folder);
        EXPECT_TRUE(state == old || state == expectNew) << listed(state);
        return state;
    };

    size_t failures = 0, leftovers = 0;
    for (size_t call = 1; call <= calls.size(); ++call) {
        SCOPED_TRACE(::testing::Message() << "call " << call << " fails, " << calls[call - 1]);
        restore(folder, old);
        NativePlatform::resetCalls();
        NativePlatform::failCall((unsigned)call);
        SetWriteProblem problem;
        {
            SetWriter writer(wide(folder));
            problem = writeSet(&writer, folder, secondSet);
        }
        const NativePlatform::Held held = NativePlatform::held();
        EXPECT_EQ(held.files + held.searches + held.memoryBlocks + held.locks, 0);
        if (problem.step != SET_WRITTEN) {
            ++failures;
            EXPECT_EQ(stateOf(folder), old);
            continue;
        }
        // A failure after the new set took the old one's place leaves what
        // the next run clears.
        leftovers += stateOf(folder) != expectNew;
        RecoveryFound found;
        EXPECT_EQ(recovered(&found), expectNew);
    }
    EXPECT_GT(failures, 0u);
    EXPECT_GT(leftovers, 0u);

    size_t newSets = 0;
    for (size_t call = 1; call <= calls.size(); ++call) {
        if (call <= commitStart && calls[call - 1] != "WriteFile")
            continue;
        SCOPED_TRACE(::testing::Message() << "killed at call " << call << ", " << calls[call - 1]);
        restore(folder, old);
        NativePlatform::resetCalls();
        NativePlatform::failCallsFrom((unsigned)call);
        {
            SetWriter writer(wide(folder));
            writeSet(&writer, folder, secondSet);
        }
        RecoveryFound found;
        const bool isNew = recovered(&found) == expectNew;
        EXPECT_TRUE(isNew || newSets == 0);  // once the new set is in place, a later stop keeps it
        newSets += isNew;
        if (found != NO_LEFTOVERS)
            EXPECT_EQ(found, isNew ? NEW_SET_FINISHED : OLD_SET_RESTORED);
    }
    EXPECT_GT(newSets, 0u);

    // Stopped with some new files moved in, and stopped as it deleted what
    // it had moved aside: a recovery stopped at any of its own calls is put
    // right by the next one.
    size_t lastMoveIn = 0, firstDelete = 0;
    for (size_t call = commitStart + 1; call <= calls.size() && firstDelete == 0; ++call) {
        lastMoveIn = calls[call - 1] == "MoveFileExW" ? call : lastMoveIn;
        firstDelete = calls[call - 1] == "DeleteFileW" ? call : 0;
    }
    for (size_t stop : {lastMoveIn, firstDelete}) {
        auto stoppedRun = [&] {
            restore(folder, old);
            NativePlatform::resetCalls();
            NativePlatform::failCallsFrom((unsigned)stop);
            SetWriter writer(wide(folder));
            writeSet(&writer, folder, secondSet);
        };
        stoppedRun();
        RecoveryFound found;
        const FolderState putRight = recovered(&found);
        const size_t recoveryCalls = NativePlatform::callLog().size();
        EXPECT_EQ(putRight, stop == firstDelete ? expectNew : old);
        for (size_t call = 1; call <= recoveryCalls; ++call) {
            SCOPED_TRACE(::testing::Message() << "stopped at call " << stop << ", its recovery at " << call);
            stoppedRun();
            NativePlatform::resetCalls();
            NativePlatform::failCallsFrom((unsigned)call);
            Recovery recovery;
            recoverSet(wide(folder), &recovery);
            EXPECT_EQ(recovered(&found), putRight);
        }
    }
    NativePlatform::resetCalls();
}

}  // namespace
