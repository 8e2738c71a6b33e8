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
//   23  uint8   path shape (see makePath)
//   24  uint8   progress: low 2 bits 0 none, 1 never stops, 2 stops at the
//               start, 3 stops at the end; the other bits seed the pixels
//   25  uint32  flags, passed through
//   29  ...     the file name (at most 400 bytes; NULs dropped)
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "../native/native_test_support.h"

namespace {

const size_t MAX_NAME = 400;
const int64_t MAX_BITS = 1 << 20;  // host pixel bits (and the written block) kept to 1 MB a run

std::string root;    // scratch folder, made once per process
std::string outDir;  // root/out: where every export is aimed

void fail(const char* what, const std::string& detail)
{
    fprintf(stderr, "fuzz_export: invariant broken: %s %s\n", what, detail.c_str());
    abort();
}
#define CHECK(condition, detail)      \
    do {                              \
        if (!(condition))             \
            fail(#condition, detail); \
    } while (0)

void setUpOnce()
{
    if (!root.empty())
        return;
    static ScratchFolder scratch;  // removed at exit
    char resolved[PATH_MAX];  // written files are found by their resolved paths
    root = realpath(scratch.folder.c_str(), resolved);
    outDir = root + "/out";
    mkdir(outDir.c_str(), 0755);
    mkdir((outDir + "/sub").c_str(), 0755);
}

std::string nativeOf(std::string windowsPath)
{
    std::replace(windowsPath.begin(), windowsPath.end(), '\\', '/');
    return windowsPath;
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

// Over the last six characters, a backslash gets ".kcf" appended and a full
// stop starts the extension that ".kcf" replaces; no name reaches 256 characters.
std::string paletteName(const std::string& path)
{
    const int length = (int)path.size();
    if (length >= 256)
        return path;
    for (int position = length - 1; position >= 0 && position >= length - 6; --position) {
        if (path[position] == '\\')
            return length + 4 <= 255 ? path + ".kcf" : path;
        if (path[position] == '.')
            return position + 4 <= 255 ? path.substr(0, position) + ".kcf" : path;
    }
    return path;
}

// The name bytes, without separators, placed by one of a few path shapes.
std::string makePath(uint8_t shape, std::string name)
{
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\\', '_');
    std::string out = outDir;
    std::replace(out.begin(), out.end(), '/', '\\');
    switch (shape % 6) {
    case 0: return out + "\\" + name;
    case 1: return out + "\\sub\\" + name;
    case 2:  // names a folder, and no way up out of the scratch folder
        if (name == "." || name == "..")
            name = "_" + name;
        return out + "\\" + name + "\\";
    case 3: return out + "\\missing\\" + name;
    case 4: return outDir + "/" + name;
    default: return out + "\\sub\\..\\" + name;
    }
}

// Whether writing `path` must succeed (1), must fail (0), or may go either
// way (-1: the temporary name may or may not fit MAX_PATH).
int writable(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    std::string folder = path.substr(0, cut + 1), leaf = path.substr(cut + 1);
    if (folder.size() >= MAX_PATH || !isFolder(nativeOf(folder)) || leaf.empty() || leaf == "." || leaf == ".." ||
        leaf.size() > 255 || isFolder(nativeOf(path)))
        return 0;
    // The temporary file is folder + "kis" + 1 to 4 hex digits + ".tmp".
    if (folder.size() + 3 + 4 + 4 < MAX_PATH)
        return 1;
    return folder.size() + 3 + 1 + 4 >= MAX_PATH ? 0 : -1;
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
    const std::string path = makePath(shape, name);
    std::vector<char> pathBuffer(path.begin(), path.end());
    pathBuffer.resize(path.size() + 5, '\0');

    progressMode = progressByte & 3;
    progressSeen.clear();
    const NativePlatform::Held before = NativePlatform::held();
    NativePlatform::resetCalls();
    const LONG status = CreatePicture(pathBuffer.data(), flags, &picture.header, &picture.bits, &picture.info,
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

    const std::string expectedPath = palette && status != 104 ? paletteName(path) : path;
    const int expectWritten = writable(expectedPath);
    bool fileExpected = false;
    if (progressMode == PROGRESS_STOP_AT_START) {
        CHECK(status == 101 && calls.empty() && progressSeen.size() == 1 && pathAfter == path, detail);
    } else if (!accepted) {
        CHECK(status == 104 && pathAfter == path, detail);
        for (const std::string& call : calls)
            CHECK(call.compare(0, 5, "Local") == 0, detail + ": " + call);
    } else {
        CHECK(status != 104, detail);
        CHECK(pathAfter == expectedPath, detail + " -> " + pathAfter + " instead of " + expectedPath);
        if (progressMode == PROGRESS_STOP_AT_END && progressSeen.size() == 2)
            CHECK(status == 101, detail);
        if (expectWritten == 1)
            CHECK(status == (progressMode == PROGRESS_STOP_AT_END ? 101 : 0), detail);
        if (expectWritten == 0)
            CHECK(status == 109 || (status == 101 && progressMode == PROGRESS_STOP_AT_END), detail);
        if (status == 0) {
            CHECK(progressMode == PROGRESS_NONE || progressSeen.size() == 2, detail);
            fileExpected = true;
        } else if (status == 101) {
            // Stopped at the end: the file is there exactly when writing it worked.
            CHECK(progressMode == PROGRESS_STOP_AT_END && progressSeen.size() == 2, detail);
            fileExpected = expectWritten == 1 ||
                           (expectWritten == -1 && access(nativeOf(expectedPath).c_str(), F_OK) == 0);
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
    std::set<std::string> allowed{outDir, outDir + "/sub", root + "/registry"};
    if (fileExpected) {
        char written[PATH_MAX];
        CHECK(realpath(nativeOf(expectedPath).c_str(), written) && std::string(written).find(outDir + "/") == 0,
              detail + ": written outside the scratch folder");
        allowed.insert(written);
    }
    for (const std::string& folder : {root, outDir, outDir + "/sub"})
        for (const std::string& entry : folderEntries(folder))
            CHECK(allowed.count(folder + "/" + entry), detail + ": left behind: " + folder + "/" + entry);
    removeTree(outDir);
    mkdir(outDir.c_str(), 0755);
    mkdir((outDir + "/sub").c_str(), 0755);
    return 0;
}
