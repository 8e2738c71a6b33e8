// Fault injection over CreatePicture: each export below runs once to list
// its platform calls, then once more with each of those calls failing (and
// each WriteFile writing one byte short while reporting success). Whatever
// fails, the host gets the status of the failing call, every lock, block,
// file and registry key is given back, no temporary file stays, and what
// stood at the destination is untouched unless the export succeeded.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "native_test_support.h"
#include "../../settings/settings_store.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

using NativePlatform::FAULT_FAIL;
using NativePlatform::FAULT_SHORT_WRITE;
using NativePlatform::Fault;
using NativePlatform::Held;
using testing::PrintToString;
using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const char* text) { return Bytes(text, text + strlen(text)); }

enum Destination {
    ORDINARY,
    A_FOLDER,        // the final replace fails by itself, so the temporary file's removal is faulted too
    READ_ONLY_FILE,  // the first of existingFiles, made read-only: refused before anything is created
};

struct Scenario {
    const char* title;
    int16_t depth;
    int32_t width, height;
    std::string name;         // the file name the host asks for
    DWORD settingType;        // "ChengePallet" as stored, if settingBytes is not empty
    Bytes settingBytes;
    std::string paletteName;  // where palette mode writes; empty: it does not apply
    std::map<std::string, Bytes> existingFiles;  // in the folder before every export
    Destination destination;
};

const Scenario scenarios[] = {
    // Odd width, bottom row first: 5 bytes a row from the host's padded 8.
    {"8-bit cel, odd width", 8, 5, 3, "doll.cel", 0, {}, "", {}, ORDINARY},
    // Palette mode is on, but only a 256 x 1 strip is a palette. Top row first.
    {"24-bit cel", 24, 7, -2, "sky.cel", REG_DWORD, {1, 0, 0, 0}, "", {}, ORDINARY},
    {"palette, name without extension", 24, 256, 1, "strip", REG_DWORD, {1, 0, 0, 0}, "strip.kcf", {}, ORDINARY},
    // A one-byte 1 reads as 1; only the older palette may be replaced.
    {"palette, path rewrite", 24, 256, 1, "strip.jpeg", REG_BINARY, {1}, "strip.kcf",
     {{"strip.jpeg", bytesOf("the host's own picture file")}, {"strip.kcf", bytesOf("an older palette")}}, ORDINARY},
    // Odd width at 4 bits: the unused low nibble of each row must be cleared.
    {"4-bit export over an existing file", 4, 5, 3, "doll.cel", 0, {}, "",
     {{"doll.cel", bytesOf("KiSS: a cel the user saved earlier, longer than the new one will be......")},
      {"other.cel", bytesOf("a neighbour")}}, ORDINARY},
    {"destination is a folder", 1, 9, -2, "cels", 0, {}, "", {}, A_FOLDER},
    {"read-only destination", 8, 3, 2, "kept.cel", 0, {}, "", {{"kept.cel", bytesOf("a cel the user protected")}},
     READ_ONLY_FILE},
};

const char insideTheFolder[] = "inside.cel";

void prepareFolder(const ScratchFolder& scratch, const Scenario& s)
{
    for (const std::string& name : scratch.names())
        if (!(s.destination == A_FOLDER && name == s.name))
            unlink(scratch.path(name).c_str());
    for (const auto& file : s.existingFiles) {
        writeFile(scratch.path(file.first), file.second);
        if (s.destination == READ_ONLY_FILE && file.first == s.name)
            chmod(scratch.path(file.first).c_str(), 0444);
    }
    if (s.destination == A_FOLDER && !isFolder(scratch.path(s.name))) {
        mkdir(scratch.path(s.name).c_str(), 0755);
        writeFile(scratch.path(s.name) + "/" + insideTheFolder, bytesOf("keep me"));
    }
}

struct ExportRun {
    LONG status;
    std::string pathAfter;  // the host's path buffer after the call
    std::vector<std::string> log;
    std::vector<ProgressCall> progress;
};

ExportRun runExport(const ScratchFolder& scratch, const Scenario& s, HostPicture& picture, unsigned failAt, Fault fault)
{
    prepareFolder(scratch, s);
    NativePlatform::resetCalls();
    if (failAt != 0)
        NativePlatform::failCall(failAt, fault);
    ExportRun run;
    run.pathAfter = scratch.windowsPath(s.name);
    run.status = exportTo(&run.pathAfter, picture);
    run.log = NativePlatform::callLog();
    run.progress = progressCalls;
    NativePlatform::resetCalls();
    return run;
}

struct Expectation {
    LONG status;
    bool created;   // the temporary file was opened: the final progress report comes
    bool palette;   // written (or to be written) under the palette name
    bool tempLeft;  // the temporary file could not be removed: the one file allowed to stay
};

Expectation unfaulted(const Scenario& s)
{
    if (s.destination == READ_ONLY_FILE)
        return {EXPORT_WRITE_ERROR, false, !s.paletteName.empty(), false};
    return {s.destination == A_FOLDER ? EXPORT_WRITE_ERROR : EXPORT_OK, true, !s.paletteName.empty(), false};
}

Expectation expectationFor(const Scenario& s, const std::string& call, Fault fault)
{
    Expectation e = unfaulted(s);
    if (fault == FAULT_SHORT_WRITE || call == "WriteFile" || call == "CloseHandle" || call == "MoveFileExA")
        e.status = EXPORT_WRITE_ERROR;
    else if (call == "LocalLock" || call == "LocalAlloc")
        e = {EXPORT_NO_MEMORY, false, false, false};  // given up before the path is rewritten
    else if (call == "CreateFileA")
        e.status = EXPORT_WRITE_ERROR, e.created = false;
    else if (call == "RegQueryValueExA" || call == "RegOpenKeyExA")
        e.palette = false;  // an unreadable setting is palette mode off
    else if (call == "DeleteFileA")
        e.tempLeft = true;
    else if (call == "GetFileAttributesA" && s.destination == READ_ONLY_FILE)
        e.created = true;  // not known to be read-only: the rename is what refuses it
    // A failed RegCreateKeyA changes nothing, as the one-shot read opens the
    // key itself; releases release even when they report failure; attributes
    // that cannot be read belong to no read-only file.
    else if (call != "RegCreateKeyA" && call != "RegCloseKey" && call != "LocalUnlock" && call != "LocalFree" &&
             call != "GetFileAttributesA")
        ADD_FAILURE() << "an export made a call this test has no expectation for: " << call;
    return e;
}

void checkRun(const ScratchFolder& scratch, const Scenario& s, const Bytes& bits, const Held& before,
              const Expectation& e, const ExportRun& run)
{
    SCOPED_TRACE(testing::Message() << "expected status " << e.status << (e.palette ? ", palette" : "")
                                    << "; calls made: " << PrintToString(run.log));
    EXPECT_EQ(run.status, e.status);
    std::vector<ProgressCall> progress{{0, 1, 77}};
    if (e.created)
        progress.push_back({1, 1, 77});
    EXPECT_EQ(run.progress, progress);

    const Held after = NativePlatform::held();
    EXPECT_EQ(after.memoryBlocks, before.memoryBlocks) << "memory blocks";
    EXPECT_EQ(after.locks, before.locks) << "locks";
    EXPECT_EQ(after.files, before.files) << "open files";
    EXPECT_EQ(after.registryKeys, 0) << "open registry keys";
    if (e.status == EXPORT_NO_MEMORY)
        for (const std::string& call : run.log)
            EXPECT_EQ(call.compare(0, 5, "Local"), 0) << call << " after the picture could not be held";

    const std::string destination = e.palette ? s.paletteName : s.name;
    EXPECT_EQ(run.pathAfter, scratch.windowsPath(destination)) << "the host's path buffer";

    // The folder holds what stood there before, plus the new file if written.
    std::set<std::string> expected;
    for (const auto& file : s.existingFiles)
        expected.insert(file.first);
    if (s.destination == A_FOLDER || e.status == EXPORT_OK)
        expected.insert(destination);
    std::vector<std::string> names = scratch.names(), extra;
    std::set_difference(names.begin(), names.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    if (e.tempLeft) {  // only the temporary file, never anything under the destination's name
        ASSERT_EQ(extra.size(), 1u) << PrintToString(names);
        EXPECT_EQ(extra[0].compare(0, 3, "kis"), 0) << extra[0];
        EXPECT_EQ(extra[0].substr(extra[0].size() - 4), ".tmp") << extra[0];
        unlink(scratch.path(extra[0]).c_str());
        names = scratch.names();
    }
    EXPECT_EQ(names, std::vector<std::string>(expected.begin(), expected.end()));

    for (const auto& file : s.existingFiles)
        if (!(e.status == EXPORT_OK && file.first == destination))
            EXPECT_EQ(readFile(scratch.path(file.first)), file.second) << file.first << " stood there before";
    if (s.destination == READ_ONLY_FILE) {
        struct stat info;
        EXPECT_TRUE(stat(scratch.path(s.name).c_str(), &info) == 0 && (info.st_mode & 0777) == 0444)
            << "the read-only file lost its attribute";
    }
    if (s.destination == A_FOLDER) {
        EXPECT_TRUE(isFolder(scratch.path(s.name)));
        EXPECT_EQ(readFile(scratch.path(s.name) + "/" + insideTheFolder), bytesOf("keep me"));
    }
    if (e.status == EXPORT_OK)
        EXPECT_EQ(readFile(scratch.path(destination)),
                  expectedKissFile(s.depth, s.width, s.height, bits, e.palette ? 0x10 : 0x20))
            << destination;
}

}  // namespace

TEST(FaultInjection, EveryFailingCallOfEveryExport)
{
    uint8_t seed = 11;
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.title);
        ScratchFolder scratch;
        if (!s.settingBytes.empty())
            storeSetting(s.settingType, s.settingBytes);
        const Bytes bits = patternBits(s.depth, s.width, s.height, seed += 37);
        HostPicture picture(s.depth, s.width, s.height, bits);
        const Held before = NativePlatform::held();

        const ExportRun clean = runExport(scratch, s, picture, 0, FAULT_FAIL);
        {
            SCOPED_TRACE("no fault");
            checkRun(scratch, s, bits, before, unfaulted(s), clean);
        }
        // Lock, lock, alloc, the registry, the attributes and the releases at the least.
        ASSERT_GE(clean.log.size(), 10u) << PrintToString(clean.log);

        unsigned points = 0;
        for (unsigned k = 1; k <= clean.log.size(); ++k) {
            const std::string& call = clean.log[k - 1];
            for (Fault fault : {FAULT_FAIL, FAULT_SHORT_WRITE}) {
                if (fault == FAULT_SHORT_WRITE && call != "WriteFile")
                    continue;
                SCOPED_TRACE("call " + std::to_string(k) + ", " + call +
                             (fault == FAULT_SHORT_WRITE ? ", writing one byte short" : ", failing"));
                const ExportRun run = runExport(scratch, s, picture, k, fault);
                // The same calls up to the fault, so the k-th call is the one that failed.
                ASSERT_GE(run.log.size(), k);
                EXPECT_TRUE(std::equal(run.log.begin(), run.log.begin() + k, clean.log.begin()));
                if (call == "RegCreateKeyA" && fault == FAULT_FAIL) {
                    ASSERT_GT(run.log.size(), k);
                    EXPECT_EQ(run.log[k], "RegOpenKeyExA") << "the one-shot read opens the key itself";
                }
                checkRun(scratch, s, bits, before, expectationFor(s, call, fault), run);
                ++points;
            }
        }
        printf("[ fault    ] %-34s %2zu calls, %2u failure points\n", s.title, clean.log.size(), points);
    }
}

// A scanner, indexer or sync client holding a file for a moment: the rename
// into place, and the removal of the temporary file after a failure, are
// tried again after pauses that double from 10 ms, one second in all, and
// only for the errors such a hold gives.
TEST(FaultInjection, ARenameOrRemovalMetByAMomentsHoldIsTriedAgain)
{
    const std::vector<DWORD> wholeSecond = {10, 20, 40, 80, 160, 320, 370};
    struct Case {
        const char* title;
        DWORD renameError;
        unsigned renameFailures;
        unsigned removalFailures;  // with a sharing violation
        LONG status;
        std::vector<DWORD> pauses;
    } cases[] = {
        {"sharing violation once", ERROR_SHARING_VIOLATION, 1, 0, EXPORT_OK, {10}},
        {"lock violation three times", ERROR_LOCK_VIOLATION, 3, 0, EXPORT_OK, {10, 20, 40}},
        {"access denied on a writable file", ERROR_ACCESS_DENIED, 2, 0, EXPORT_OK, {10, 20}},
        {"held until the last try", ERROR_SHARING_VIOLATION, 7, 0, EXPORT_OK, wholeSecond},
        {"held past the last try", ERROR_SHARING_VIOLATION, 8, 0, EXPORT_WRITE_ERROR, wholeSecond},
        {"another error", ERROR_GEN_FAILURE, 1, 0, EXPORT_WRITE_ERROR, {}},
        {"temporary file held after a failed rename", ERROR_GEN_FAILURE, 1, 2, EXPORT_WRITE_ERROR, {10, 20}},
    };
    ScratchFolder scratch;
    const Bytes bits = patternBits(8, 5, 3, 7), earlier = bytesOf("the cel that was there");
    HostPicture picture(8, 5, 3, bits);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        writeFile(scratch.path("doll.cel"), earlier);
        NativePlatform::resetCalls();
        NativePlatform::forgetSleeps();
        NativePlatform::failCallsNamed("MoveFileExA", c.renameFailures, c.renameError);
        NativePlatform::failCallsNamed("DeleteFileA", c.removalFailures, ERROR_SHARING_VIOLATION);
        std::string path = scratch.windowsPath("doll.cel");
        EXPECT_EQ(exportTo(&path, picture), c.status);
        NativePlatform::resetCalls();
        EXPECT_EQ(NativePlatform::sleeps(), c.pauses);
        EXPECT_EQ(progressCalls, (std::vector<ProgressCall>{{0, 1, 77}, {1, 1, 77}}));
        EXPECT_EQ(scratch.names(), std::vector<std::string>{"doll.cel"}) << "no temporary file stays";
        EXPECT_EQ(readFile(scratch.path("doll.cel")),
                  c.status == EXPORT_OK ? expectedKissFile(8, 5, 3, bits, 0x20) : earlier);
    }
}

// The temporary file is created new, never over another file: a name that
// is taken (by a file another program left, say) is skipped for the next.
TEST(FaultInjection, TakenTemporaryNamesAreSkipped)
{
    ScratchFolder scratch;
    const Bytes bits = patternBits(8, 5, 3, 9);
    HostPicture picture(8, 5, 3, bits);
    for (unsigned taken : {3u, 256u}) {
        SCOPED_TRACE(testing::Message() << taken << " names taken");
        NativePlatform::resetCalls();
        NativePlatform::failCallsNamed("CreateFileA", taken, ERROR_FILE_EXISTS);
        std::string path = scratch.windowsPath("doll.cel");
        EXPECT_EQ(exportTo(&path, picture), taken < 256 ? EXPORT_OK : EXPORT_WRITE_ERROR);
        NativePlatform::resetCalls();
        EXPECT_EQ(scratch.names(), taken < 256 ? std::vector<std::string>{"doll.cel"} : std::vector<std::string>{});
        unlink(scratch.path("doll.cel").c_str());
    }
}

// The settings store keeps its key open only between createKey and the
// one-shot access after it. A key left open by a failing registry call would
// be used by the next access in any other mode, and leak on every export.
TEST(FaultInjection, NoRegistryKeyOutlivesAnExportOrTheDialog)
{
    ScratchFolder scratch;
    storeSetting(REG_DWORD, {1, 0, 0, 0});
    HostPicture picture(24, 256, 1, patternBits(24, 256, 1, 3));
    // The dialog loads its template from the module set at attach; put back whatever was there.
    static char module;
    const HINSTANCE attachedBefore = moduleInstance;
    DllMain((HINSTANCE)&module, DLL_PROCESS_ATTACH, NULL);

    auto storeHoldsNoKey = [](const char* after) {
        EXPECT_EQ(NativePlatform::held().registryKeys, 0) << after;
        // An access in no one-shot mode goes through the key the store holds open: there must be none.
        NativePlatform::resetCalls();
        DWORD type = 0;
        BYTE data[4] = {};
        EXPECT_EQ(SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, 0), 0) << after;
        EXPECT_TRUE(NativePlatform::callLog().empty()) << after << ": the store still held a key";
    };
    // Runs an export (true) or the dialog with the failAt-th call failing; returns the calls made.
    auto run = [&](bool exporting, unsigned failAt) {
        NativePlatform::resetCalls();
        if (failAt != 0)
            NativePlatform::failCall(failAt);
        if (exporting) {
            std::string path = scratch.windowsPath("strip.bmp");
            EXPECT_EQ(exportTo(&path, picture), 0);
        } else {
            // Toggling twice and confirming stores the value shown at the start.
            NativePlatform::scriptDialog({NativePlatform::CLICK_CHECK_BOX, NativePlatform::CLICK_CHECK_BOX,
                                          NativePlatform::CLICK_OK});
            EXPECT_EQ(ConfigurationDlg(NULL, 1), 0);
        }
        std::vector<std::string> log = NativePlatform::callLog();
        NativePlatform::resetCalls();
        unlink(scratch.path("strip.bmp").c_str());
        unlink(scratch.path("strip.kcf").c_str());
        storeHoldsNoKey(failAt == 0 ? "a clean run" : "the faulted run");
        return log;
    };

    unsigned registryFaults = 0;
    for (bool exporting : {true, false}) {
        const std::vector<std::string> clean = run(exporting, 0);
        for (unsigned k = 1; k <= clean.size(); ++k) {
            if (clean[k - 1].compare(0, 3, "Reg") != 0)
                continue;
            SCOPED_TRACE((exporting ? "export, failing " : "dialog, failing ") + clean[k - 1]);
            run(exporting, k);
            ++registryFaults;
            if (!exporting)
                continue;  // a dialog that could not read the setting may well store 0
            // The next export still finds palette mode on: no stale key in between.
            std::string path = scratch.windowsPath("strip.bmp");
            EXPECT_EQ(exportTo(&path, picture), 0);
            EXPECT_EQ(path, scratch.windowsPath("strip.kcf"));
            EXPECT_EQ(readFile(scratch.path("strip.kcf")).size(), 800u);
            unlink(scratch.path("strip.kcf").c_str());
            storeHoldsNoKey("the export after it");
        }
    }
    EXPECT_GE(registryFaults, 6u);
    moduleInstance = attachedBefore;
}
