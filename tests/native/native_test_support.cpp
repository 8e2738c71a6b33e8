#include "native_test_support.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

int32_t hostStride(int32_t depth, int32_t width)
{
    return (int32_t)((((int64_t)width * (depth > 0 ? depth : 8)) + 31) / 32 * 4);
}

int64_t kissRowBytes(int32_t depth, int64_t width)
{
    return depth == 1 || depth == 4 || depth == 24 || depth == 32 ? (width * depth + 7) / 8 : width;
}

static HLOCAL movableCopy(const void* bytes, size_t count)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, count);
    void* memory = LocalLock(handle);
    if (count > 0)
        memcpy(memory, bytes, count);
    LocalUnlock(handle);
    return handle;
}

HostPicture::HostPicture(int16_t depth, int32_t width, int32_t height, const std::vector<uint8_t>& rows)
{
    BitmapInfoHeader bitmapHeader = {};
    bitmapHeader.size = sizeof bitmapHeader;
    bitmapHeader.width = width;
    bitmapHeader.height = height;
    bitmapHeader.planes = 1;
    bitmapHeader.bitCount = (uint16_t)depth;
    header = movableCopy(&bitmapHeader, sizeof bitmapHeader);
    bits = movableCopy(rows.data(), rows.size());
    memset(&info, 0xA5, sizeof info);  // fields the plug-in must not read
    info.colorDepth = depth;
}

HostPicture::~HostPicture()
{
    LocalFree(header);
    LocalFree(bits);
}

std::vector<uint8_t> patternBits(int32_t depth, int32_t width, int32_t height, uint8_t seed)
{
    size_t size = (size_t)hostStride(depth, width) * (size_t)std::abs((int64_t)height);
    std::vector<uint8_t> bits(size);
    for (size_t i = 0; i < size; ++i)
        bits[i] = (uint8_t)(i * 7 + seed + (i >> 8));
    return bits;
}

std::vector<uint8_t> expectedKissFile(int16_t depth, int32_t width, int32_t height,
                                      const std::vector<uint8_t>& hostRows, uint8_t mark)
{
    const int32_t rows = (int32_t)std::abs((int64_t)height);
    const size_t rowBytes = (size_t)kissRowBytes(depth, width), stride = (size_t)hostStride(depth, width);
    std::vector<uint8_t> file(32 + rowBytes * rows, 0);
    const uint8_t header[12] = {'K', 'i', 'S', 'S', mark, (uint8_t)depth, 0, 0, (uint8_t)width,
                                (uint8_t)(width >> 8), (uint8_t)rows, (uint8_t)(rows >> 8)};
    memcpy(file.data(), header, sizeof header);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)
        return file;
    bool anyAlpha = false;
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* from = hostRows.data() + (size_t)(height > 0 ? rows - 1 - y : y) * stride;
        uint8_t* to = file.data() + 32 + (size_t)y * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            if (depth == 24) {  // the host stores blue, green, red
                to[3 * x] = from[3 * x + 2];
                to[3 * x + 1] = from[3 * x + 1];
                to[3 * x + 2] = from[3 * x];
            } else if (depth == 32) {  // blue, green, red, alpha on both sides
                memcpy(to + 4 * x, from + 4 * x, 4);
                anyAlpha = anyAlpha || from[4 * x + 3] != 0;
            } else {  // only the pixel's own bits: whatever follows the last pixel stays zero
                const int32_t bit = x * depth, shift = 8 - depth - bit % 8;
                to[bit / 8] |= from[bit / 8] & (uint8_t)(((1u << depth) - 1) << shift);
            }
        }
    }
    if (depth == 32 && !anyAlpha)  // no alpha anywhere: an opaque picture
        for (size_t alpha = 32 + 3; alpha < file.size(); alpha += 4)
            file[alpha] = 0xFF;
    return file;
}

std::vector<ProgressCall> progressCalls;
LONG progressAnswerAt = -1;

LONG WINAPI recordProgress(LONG numerator, LONG denominator, LONG userValue)
{
    progressCalls.push_back(ProgressCall{numerator, denominator, userValue});
    return numerator == progressAnswerAt ? 1 : 0;
}

LONG exportTo(std::string* path, HostPicture& picture)
{
    std::vector<char> buffer(path->size() + 8, '\0');
    memcpy(buffer.data(), path->c_str(), path->size());
    progressCalls.clear();
    LONG status = CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, &picture.info, recordProgress, 77);
    *path = buffer.data();
    return status;
}

ScratchFolder::ScratchFolder()
{
    const char* temp = getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/porvane-test-XXXXXX";
    if (mkdtemp(&pattern[0]) == NULL)
        abort();
    folder = pattern;
    setenv("PORVANE_REGISTRY", path("registry").c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    removeTree(folder);
    unsetenv("PORVANE_REGISTRY");
}

std::string ScratchFolder::windowsPath(const std::string& name) const
{
    std::string windows = folder + "\\" + name;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

std::vector<std::string> ScratchFolder::names() const
{
    std::vector<std::string> found = folderEntries(folder);
    found.erase(std::remove(found.begin(), found.end(), "registry"), found.end());
    return found;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                found.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void removeTree(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        for (const std::string& name : folderEntries(path))
            removeTree(path + "/" + name);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

void storeSetting(DWORD type, const std::vector<uint8_t>& bytes)
{
    HKEY key = NULL;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\brovald\\porvane", &key);
    RegSetValueExA(key, "ChengePallet", 0, type, bytes.data(), (DWORD)bytes.size());
    RegCloseKey(key);
}
