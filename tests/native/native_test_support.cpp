#include "native_test_support.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <fstream>
#include <iterator>

int32_t hostStride(int32_t depth, int32_t width)
{
    return (int32_t)((((int64_t)width * (depth > 0 ? depth : 8)) + 31) / 32 * 4);
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
    std::string pattern = std::string(temp ? temp : "/tmp") + "/porvane-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    folder = mkdtemp(name.data());
    setenv("PORVANE_REGISTRY", path("registry").c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    std::string command = "rm -rf '" + folder + "'";
    if (system(command.c_str()) != 0)
        abort();
    unsetenv("PORVANE_REGISTRY");
}

std::vector<std::string> ScratchFolder::names() const
{
    std::vector<std::string> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0 &&
                strcmp(entry->d_name, "registry") != 0)
                found.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    return found;
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
