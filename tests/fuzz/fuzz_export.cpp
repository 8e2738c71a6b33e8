// libFuzzer target: CreatePicture as a host would call it, with any colour
// depth, size, stored palette setting and file name. After every call: the
// status is the one the input calls for; every lock, block, file and registry
// key is given back; nothing but the expected file, under the expected name
// and with exactly the expected bytes, is left anywhere in the scratch
// folder; the host's pixel bits are never written to.
//
// Input (little-endian; bytes past the end read as zero):
//    0  int16   colour depth
//    2  int32   width
//    6  int32   height
//   10  uint8   stored setting: 0xFF none, otherwise (byte % 9) value bytes
//   11  uint32  the setting's registry type
//   15  8 bytes the setting's value bytes (the first n of them)
//   23  uint8   path shape (see makePath); with the high bit set, the name
//               is a row of the hand-written palette-name table instead
//   24  uint8   progress: low 2 bits 0 none, 1 never stops, 2 stops at the
//               start, 3 stops at the end; the other bits seed the pixels
//   25  uint32  flags, passed through
//   29  ...     the file name (at most 400 bytes; NULs dropped), or its
//               first byte picks the table row
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "../native/native_test_support.h"
#include "fuzz_check.h"
#include "../shared/palette_renames.h"

namespace {

const size_t MAX_NAME = 400;
const int64_t MAX_BITS = 1 << 20;  // host pixel bits (and the written block) kept to 1 MB a run

std::string root;    // scratch folder, made once per process
std::string outDir;  // root/out: where every export is aimed

// The folders every export may be aimed into: out, out/sub, and the dotted
// folders of the palette-name table.
std::vector<std::string> outFolders()
{
    std::vector<std::string> folders = {outDir, outDir + "/sub"};
    for (const char* folder : paletteRenameFolders) {
        std::string native = outDir + "/" + folder;
        std::replace(native.begin(), native.end(), '\\', '/');
        folders.push_back(native);
    }
    return folders;
}

void makeOutFolders()
{
    for (const std::string& folder : outFolders())
        mkdir(folder.c_str(), 0755);
}

void setUpOnce()
{
    if (!root.empty())
        return;
    static ScratchFolder scratch;  // removed at exit
    char resolved[PATH_MAX];  // written files are found by their resolved paths
    root = realpath(scratch.folder.c_str(), resolved);
    outDir = root + "/out";
    makeOutFolders();
}

// A Windows path as the native layer names it: folder separators become
// slashes, and a 0x5C that is the second byte of a character stays.
std::string nativeOf(const std::string& windowsPath)
{
    std::string path;
    for (const char* at = windowsPath.c_str(); *at != '\0';) {
        const char* next = CharNextA(at);
        path += next - at == 1 && *at == '\\' ? std::string("/") : std::string(at, next);
        at = next;
    }
    return path;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t byte() { return at < size ? data[at++] : (at++, 0); }
    uint32_t le(int bytes)
    {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= (uint32_t)byte() << (8 * i);
        return value;
    }
};

// ---- what the input calls for, worked out independently of the plug-in ----------------------

bool fitsACel(int32_t depth, int32_t width, int32_t height)
{
    int64_t rows = std::abs((int64_t)height);
    return width >= 0 && width <= 65535 && rows <= 65535 && kissRowBytes(depth, width) * rows <= 0x7FFFFFFF;
}

struct Destination {
    std::string path;
    std::string paletteName;  // where a palette goes; empty when only its folder is known
    std::string folder;       // the folder part of `path`, with its separator
};

// Where the export is aimed: a row of the palette-name table, or the name
// bytes placed by one of a few path shapes, slashes among them. The name's
// own separators become "_" (a 0x5C inside a double-byte character stays),
// and it never ends in half a double-byte character.
Destination makePath(uint8_t shape, std::string name)
{
    std::string out = outDir;
    std::replace(out.begin(), out.end(), '/', '\\');
    if (shape & 0x80) {
        const PaletteRename& row = paletteRenames[(name.empty() ? 0 : (uint8_t)name[0]) % paletteRenameCount];
        std::string given = out + "\\" + row.given;
        return {given, out + "\\" + row.result, ""};
    }
    std::string bytes = name;
    name.clear();
    for (const char* at = bytes.c_str(); *at != '\0';) {
        const char* next = CharNextA(at);
        const BYTE second = (BYTE)at[1];
        if (next - at == 2 && (second < 0x40 || second == 0x7F || second > 0xFC)) {
            name += '_';  // no character of code page 932: the second byte (a slash, say) stands alone
            ++at;
            continue;
        }
        if (next - at == 1 && (*at == '\\' || *at == '/'))
            name += '_';
        else
            name.append(at, next);
        if (next - at == 1 && IsDBCSLeadByte((BYTE)*at))
            name += '_';  // a lone lead byte at the end would swallow a separator after it
        at = next;
    }
    std::string folder;
    switch (shape % 8) {
    case 0: folder = out + "\\"; break;
    case 1: folder = out + "\\sub\\"; break;
    case 2:  // names a folder, and no way up out of the scratch folder
        if (name == "." || name == "..")
            name = "_" + name;
        return {out + "\\" + name + "\\", "", out + "\\" + name + "\\"};
    case 3: folder = out + "\\missing\\"; break;
    case 4: folder = outDir + "/"; break;
    case 5: return {out + "\\sub\\..\\" + name, "", out + "\\sub\\..\\"};
    case 6: folder = out + "\\sub/"; break;
    default: folder = out + "/v1.2/"; break;
    }
    return {folder + name, "", folder};
}

// Whether writing `path` in `folder` (its folder part, with the separator)
// must succeed. The temporary file goes into that folder, which may have at
// most MAX_PATH - 14 bytes without its separator.
bool writable(const std::string& path, const std::string& folder)
{
    std::string leaf = path.substr(folder.size());
    return folder.size() - 1 <= MAX_PATH - 14 && isFolder(nativeOf(folder)) && !leaf.empty() && leaf != "." &&
           leaf != ".." && leaf.size() <= 255 && !isFolder(nativeOf(path));
}

// True when `text` holds a folder separator of its own (not the second byte
// of a double-byte character).
bool hasSeparator(const std::string& text)
{
    for (const char* at = text.c_str(); *at != '\0'; at = CharNextA(at))
        if (*at == '\\' || *at == '/')
            return true;
    return false;
}

// ---- the host side ---------------------------------------------------------------------------

enum { PROGRESS_NONE, PROGRESS_GO_ON, PROGRESS_STOP_AT_START, PROGRESS_STOP_AT_END };
int progressMode;
std::vector<LONG> progressSeen;

LONG WINAPI progress(LONG numerator, LONG denominator, LONG userValue)
{
    CHECK(denominator == 1 && userValue == 0x5EED, "progress arguments");
    progressSeen.push_back(numerator);
    return (progressMode == PROGRESS_STOP_AT_START && numerator == 0) ||
           (progressMode == PROGRESS_STOP_AT_END && numerator == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setUpOnce();
    startWithACleanNativeLayer();
    Reader in{data, size};
    const int16_t depth = (int16_t)in.le(2);
    int32_t width = (int32_t)in.le(4);
    int32_t height = (int32_t)in.le(4);
    const uint8_t settingControl = in.byte();
    const DWORD settingType = in.le(4);
    std::vector<uint8_t> settingBytes(8);
    for (uint8_t& b : settingBytes)
        b = in.byte();
    const uint8_t shape = in.byte();
    const uint8_t progressByte = in.byte();
    const DWORD flags = in.le(4);
    std::string name;
    while (in.at < size && name.size() < MAX_NAME)
        if (char c = (char)in.byte())
            name.push_back(c);

    // Keep an accepted picture within MAX_BITS (narrower, then fewer rows); a
    // refused one gets only a token buffer, as the plug-in must refuse it
    // before reading a single pixel.
    const bool accepted = fitsACel(depth, width, height);
    std::vector<uint8_t> bits(16, 0xEE);
    if (accepted) {
        if (hostStride(depth, width) > MAX_BITS)
            width = (int32_t)(MAX_BITS * 8 / (depth > 0 ? depth : 8) - 32);
        int64_t longest = std::max((int64_t)hostStride(depth, width), kissRowBytes(depth, width));
        if (longest > 0 && longest * std::abs((int64_t)height) > MAX_BITS)
            height = (int32_t)(height < 0 ? -(MAX_BITS / longest) : MAX_BITS / longest);
        bits = patternBits(depth, width, height, progressByte >> 2);
    }

    const bool settingStored = settingControl != 0xFF;
    settingBytes.resize(settingStored ? settingControl % 9 : 0);
    unlink((root + "/registry").c_str());
    if (settingStored)
        storeSetting(settingType, settingBytes);
    DWORD setting = 0;
    if (settingBytes.size() <= 4)  // shorter values zero-extended, longer ones unreadable
        for (size_t i = 0; i < settingBytes.size(); ++i)
            setting |= (DWORD)settingBytes[i] << (8 * i);
    const bool palette = setting == 1 && depth == 24 && width == 256 && height == 1;

    HostPicture picture(depth, width, height, bits);
    // The host leaves room for four more characters, and not one more.
    const Destination destination = makePath(shape, name);
    const std::string& path = destination.path;
    std::vector<char> pathBuffer(path.begin(), path.end());
    pathBuffer.resize(path.size() + 5, '\0');

    progressMode = progressByte & 3;
    progressSeen.clear();
    const NativePlatform::Held before = NativePlatform::held();
    NativePlatform::resetCalls();
    const LONG status = CreatePicture(pathBuffer.data(), flags, &picture.header, &picture.bits, infoRecord(picture),
                                      progressMode == PROGRESS_NONE ? NULL : progress, 0x5EED);
    const std::vector<std::string> calls = NativePlatform::callLog();
    const NativePlatform::Held after = NativePlatform::held();
    const std::string pathAfter = pathBuffer.data();

    const std::string detail = "status " + std::to_string(status) + " depth " + std::to_string(depth) + " " +
                               std::to_string(width) + " x " + std::to_string(height) + " path " + path;
    CHECK(status == 0 || status == 101 || status == 104 || status == 109, detail);
    CHECK(after.memoryBlocks == before.memoryBlocks && after.locks == before.locks && after.files == before.files &&
              after.registryKeys == before.registryKeys,
          detail);
    if (progressMode != PROGRESS_NONE)
        CHECK(!progressSeen.empty() && progressSeen[0] == 0 && progressSeen.size() <= 2 &&
                  (progressSeen.size() == 1 || progressSeen[1] == 1),
              detail);

    std::string expectedPath = path;
    bool fileExpected = false;
    if (progressMode == PROGRESS_STOP_AT_START) {
        CHECK(status == 101 && calls.empty() && progressSeen.size() == 1 && pathAfter == path, detail);
    } else if (!accepted) {
        CHECK(status == 104 && pathAfter == path, detail);
        for (const std::string& call : calls)
            CHECK(call.compare(0, 5, "Local") == 0, detail + ": " + call);
    } else {
        CHECK(status != 104, detail);
        if (palette && !destination.paletteName.empty()) {
            expectedPath = destination.paletteName;
        } else if (palette) {
            // A name the table does not hold: wherever the palette goes, it
            // stays in the folder asked for, under the name given or that
            // name with ".kcf" at its end.
            const std::string leaf = pathAfter.substr(std::min(pathAfter.size(), destination.folder.size()));
            CHECK(pathAfter.compare(0, destination.folder.size(), destination.folder) == 0 && !hasSeparator(leaf),
                  detail + " -> " + pathAfter + ": outside the folder");
            CHECK(pathAfter == path || (pathAfter.size() >= 4 && pathAfter.size() <= path.size() + 4 &&
                                        pathAfter.compare(pathAfter.size() - 4, 4, ".kcf") == 0),
                  detail + " -> " + pathAfter);
            expectedPath = pathAfter;
        }
        CHECK(pathAfter == expectedPath, detail + " -> " + pathAfter + " instead of " + expectedPath);
        const std::string folder = !destination.folder.empty()
                                       ? destination.folder
                                       : expectedPath.substr(0, expectedPath.find_last_of("\\/") + 1);  // table: plain ASCII
        const bool expectWritten = writable(expectedPath, folder);
        if (progressMode == PROGRESS_STOP_AT_END && progressSeen.size() == 2)
            CHECK(status == 101, detail);
        if (expectWritten)
            CHECK(status == (progressMode == PROGRESS_STOP_AT_END ? 101 : 0), detail);
        else
            CHECK(status == 109 || (status == 101 && progressMode == PROGRESS_STOP_AT_END), detail);
        if (status == 0) {
            CHECK(progressMode == PROGRESS_NONE || progressSeen.size() == 2, detail);
            fileExpected = true;
        } else if (status == 101) {
            // Stopped at the end: the file is there exactly when writing it worked.
            CHECK(progressMode == PROGRESS_STOP_AT_END && progressSeen.size() == 2, detail);
            fileExpected = expectWritten;
        }
    }
    if (fileExpected) {
        const std::vector<uint8_t> written = readFile(nativeOf(expectedPath));
        CHECK(written == expectedKissFile(depth, width, height, bits, palette ? 0x10 : 0x20),
              detail + ": " + std::to_string(written.size()) + " bytes written");
    }

    // The host's bits are read, never written.
    const void* memory = LocalLock(picture.bits);
    CHECK(bits.empty() || memcmp(memory, bits.data(), bits.size()) == 0, detail);
    LocalUnlock(picture.bits);

    // Nothing but the written file, and no temporary file anywhere.
    const std::vector<std::string> folders = outFolders();
    std::set<std::string> allowed(folders.begin(), folders.end());
    allowed.insert(root + "/registry");
    if (fileExpected) {
        char written[PATH_MAX];
        CHECK(realpath(nativeOf(expectedPath).c_str(), written) && std::string(written).find(outDir + "/") == 0,
              detail + ": written outside the scratch folder");
        allowed.insert(written);
    }
    for (const std::string& folder : {root, outDir})
        for (const std::string& entry : folderEntries(folder))
            CHECK(allowed.count(folder + "/" + entry), detail + ": left behind: " + folder + "/" + entry);
    for (size_t i = 1; i < folders.size(); ++i)
        for (const std::string& entry : folderEntries(folders[i]))
            CHECK(allowed.count(folders[i] + "/" + entry), detail + ": left behind: " + folders[i] + "/" + entry);
    removeTree(outDir);
    makeOutFolders();
    return 0;
}
