#include "native_test_support.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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
    LONG status = CreatePicture(buffer.data(), 0, &picture.header, &picture.bits, infoRecord(picture), recordProgress, 77);
    *path = buffer.data();
    return status;
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
