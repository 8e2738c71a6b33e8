// Only the calls that make, list and remove folders differ between the
// builds: POSIX natively (the platform layer counts its own calls, which a
// test's scratch folder must not add to), and the wide Windows calls under
// Wine, so that the long-name tests' files can be listed and removed
// whatever porvane makes of them.
#include "scratch_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#ifdef _WIN32

#include <windows.h>

std::wstring wholePath(const std::string& path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, NULL, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.pop_back();
    return path.size() >= MAX_PATH - 12 ? L"\\\\?\\" + wide : wide;
}

static void removeWideTree(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files go too
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            removeWideTree(path + L"\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryW(path.c_str());
}

void removeTree(const std::string& path)
{
    std::wstring wide = wholePath(path);
    removeWideTree(wide.compare(0, 4, L"\\\\?\\") == 0 ? wide : L"\\\\?\\" + wide);
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wholePath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        char name[2 * MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, name, sizeof name, NULL, NULL);
        if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0)
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

ScratchFolder::ScratchFolder()
{
    static unsigned counter = 0;
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    for (int attempt = 0; attempt < 100 && folder.empty() && length > 0 && length < sizeof temp; ++attempt) {
        char name[64];
        snprintf(name, sizeof name, "porvane-test-%lu-%u", (unsigned long)GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA((temp + std::string(name)).c_str(), NULL))
            folder = temp + std::string(name);
    }
    if (folder.empty()) {
        fprintf(stderr, "cannot create a scratch folder under the temporary folder (error %lu)\n",
                (unsigned long)GetLastError());
        abort();
    }
}

ScratchFolder::~ScratchFolder()
{
    removeTree(folder);
}

std::vector<std::string> ScratchFolder::names() const
{
    return folderEntries(folder);
}

#else

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

ScratchFolder::ScratchFolder()
{
    const char* temp = getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/porvane-test-XXXXXX";
    if (mkdtemp(&pattern[0]) == NULL) {
        perror("cannot create a scratch folder");
        abort();
    }
    folder = pattern;
    setenv("PORVANE_REGISTRY", path("registry").c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    removeTree(folder);
    unsetenv("PORVANE_REGISTRY");
}

std::vector<std::string> ScratchFolder::names() const
{
    std::vector<std::string> found = folderEntries(folder);
    found.erase(std::remove(found.begin(), found.end(), "registry"), found.end());
    return found;
}

#endif

std::string ScratchFolder::windowsPath(const std::string& name) const
{
    std::string windows = path(name);
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}
