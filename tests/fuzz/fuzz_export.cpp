// libFuzzer target: CreatePicture as a host would call it, with any colour
// depth, any width and height, any stored palette setting and any file name,
// checked after every call against what must hold whatever the input:
//
//   - the status is 0, 101, 104 or 109, and the one this input calls for;
//   - every lock, block, file and registry key is given back;
//   - no temporary file stays behind and nothing is written outside the
//     scratch folder;
//   - a written file has exactly the expected bytes (32-byte header, then
//     rowBytes * |height| bytes of rows) under the expected name;
//   - the host's pixel bits are never written to.
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
#include <windows.h>

#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "../../plugin/plugin_api.h"
#include "native_platform.h"

namespace {

// The harness's own loops over pixels are not what the fuzzer should learn
// from, and their comparison tracing would cost more than the export itself.
#define HARNESS_ONLY __attribute__((no_sanitize("coverage")))

const size_t MAX_NAME = 400;
const int64_t MAX_BITS = 1 << 20;  // host pixel bits (and the written block) kept to 1 MB a run

std::string root;    // scratch folder, made once per process
std::string outDir;  // root/out: where every export is aimed

void fail(const char* what, const std::string& detail = "")
{
    fprintf(stderr, "fuzz_export: invariant broken: %s %s\n", what, detail.c_str());
    abort();
}
#define CHECK(condition, detail)      \
    do {                              \
        if (!(condition))             \
            fail(#condition, detail); \
    } while (0)

void removeTree(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode)) {
        if (DIR* dir = opendir(path.c_str())) {
            std::vector<std::string> names;
            while (dirent* entry = readdir(dir))
                if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                    names.push_back(entry->d_name);
            closedir(dir);
            for (const std::string& name : names)
                removeTree(path + "/" + name);
        }
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

void removeScratch() { removeTree(root); }

void setUpOnce()
{
    if (!root.empty())
        return;
    const char* temp = getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/porvane-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == NULL)
        fail("cannot make the scratch folder");
    root = name.data();
    outDir = root + "/out";
    mkdir(outDir.c_str(), 0755);
    mkdir((outDir + "/sub").c_str(), 0755);
    setenv("PORVANE_REGISTRY", (root + "/registry").c_str(), 1);
    atexit(removeScratch);
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
    uint32_t u32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= (uint32_t)byte() << (8 * i);
        return value;
    }
    uint16_t u16()
    {
        uint16_t low = byte();
        return (uint16_t)(low | byte() << 8);
    }
};

// ---- what the input calls for, worked out independently of the plug-in ----------------------

int64_t rowBytesFor(int32_t depth, int64_t width)
{
    switch (depth) {
    case 1: return (width + 7) / 8;
    case 4: return (width + 1) / 2;
    case 24: return 3 * width;
    default: return width;
    }
}

// The host's padded row: its bits a pixel (8 for a depth that makes no sense), to 4 bytes.
int64_t hostStride(int32_t depth, int64_t width) { return (width * (depth > 0 ? depth : 8) + 31) / 32 * 4; }

bool fitsACel(int32_t depth, int32_t width, int32_t height)
{
    int64_t rows = height < 0 ? -(int64_t)height : height;
    return width >= 0 && width <= 65535 && rows <= 65535 && rowBytesFor(depth, width) * rows <= 0x7FFFFFFF;
}

// The name palette mode writes to: over the last six characters, a
// backslash gets ".kcf" appended, a full stop starts the extension that
// ".kcf" replaces; no name of 256 characters or more, before or after.
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

// The file name bytes made into a name inside the scratch folder: no
// separators and no NULs, then placed by one of a few chosen shapes.
std::string makePath(uint8_t shape, std::string name)
{
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\\', '_');
    std::string out = outDir;
    std::replace(out.begin(), out.end(), '/', '\\');
    switch (shape % 6) {
    case 0: return out + "\\" + name;
    case 1: return out + "\\sub\\" + name;
    case 2:  // names a folder: a trailing separator, and no way up out of the scratch folder
        if (name == "." || name == "..")
            name = "_" + name;
        return out + "\\" + name + "\\";
    case 3: return out + "\\missing\\" + name;  // a folder that does not exist
    case 4: return outDir + "/" + name;         // forward slashes throughout
    default: return out + "\\sub\\..\\" + name;
    }
}

// Whether writing `path` must succeed (1), must fail (0), or may go either
// way (-1: the temporary name may or may not fit MAX_PATH).
int writable(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    std::string folder = path.substr(0, cut + 1), leaf = path.substr(cut + 1);
    std::string target = nativeOf(path);
    if (folder.size() >= MAX_PATH || !isFolder(nativeOf(folder)) || leaf.empty() || leaf == "." || leaf == ".." ||
        leaf.size() > 255 || isFolder(target))
        return 0;
    // The temporary file is folder + "kis" + 1 to 4 hex digits + ".tmp".
    if (folder.size() + 3 + 4 + 4 < MAX_PATH)
        return 1;
    if (folder.size() + 3 + 1 + 4 >= MAX_PATH)
        return 0;
    return -1;
}

HARNESS_ONLY uint32_t hostPixel(const uint8_t* row, int depth, int32_t x)
{
    if (depth == 24)
        return (uint32_t)row[3 * x + 2] << 16 | (uint32_t)row[3 * x + 1] << 8 | row[3 * x];
    int32_t bit = x * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

HARNESS_ONLY std::vector<uint8_t> expectedFile(int16_t depth, int32_t width, int32_t height, const std::vector<uint8_t>& bits,
                                  uint8_t mark)
{
    const int32_t rows = height < 0 ? -height : height;
    const int64_t rowBytes = rowBytesFor(depth, width);
    std::vector<uint8_t> file(32, 0);
    memcpy(file.data(), "KiSS", 4);
    file[4] = mark;
    file[5] = (uint8_t)depth;
    file[8] = (uint8_t)(width & 0xFF);
    file[9] = (uint8_t)(width >> 8);
    file[10] = (uint8_t)(rows & 0xFF);
    file[11] = (uint8_t)(rows >> 8);
    file.resize(32 + (size_t)(rowBytes * rows), 0);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return file;  // no conversion defined: zero rows
    const int64_t stride = hostStride(depth, width);
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* from = bits.data() + (size_t)((height > 0 ? rows - 1 - y : y) * stride);
        uint8_t* to = file.data() + 32 + (size_t)(y * rowBytes);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = hostPixel(from, depth, x);
            if (depth == 24) {
                to[3 * x] = (uint8_t)(pixel >> 16);
                to[3 * x + 1] = (uint8_t)(pixel >> 8);
                to[3 * x + 2] = (uint8_t)pixel;
            } else {
                int32_t bit = x * depth;
                to[bit / 8] |= (uint8_t)(pixel << (8 - depth - bit % 8));
            }
        }
    }
    return file;
}

HARNESS_ONLY std::vector<uint8_t> readAll(const std::string& path)
{
    std::vector<uint8_t> bytes;
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return bytes;
    bytes.resize((size_t)info.st_size);
    if (FILE* file = fopen(path.c_str(), "rb")) {
        bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
        fclose(file);
    }
    return bytes;
}

HARNESS_ONLY void fillPixels(std::vector<uint8_t>* bits, uint8_t seed)
{
    for (size_t i = 0; i < bits->size(); ++i)
        (*bits)[i] = (uint8_t)((i * 0x9E + seed) ^ (i >> 7));
}

// ---- the host side ---------------------------------------------------------------------------

enum { PROGRESS_NONE, PROGRESS_GO_ON, PROGRESS_STOP_AT_START, PROGRESS_STOP_AT_END };
int progressMode;
std::vector<LONG> progressSeen;

LONG WINAPI progress(LONG numerator, LONG denominator, LONG userValue)
{
    CHECK(denominator == 1 && userValue == 0x5EED, "progress arguments");
    progressSeen.push_back(numerator);
    if (progressMode == PROGRESS_STOP_AT_START && numerator == 0)
        return 1;
    return progressMode == PROGRESS_STOP_AT_END && numerator == 1 ? 1 : 0;
}

HLOCAL movableCopy(const void* bytes, size_t count)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, count);
    CHECK(handle != NULL, "host allocation");
    void* memory = LocalLock(handle);
    if (count > 0)
        memcpy(memory, bytes, count);
    LocalUnlock(handle);
    return handle;
}

void storeSetting(bool present, DWORD type, const uint8_t* bytes, DWORD size)
{
    unlink((root + "/registry").c_str());
    if (!present)
        return;
    HKEY key = NULL;
    CHECK(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\brovald\\porvane", &key) == ERROR_SUCCESS, "");
    CHECK(RegSetValueExA(key, "ChengePallet", 0, type, bytes, size) == ERROR_SUCCESS, "");
    RegCloseKey(key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setUpOnce();
    Reader in{data, size};
    const int16_t depth = (int16_t)in.u16();
    int32_t width = (int32_t)in.u32();
    int32_t height = (int32_t)in.u32();
    const uint8_t settingControl = in.byte();
    const DWORD settingType = in.u32();
    uint8_t settingBytes[8];
    for (uint8_t& b : settingBytes)
        b = in.byte();
    const uint8_t shape = in.byte();
    const uint8_t progressByte = in.byte();
    const DWORD flags = in.u32();
    std::string name;
    while (in.at < size && name.size() < MAX_NAME) {
        char c = (char)in.byte();
        if (c != '\0')
            name.push_back(c);
    }

    // Keep an accepted picture within MAX_BITS (narrower, then fewer rows); a
    // refused one gets only a token buffer, as the plug-in must refuse it
    // before reading a single pixel.
    const bool accepted = fitsACel(depth, width, height);
    std::vector<uint8_t> bits;
    if (accepted) {
        if (hostStride(depth, width) > MAX_BITS)
            width = (int32_t)(MAX_BITS * 8 / (depth > 0 ? depth : 8) - 32);
        // Rows of the host's bits or of the written block, whichever is longer.
        int64_t rows = height < 0 ? -(int64_t)height : height;
        int64_t longest = std::max(hostStride(depth, width), rowBytesFor(depth, width));
        if (longest > 0 && longest * rows > MAX_BITS)
            height = (int32_t)(height < 0 ? -(MAX_BITS / longest) : MAX_BITS / longest);
        bits.resize((size_t)(hostStride(depth, width) * (height < 0 ? -(int64_t)height : height)));
    } else {
        bits.resize(16);
    }
    fillPixels(&bits, progressByte >> 2);

    const bool settingStored = settingControl != 0xFF;
    const DWORD settingSize = settingStored ? settingControl % 9 : 0;
    storeSetting(settingStored, settingType, settingBytes, settingSize);
    DWORD setting = 0;
    if (settingStored && settingSize <= 4)
        for (DWORD i = 0; i < settingSize; ++i)
            setting |= (DWORD)settingBytes[i] << (8 * i);
    const bool palette = setting == 1 && depth == 24 && width == 256 && height == 1;

    BitmapInfoHeader header = {};
    header.size = sizeof header;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = (uint16_t)depth;
    PictureInfoRecord info;
    memset(&info, 0xA5, sizeof info);
    info.colorDepth = depth;
    HLOCAL headerHandle = movableCopy(&header, sizeof header);
    HLOCAL bitsHandle = movableCopy(bits.data(), bits.size());

    // The host leaves room for four more characters, and not one more.
    const std::string path = makePath(shape, name);
    char* pathBuffer = (char*)malloc(path.size() + 5);
    memcpy(pathBuffer, path.c_str(), path.size() + 1);

    progressMode = progressByte & 3;
    progressSeen.clear();
    const NativePlatform::Held before = NativePlatform::held();
    NativePlatform::resetCalls();
    const LONG status = CreatePicture(pathBuffer, flags, &headerHandle, &bitsHandle, &info,
                                      progressMode == PROGRESS_NONE ? NULL : progress, 0x5EED);
    const std::vector<std::string> calls = NativePlatform::callLog();
    const NativePlatform::Held after = NativePlatform::held();
    const std::string pathAfter = pathBuffer;
    free(pathBuffer);

    const std::string detail = "status " + std::to_string(status) + " depth " + std::to_string(depth) + " " +
                               std::to_string(width) + " x " + std::to_string(height) + " path " + path;
    static const bool verbose = getenv("PORVANE_FUZZ_VERBOSE") != NULL;
    if (verbose)
        fprintf(stderr, "%s -> %s (%zu calls)\n", detail.c_str(), pathAfter.c_str(), calls.size());
    CHECK(status == 0 || status == 101 || status == 104 || status == 109, detail);
    CHECK(after.memoryBlocks == before.memoryBlocks && after.locks == before.locks && after.files == before.files &&
              after.registryKeys == before.registryKeys,
          detail);

    if (progressMode != PROGRESS_NONE)
        CHECK(!progressSeen.empty() && progressSeen[0] == 0 && progressSeen.size() <= 2 &&
                  (progressSeen.size() == 1 || progressSeen[1] == 1),
              detail);

    // What the written file, if any, must be called.
    const std::string expectedPath = palette && status != 104 ? paletteName(path) : path;
    const int expectWritten = writable(expectedPath);
    bool fileExpected = false;
    if (progressMode == PROGRESS_STOP_AT_START) {
        CHECK(status == 101 && calls.empty() && progressSeen.size() == 1, detail);
        CHECK(pathAfter == path, detail);
    } else if (!accepted) {
        CHECK(status == 104, detail);
        for (const std::string& call : calls)
            CHECK(call.compare(0, 5, "Local") == 0, detail + ": " + call);
        CHECK(pathAfter == path, detail);
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
        const std::vector<uint8_t> written = readAll(nativeOf(expectedPath));
        const std::vector<uint8_t> expected = expectedFile(depth, width, height, bits, palette ? 0x10 : 0x20);
        CHECK(written.size() == expected.size(), detail + ": " + std::to_string(written.size()) + " bytes written");
        CHECK(memcmp(written.data(), "KiSS", 4) == 0, detail);
        CHECK(written == expected, detail);
    }

    // The host's bits are read, never written.
    {
        void* memory = LocalLock(bitsHandle);
        CHECK(bits.empty() || memcmp(memory, bits.data(), bits.size()) == 0, detail);
        LocalUnlock(bitsHandle);
    }
    LocalFree(headerHandle);
    LocalFree(bitsHandle);

    // Nothing but the written file, and no temporary file anywhere.
    std::set<std::string> allowed{"sub"};
    std::set<std::string> allowedInSub;
    if (fileExpected) {
        std::string target = nativeOf(expectedPath);
        std::string folder = target.substr(0, target.find_last_of('/'));
        std::string leaf = target.substr(target.find_last_of('/') + 1);
        char resolved[PATH_MAX];
        CHECK(realpath(folder.c_str(), resolved) != NULL, detail);
        char resolvedOut[PATH_MAX];
        CHECK(realpath(outDir.c_str(), resolvedOut) != NULL, detail);
        if (std::string(resolved) == resolvedOut)
            allowed.insert(leaf);
        else if (std::string(resolved) == std::string(resolvedOut) + "/sub")
            allowedInSub.insert(leaf);
        else
            fail("written outside the scratch folder", detail);
        unlink(target.c_str());
    }
    for (const std::string& entry : entries(outDir))
        CHECK(allowed.count(entry), detail + ": left behind: " + entry);
    for (const std::string& entry : entries(outDir + "/sub"))
        CHECK(allowedInSub.count(entry), detail + ": left behind in sub: " + entry);
    for (const std::string& entry : entries(root))
        CHECK(entry == "out" || entry == "registry", detail + ": written beside the scratch folder: " + entry);
    for (const std::string& entry : entries(outDir))
        if (entry != "sub")
            removeTree(outDir + "/" + entry);
    for (const std::string& entry : entries(outDir + "/sub"))
        removeTree(outDir + "/sub/" + entry);
    return 0;
}
