// Fault injection over CreatePicture.
//
// Each export below is run once to list the Windows calls it makes, then once
// more for every one of those calls with that call failing (and, for every
// WriteFile, once with a short write that still reports success). Whatever
// fails, the host must get the status that belongs to the failing call, every
// lock, block, file handle and registry key must be given back, no temporary
// file may stay in the destination folder, and the file that stood at the
// destination must be untouched unless the export succeeded, in which case it
// holds exactly the encoding computed here, pixel by pixel.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "native_test_support.h"
#include "../../settings/settings_store.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

using NativePlatform::FAULT_FAIL;
using NativePlatform::FAULT_SHORT_WRITE;
using NativePlatform::Fault;
using NativePlatform::Held;

// How an export ends, as the host and the user see it.
enum class Outcome {
    Written,     // 0; both progress reports; the destination holds the new file
    NoMemory,    // 104; only the first progress report; no file or registry touched
    NotCreated,  // 109; only the first progress report; no file was created
    WriteFailed, // 109; both progress reports; the new file was removed again
};

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Written: return "written";
    case Outcome::NoMemory: return "no memory";
    case Outcome::NotCreated: return "not created";
    case Outcome::WriteFailed: return "write failed";
    }
    return "?";
}

struct Scenario {
    const char* title;
    int16_t depth;
    int32_t width, height;
    std::string name;                  // the file name the host asks for
    bool storesSetting;                // "ChengePallet" exists, with the type and bytes below
    DWORD settingType;
    std::vector<uint8_t> settingBytes;
    std::string paletteName;           // the name palette mode writes to; empty: palette mode does not apply
    std::map<std::string, std::vector<uint8_t>> existingFiles;  // in the folder before every export
    std::string folderInTheWay;        // a folder standing at the destination ("" for none)
    Outcome unfaulted;
};

std::vector<uint8_t> bytesOf(const char* text) { return std::vector<uint8_t>(text, text + strlen(text)); }

std::vector<Scenario> scenarios()
{
    std::vector<Scenario> all;
    // Odd width: 5 bytes a row, 8 in the host's padded rows; bottom row first.
    all.push_back({"8-bit cel, odd width", 8, 5, 3, "doll.cel", false, 0, {}, "", {}, "", Outcome::Written});
    // Palette mode is on, but only a 256 x 1 strip is a palette: this one stays a cel. Top row first.
    all.push_back({"24-bit cel", 24, 7, -2, "sky.cel", true, REG_DWORD, {1, 0, 0, 0}, "", {}, "", Outcome::Written});
    // No extension: the name gets one.
    all.push_back({"palette, setting 1", 24, 256, 1, "strip", true, REG_DWORD, {1, 0, 0, 0}, "strip.kcf", {}, "",
                   Outcome::Written});
    // A one-byte binary 1 also reads as 1. An older palette and a file of the
    // original name stand in the folder: only the palette may be replaced.
    all.push_back({"palette, path rewrite", 24, 256, 1, "strip.jpeg", true, REG_BINARY, {1}, "strip.kcf",
                   {{"strip.jpeg", bytesOf("the host's own picture file")}, {"strip.kcf", bytesOf("an older palette")}},
                   "", Outcome::Written});
    // 4 bits a pixel with an odd width: the unused low nibble of each row must be cleared.
    all.push_back({"export over an existing file", 4, 5, 3, "doll.cel", false, 0, {}, "",
                   {{"doll.cel", bytesOf("KiSS: a cel the user saved earlier, longer than the new one will be......")},
                    {"other.cel", bytesOf("a neighbour")}},
                   "", Outcome::Written});
    // A folder of the destination's name makes the final replace fail by
    // itself, so the clean-up of the temporary file is on the call list too.
    all.push_back({"destination is a folder", 1, 9, -2, "cels", false, 0, {}, "", {}, "cels", Outcome::WriteFailed});
    return all;
}

// ---- the expected file, computed pixel by pixel -------------------------------------------------

// The pixel at column x of the host's stored row, as a number (24-bit: 0xRRGGBB).
uint32_t hostPixel(const uint8_t* row, int depth, int32_t x)
{
    if (depth == 24)
        return (uint32_t)row[3 * x + 2] << 16 | (uint32_t)row[3 * x + 1] << 8 | row[3 * x];
    int32_t bit = x * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

std::vector<uint8_t> expectedKissFile(const Scenario& s, const std::vector<uint8_t>& bits, uint8_t mark)
{
    const int32_t rows = s.height < 0 ? -s.height : s.height;
    std::vector<uint8_t> file(32, 0);
    memcpy(file.data(), "KiSS", 4);
    file[4] = mark;
    file[5] = (uint8_t)s.depth;
    file[8] = (uint8_t)(s.width & 0xFF);
    file[9] = (uint8_t)(s.width >> 8);
    file[10] = (uint8_t)(rows & 0xFF);
    file[11] = (uint8_t)(rows >> 8);
    const int32_t stride = hostStride(s.depth, s.width);
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t stored = s.height > 0 ? rows - 1 - y : y;
        const uint8_t* from = bits.data() + (size_t)stored * stride;
        std::vector<uint8_t> row(((size_t)s.width * s.depth + 7) / 8, 0);
        for (int32_t x = 0; x < s.width; ++x) {
            uint32_t pixel = hostPixel(from, s.depth, x);
            if (s.depth == 24) {
                row[3 * x] = (uint8_t)(pixel >> 16);
                row[3 * x + 1] = (uint8_t)(pixel >> 8);
                row[3 * x + 2] = (uint8_t)pixel;
            } else {
                int32_t bit = x * s.depth;
                row[bit / 8] |= (uint8_t)(pixel << (8 - s.depth - bit % 8));
            }
        }
        file.insert(file.end(), row.begin(), row.end());
    }
    return file;
}

// ---- running one export ----------------------------------------------------------------------

// The host hands over Windows paths.
std::string windowsPath(const ScratchFolder& scratch, const std::string& name)
{
    std::string folder = scratch.folder;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder + "\\" + name;
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const char insideTheFolder[] = "inside.cel";

void prepareFolder(const ScratchFolder& scratch, const Scenario& s)
{
    for (const std::string& name : scratch.names())
        if (name != s.folderInTheWay)
            unlink(scratch.path(name).c_str());
    for (const auto& file : s.existingFiles)
        writeFile(scratch.path(file.first), file.second);
    if (!s.folderInTheWay.empty() && !isFolder(scratch.path(s.folderInTheWay))) {
        mkdir(scratch.path(s.folderInTheWay).c_str(), 0755);
        writeFile(scratch.path(s.folderInTheWay) + "/" + insideTheFolder, bytesOf("keep me"));
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
    run.pathAfter = windowsPath(scratch, s.name);
    run.status = exportTo(&run.pathAfter, picture);
    run.log = NativePlatform::callLog();
    run.progress = progressCalls;
    NativePlatform::resetCalls();
    return run;
}

// ---- what each failing call must lead to -----------------------------------------------------

struct Expectation {
    Outcome outcome;
    bool palette;   // written (or to be written) as a palette under the rewritten name
    bool tempLeft;  // the temporary file could not be removed: the one file allowed to stay
};

Expectation expectationFor(const Scenario& s, const std::string& call, Fault fault)
{
    Expectation e{s.unfaulted, !s.paletteName.empty(), false};
    if (fault == FAULT_SHORT_WRITE) {
        e.outcome = Outcome::WriteFailed;
    } else if (call == "LocalLock" || call == "LocalAlloc") {
        e.outcome = Outcome::NoMemory;
        e.palette = false;  // nothing after the allocation happens, the path is not rewritten
    } else if (call == "GetTempFileNameA" || call == "CreateFileA") {
        e.outcome = Outcome::NotCreated;
    } else if (call == "WriteFile" || call == "CloseHandle" || call == "MoveFileExA") {
        e.outcome = Outcome::WriteFailed;
    } else if (call == "RegQueryValueExA" || call == "RegOpenKeyExA") {
        e.palette = false;  // an unreadable setting is palette mode off
    } else if (call == "RegCreateKeyA") {
        // The one-shot read opens the key itself when creating it failed, so
        // the stored setting still counts.
    } else if (call == "LocalUnlock" || call == "LocalFree" || call == "RegCloseKey") {
        // releases release even when they report failure: nothing changes
    } else if (call == "DeleteFileA") {
        e.tempLeft = true;
    } else {
        ADD_FAILURE() << "an export made a call this test has no expectation for: " << call;
    }
    return e;
}

LONG statusOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Written: return EXPORT_OK;
    case Outcome::NoMemory: return EXPORT_NO_MEMORY;
    default: return EXPORT_WRITE_ERROR;
    }
}

std::string describe(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return "[" + text + "]";
}

void expectSameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected, const std::string& what)
{
    EXPECT_EQ(actual.size(), expected.size()) << what;
    auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (mismatch.first != actual.end() && mismatch.second != expected.end())
        ADD_FAILURE() << what << ": first difference at byte " << (mismatch.first - actual.begin()) << ": "
                      << (int)*mismatch.first << " instead of " << (int)*mismatch.second;
}

void checkRun(const ScratchFolder& scratch, const Scenario& s, const std::vector<uint8_t>& bits, const Held& before,
              const Expectation& e, const ExportRun& run)
{
    SCOPED_TRACE(std::string("expected: ") + outcomeName(e.outcome) + (e.palette ? ", palette" : "") +
                 "; calls made: " + describe(run.log));

    EXPECT_EQ(run.status, statusOf(e.outcome));

    std::vector<ProgressCall> progress{{0, 1, 77}};
    if (e.outcome == Outcome::Written || e.outcome == Outcome::WriteFailed)
        progress.push_back({1, 1, 77});
    EXPECT_TRUE(run.progress == progress) << run.progress.size() << " progress reports, " << progress.size()
                                          << " expected";

    Held after = NativePlatform::held();
    EXPECT_EQ(after.memoryBlocks, before.memoryBlocks) << "memory blocks";
    EXPECT_EQ(after.locks, before.locks) << "locks";
    EXPECT_EQ(after.files, before.files) << "open files";
    EXPECT_EQ(after.registryKeys, 0) << "open registry keys";

    if (e.outcome == Outcome::NoMemory)
        for (const std::string& call : run.log)
            EXPECT_TRUE(call.compare(0, 5, "Local") == 0) << call << " after the picture could not be held";

    const std::string destination = e.palette ? s.paletteName : s.name;
    EXPECT_EQ(run.pathAfter, windowsPath(scratch, destination)) << "the host's path buffer";

    // The folder holds what stood there before, plus the new file if written.
    std::set<std::string> expectedNames;
    for (const auto& file : s.existingFiles)
        expectedNames.insert(file.first);
    if (!s.folderInTheWay.empty())
        expectedNames.insert(s.folderInTheWay);
    if (e.outcome == Outcome::Written)
        expectedNames.insert(destination);
    std::vector<std::string> names = scratch.names();
    if (e.tempLeft) {
        // The one thing a failing delete may leave: the complete temporary
        // file, never anything under the destination's name.
        std::vector<std::string> extra;
        for (const std::string& name : names)
            if (expectedNames.count(name) == 0)
                extra.push_back(name);
        ASSERT_EQ(extra.size(), 1u) << describe(names);
        EXPECT_EQ(extra[0].compare(0, 3, "kis"), 0) << extra[0];
        EXPECT_EQ(extra[0].substr(extra[0].size() - 4), ".tmp") << extra[0];
        unlink(scratch.path(extra[0]).c_str());
        names = scratch.names();
    }
    EXPECT_EQ(describe(names), describe(std::vector<std::string>(expectedNames.begin(), expectedNames.end())));

    for (const auto& file : s.existingFiles)
        if (!(e.outcome == Outcome::Written && file.first == destination))
            expectSameBytes(readFile(scratch.path(file.first)), file.second, file.first + " (stood there before)");
    if (!s.folderInTheWay.empty()) {
        EXPECT_TRUE(isFolder(scratch.path(s.folderInTheWay)));
        expectSameBytes(readFile(scratch.path(s.folderInTheWay) + "/" + insideTheFolder), bytesOf("keep me"),
                        "the file inside the folder in the way");
    }

    if (e.outcome == Outcome::Written)
        expectSameBytes(readFile(scratch.path(destination)),
                        expectedKissFile(s, bits, e.palette ? 0x10 : 0x20), destination);
}

}  // namespace

TEST(FaultInjection, EveryFailingCallOfEveryExport)
{
    unsigned scenarioCount = 0, faultedRuns = 0;
    for (const Scenario& s : scenarios()) {
        SCOPED_TRACE(s.title);
        ScratchFolder scratch;
        if (s.storesSetting)
            storeSetting(s.settingType, s.settingBytes);
        const std::vector<uint8_t> bits = patternBits(s.depth, s.width, s.height, (uint8_t)(scenarioCount * 37 + 11));
        HostPicture picture(s.depth, s.width, s.height, bits);
        const Held before = NativePlatform::held();

        const ExportRun clean = runExport(scratch, s, picture, 0, FAULT_FAIL);
        {
            SCOPED_TRACE("no fault");
            checkRun(scratch, s, bits, before, Expectation{s.unfaulted, !s.paletteName.empty(), false}, clean);
        }
        // Lock, lock, alloc, the registry, the file and the releases at the least.
        ASSERT_GE(clean.log.size(), 14u) << describe(clean.log);

        unsigned points = 0;
        for (unsigned k = 1; k <= clean.log.size(); ++k) {
            const std::string& call = clean.log[k - 1];
            std::vector<Fault> faults{FAULT_FAIL};
            if (call == "WriteFile")
                faults.push_back(FAULT_SHORT_WRITE);
            for (Fault fault : faults) {
                SCOPED_TRACE("call " + std::to_string(k) + ", " + call +
                             (fault == FAULT_SHORT_WRITE ? ", writing one byte short" : ", failing"));
                const ExportRun run = runExport(scratch, s, picture, k, fault);
                // The calls before the fault are the same as without it, so the
                // k-th call is the one that failed.
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
        printf("[ fault    ] %-30s %2u calls, %2u failure points\n", s.title, (unsigned)clean.log.size(), points);
        faultedRuns += points;
        ++scenarioCount;
    }
    printf("[ fault    ] %u scenarios, %u failure points in all\n", scenarioCount, faultedRuns);
    RecordProperty("scenarios", (int)scenarioCount);
    RecordProperty("failurePoints", (int)faultedRuns);
}

// The settings store keeps its key open only between createKey and the
// one-shot access that follows it. Whatever registry call fails, no key may
// outlive an export (or the settings dialog): a key left open would be used
// by the next access in any other mode, and leaked on every export.
TEST(FaultInjection, NoRegistryKeyOutlivesAnExportOrTheDialog)
{
    ScratchFolder scratch;
    storeSetting(REG_DWORD, {1, 0, 0, 0});
    const std::vector<uint8_t> bits = patternBits(24, 256, 1, 3);
    HostPicture picture(24, 256, 1, bits);
    // The dialog needs the module handle set at attach; put back whatever was there.
    static char module;
    const HINSTANCE attachedBefore = moduleInstance;
    DllMain((HINSTANCE)&module, DLL_PROCESS_ATTACH, NULL);

    auto storeHoldsNoKey = [](const char* after) {
        EXPECT_EQ(NativePlatform::held().registryKeys, 0) << after;
        // A non-one-shot access goes through the key the store holds open,
        // and there must be none.
        NativePlatform::resetCalls();
        DWORD type = 0;
        BYTE data[4] = {};
        EXPECT_EQ(SettingsStore::readValue(PALETTE_SETTING_NAME, &type, data, 0), 0) << after;
        EXPECT_TRUE(NativePlatform::callLog().empty()) << after << ": the store still held a key";
    };
    auto exportStrip = [&](unsigned failAt) {
        std::string path = windowsPath(scratch, "strip.bmp");
        NativePlatform::resetCalls();
        if (failAt != 0)
            NativePlatform::failCall(failAt);
        LONG status = exportTo(&path, picture);
        std::vector<std::string> log = NativePlatform::callLog();
        NativePlatform::resetCalls();
        unlink(scratch.path("strip.bmp").c_str());
        unlink(scratch.path("strip.kcf").c_str());
        return std::make_pair(status, log);
    };
    auto runDialog = [&](unsigned failAt) {
        NativePlatform::resetCalls();
        if (failAt != 0)
            NativePlatform::failCall(failAt);
        // Toggling twice and confirming stores the value shown at the start.
        NativePlatform::scriptDialog({NativePlatform::CLICK_CHECK_BOX, NativePlatform::CLICK_CHECK_BOX,
                                      NativePlatform::CLICK_OK});
        EXPECT_EQ(ConfigurationDlg(NULL, 1), 0);
        std::vector<std::string> log = NativePlatform::callLog();
        NativePlatform::resetCalls();
        return log;
    };

    const auto clean = exportStrip(0);
    ASSERT_EQ(clean.first, 0);
    storeHoldsNoKey("a clean export");
    const std::vector<std::string> dialogCalls = runDialog(0);
    storeHoldsNoKey("a clean dialog");

    unsigned registryFaults = 0;
    for (unsigned k = 1; k <= clean.second.size(); ++k) {
        if (clean.second[k - 1].compare(0, 3, "Reg") != 0)
            continue;
        SCOPED_TRACE("export, failing " + clean.second[k - 1]);
        EXPECT_EQ(exportStrip(k).first, 0);
        storeHoldsNoKey("the faulted export");
        // The next export still finds palette mode on: no stale key in between.
        std::string path = windowsPath(scratch, "strip.bmp");
        EXPECT_EQ(exportTo(&path, picture), 0);
        EXPECT_EQ(path, windowsPath(scratch, "strip.kcf"));
        EXPECT_EQ(readFile(scratch.path("strip.kcf")).size(), 800u);
        unlink(scratch.path("strip.kcf").c_str());
        storeHoldsNoKey("the export after it");
        ++registryFaults;
    }
    for (unsigned k = 1; k <= dialogCalls.size(); ++k) {
        if (dialogCalls[k - 1].compare(0, 3, "Reg") != 0)
            continue;
        SCOPED_TRACE("dialog, failing " + dialogCalls[k - 1]);
        runDialog(k);
        storeHoldsNoKey("the faulted dialog");
        ++registryFaults;
    }
    EXPECT_GE(registryFaults, 6u) << describe(clean.second) << " / " << describe(dialogCalls);
    moduleInstance = attachedBefore;
}
