// Files over POSIX. Paths are Windows paths: in code page 932 for the A
// calls, where a backslash or a slash separates folders and a backslash that
// is the second byte of a double-byte character is part of that character;
// wide for the W calls, where every backslash and slash separates (UTF-16
// has no such trap) and the name is stored as UTF-8. An A call and its W
// twin share one POSIX core and differ only in the name they are counted by
// and the path they take. A file without the owner's write permission stands
// for a read-only file, which Windows neither replaces, removes nor opens for
// writing, whoever asks.
#include "native_internal.h"
#include "native_platform.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <wchar.h>
#include <algorithm>
#include <set>
#include <vector>

namespace {
struct NativeFile {
    int descriptor;
};
std::set<NativeFile*> openFiles;

// A FindFirstFileW search: every match is found at once, then handed out.
struct Search {
    std::vector<WIN32_FIND_DATAW> found;
    size_t next;
};
std::set<Search*> openSearches;
}

int NativePlatform::heldFiles() { return (int)openFiles.size(); }
int NativePlatform::heldSearches() { return (int)openSearches.size(); }

std::string NativePlatform::nativePath(const char* windowsPath)
{
    std::string path;
    for (const char* at = windowsPath; *at != '\0';) {
        const char* next = CharNextA(at);
        if (next - at == 1 && *at == '\\')
            path += '/';
        else
            path.append(at, next);
        at = next;
    }
    return path;
}

std::string NativePlatform::nativePath(const wchar_t* windowsPath)
{
    std::wstring path = windowsPath;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return utf8Text(path);
}

// The Windows error for a failed POSIX call.
static void setErrorFromErrno()
{
    switch (errno) {
    case ENOENT: SetLastError(ERROR_FILE_NOT_FOUND); break;
    case ENOTDIR: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case EEXIST: SetLastError(ERROR_FILE_EXISTS); break;
    case ENAMETOOLONG: SetLastError(ERROR_FILENAME_EXCED_RANGE); break;
    case ENOSPC: case EDQUOT: SetLastError(ERROR_DISK_FULL); break;
    case EACCES: case EPERM: case EISDIR: case EROFS: SetLastError(ERROR_ACCESS_DENIED); break;
    default: SetLastError(ERROR_GEN_FAILURE); break;
    }
}

static bool isReadOnly(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

// A POSIX call's result (0 for success) as Windows reports it.
static BOOL windowsResult(int posixResult)
{
    if (posixResult == 0)
        return TRUE;
    setErrorFromErrno();
    return FALSE;
}

// Fails a call as Windows would: with the error code set.
static BOOL failWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

static HANDLE createFile(const char* call, const std::string& path, DWORD access, DWORD creation)
{
    if (NativePlatform::countCall(call))
        return INVALID_HANDLE_VALUE;
    // The uses porvane has: writing a file, new (CREATE_NEW) or replacing
    // what is there (CREATE_ALWAYS), and reading (or, with no access,
    // looking at) one that exists. Sharing is not modelled.
    const bool writing = access == GENERIC_WRITE && (creation == CREATE_ALWAYS || creation == CREATE_NEW);
    const bool reading = (access == GENERIC_READ || access == 0) && creation == OPEN_EXISTING;
    if (!writing && !reading) {
        failWith(ERROR_GEN_FAILURE);
        return INVALID_HANDLE_VALUE;
    }
    if (writing && isReadOnly(path)) {
        failWith(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (reading && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {  // folders need a flag porvane never passes
        failWith(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const int mode = creation == CREATE_NEW ? O_EXCL : O_TRUNC;
    int descriptor = writing ? open(path.c_str(), O_WRONLY | O_CREAT | mode | O_CLOEXEC, 0644)
                             : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        setErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    NativeFile* file = new NativeFile{descriptor};
    openFiles.insert(file);
    return file;
}

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                          DWORD creation, DWORD /*attributes*/, HANDLE /*templateFile*/)
{
    return createFile("CreateFileA", NativePlatform::nativePath(name), access, creation);
}

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                          DWORD creation, DWORD /*attributes*/, HANDLE /*templateFile*/)
{
    return createFile("CreateFileW", NativePlatform::nativePath(name), access, creation);
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED /*overlapped*/)
{
    NativePlatform::Fault fault;
    bool failing = NativePlatform::countCall("WriteFile", &fault);
    *written = 0;
    NativeFile* file = (NativeFile*)handle;
    if (openFiles.count(file) == 0)
        return failWith(ERROR_INVALID_HANDLE);
    if (failing && fault == NativePlatform::FAULT_FAIL)
        return FALSE;
    if (failing && count > 0)
        --count;  // a short write that still reports success
    const char* at = (const char*)bytes;
    while (*written < count) {
        ssize_t done = write(file->descriptor, at + *written, count - *written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            setErrorFromErrno();
            return FALSE;
        }
        *written += (DWORD)done;
    }
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID bytes, DWORD count, LPDWORD read, LPOVERLAPPED /*overlapped*/)
{
    bool failing = NativePlatform::countCall("ReadFile");
    *read = 0;
    NativeFile* file = (NativeFile*)handle;
    if (openFiles.count(file) == 0)
        return failWith(ERROR_INVALID_HANDLE);
    if (failing)
        return failWith(ERROR_GEN_FAILURE);
    ssize_t done;
    do
        done = ::read(file->descriptor, bytes, count);
    while (done < 0 && errno == EINTR);
    if (done < 0) {
        setErrorFromErrno();
        return FALSE;
    }
    *read = (DWORD)done;  // 0 at the end of the file
    return TRUE;
}

// The volume serial number and file index identify a file whatever name it
// was opened by: here the device and inode numbers.
BOOL WINAPI GetFileInformationByHandle(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION information)
{
    bool failing = NativePlatform::countCall("GetFileInformationByHandle");
    NativeFile* file = (NativeFile*)handle;
    struct stat info;
    if (openFiles.count(file) == 0 || fstat(file->descriptor, &info) != 0)
        return failWith(ERROR_INVALID_HANDLE);
    if (failing)
        return failWith(ERROR_GEN_FAILURE);
    *information = BY_HANDLE_FILE_INFORMATION{};
    information->dwFileAttributes = (info.st_mode & S_IWUSR) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
    information->dwVolumeSerialNumber = (DWORD)info.st_dev;
    information->nFileSizeHigh = (DWORD)((uint64_t)info.st_size >> 32);
    information->nFileSizeLow = (DWORD)info.st_size;
    information->nNumberOfLinks = (DWORD)info.st_nlink;
    information->nFileIndexHigh = (DWORD)((uint64_t)info.st_ino >> 32);
    information->nFileIndexLow = (DWORD)info.st_ino;
    return TRUE;
}

static BOOL createDirectory(const char* call, const std::string& path)
{
    if (NativePlatform::countCall(call))
        return FALSE;
    if (mkdir(path.c_str(), 0755) != 0) {
        if (errno == EEXIST)
            return failWith(ERROR_ALREADY_EXISTS);
        if (errno == ENOENT)  // the folder it would go in is missing
            return failWith(ERROR_PATH_NOT_FOUND);
        setErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES /*security*/)
{
    return createDirectory("CreateDirectoryA", NativePlatform::nativePath(name));
}

BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES /*security*/)
{
    return createDirectory("CreateDirectoryW", NativePlatform::nativePath(name));
}

// Only an empty folder is removed; a file is not a folder.
BOOL WINAPI RemoveDirectoryW(LPCWSTR name)
{
    if (NativePlatform::countCall("RemoveDirectoryW"))
        return FALSE;
    if (rmdir(NativePlatform::nativePath(name).c_str()) == 0)
        return TRUE;
    if (errno == ENOTEMPTY || errno == EEXIST)
        return failWith(ERROR_DIR_NOT_EMPTY);
    if (errno == ENOTDIR)
        return failWith(ERROR_DIRECTORY);
    setErrorFromErrno();
    return FALSE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    bool failing = NativePlatform::countCall("CloseHandle");
    NativeFile* file = (NativeFile*)handle;
    if (openFiles.erase(file) == 0)
        return failWith(ERROR_INVALID_HANDLE);
    bool closed = close(file->descriptor) == 0;
    delete file;
    if (failing)  // a failing close still closes: the data may just not have arrived
        return FALSE;
    if (!closed)
        return failWith(ERROR_GEN_FAILURE);
    return TRUE;
}

static BOOL moveFile(const char* call, const std::string& from, const std::string& to, DWORD flags)
{
    if (NativePlatform::countCall(call))
        return FALSE;
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(to.c_str(), F_OK) == 0)
        return failWith(ERROR_ALREADY_EXISTS);
    if (isReadOnly(to))
        return failWith(ERROR_ACCESS_DENIED);
    return windowsResult(rename(from.c_str(), to.c_str()));
}

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags)
{
    return moveFile("MoveFileExA", NativePlatform::nativePath(existing), NativePlatform::nativePath(replacement),
                    flags);
}

BOOL WINAPI MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags)
{
    return moveFile("MoveFileExW", NativePlatform::nativePath(existing), NativePlatform::nativePath(replacement),
                    flags);
}

static BOOL deleteFile(const char* call, const std::string& path)
{
    if (NativePlatform::countCall(call))
        return FALSE;
    if (isReadOnly(path))
        return failWith(ERROR_ACCESS_DENIED);
    return windowsResult(unlink(path.c_str()));
}

BOOL WINAPI DeleteFileA(LPCSTR name)
{
    return deleteFile("DeleteFileA", NativePlatform::nativePath(name));
}

BOOL WINAPI DeleteFileW(LPCWSTR name)
{
    return deleteFile("DeleteFileW", NativePlatform::nativePath(name));
}

// The attributes the layer models: a folder, a read-only file, or neither.
static DWORD attributesOf(const struct stat& info)
{
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (!S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

static DWORD fileAttributes(const char* call, const std::string& path)
{
    if (NativePlatform::countCall(call))
        return INVALID_FILE_ATTRIBUTES;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        setErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributesOf(info);
}

DWORD WINAPI GetFileAttributesA(LPCSTR name)
{
    return fileAttributes("GetFileAttributesA", NativePlatform::nativePath(name));
}

DWORD WINAPI GetFileAttributesW(LPCWSTR name)
{
    return fileAttributes("GetFileAttributesW", NativePlatform::nativePath(name));
}

// Only the read-only attribute is modelled: setting it takes away every
// write permission, and leaving it out (FILE_ATTRIBUTE_NORMAL) gives the
// owner's back. A folder keeps its permissions, since a read-only folder on
// Windows still takes new files.
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes)
{
    if (NativePlatform::countCall("SetFileAttributesW"))
        return FALSE;
    const std::string path = NativePlatform::nativePath(name);
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return windowsResult(-1);
    if (S_ISDIR(info.st_mode))
        return TRUE;
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? info.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)
                                                                : info.st_mode | S_IWUSR;
    return windowsResult(chmod(path.c_str(), mode & 07777));
}

// A name against a pattern's name part: `*` is any run of characters, `?`
// any one, and ASCII letters match either case. "*.*" is every name, as on
// Windows, where it is the old way of asking for all. Windows also matches
// the 8.3 short names a volume may keep, which a POSIX file system has not.
static bool matches(const wchar_t* pattern, const wchar_t* name)
{
    if (wcscmp(pattern, L"*.*") == 0)
        pattern = L"*";
    auto folded = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? (wchar_t)(c - L'A' + L'a') : c; };
    const wchar_t* afterStar = nullptr;  // the pattern after the last `*` seen, and
    const wchar_t* starFrom = nullptr;   // where in the name that `*` run ends so far
    while (*name != L'\0') {
        if (*pattern == L'*') {
            afterStar = ++pattern;
            starFrom = name;
        } else if (*pattern != L'\0' && (*pattern == L'?' || folded(*pattern) == folded(*name))) {
            ++pattern, ++name;
        } else if (afterStar != nullptr) {  // the `*` takes one character more
            pattern = afterStar;
            name = ++starFrom;
        } else {
            return false;
        }
    }
    while (*pattern == L'*')
        ++pattern;
    return *pattern == L'\0';
}

// FILETIME counts 100-nanosecond steps from 1601, POSIX seconds from 1970.
static FILETIME fileTime(const struct timespec& time)
{
    const uint64_t steps = ((uint64_t)time.tv_sec + 11644473600u) * 10000000u + (uint64_t)time.tv_nsec / 100;
    return FILETIME{(DWORD)steps, (DWORD)(steps >> 32)};
}

// The pattern is a folder part and a name part that may hold `*` and `?`.
// Windows hands the matches out in the order its file system keeps them
// (by name on NTFS, by creation on FAT); here "." and ".." come first, as
// on Windows, and the rest sorted by name, so that tests are deterministic.
HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found)
{
    if (NativePlatform::countCall("FindFirstFileW"))
        return INVALID_HANDLE_VALUE;
    const std::wstring whole = pattern;
    const size_t cut = whole.find_last_of(L"\\/");
    const std::wstring namePattern = cut == std::wstring::npos ? whole : whole.substr(cut + 1);
    std::string folder = cut == std::wstring::npos ? "." : NativePlatform::nativePath(whole.substr(0, cut + 1).c_str());
    DIR* directory = opendir(folder.c_str());
    if (directory == NULL) {
        if (errno == ENOENT || errno == ENOTDIR)
            failWith(ERROR_PATH_NOT_FOUND);
        else
            setErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    Search* search = new Search{{}, 0};
    while (dirent* entry = readdir(directory)) {
        const std::wstring name = NativePlatform::wideText(entry->d_name);
        if (!matches(namePattern.c_str(), name.c_str()))
            continue;
        WIN32_FIND_DATAW data{};
        struct stat info;
        const std::string path = folder + "/" + entry->d_name;
        if (stat(path.c_str(), &info) == 0 || lstat(path.c_str(), &info) == 0) {
            data.dwFileAttributes = attributesOf(info);
            data.ftCreationTime = data.ftLastWriteTime = fileTime(info.st_mtim);  // POSIX keeps no creation time
            data.ftLastAccessTime = fileTime(info.st_atim);
            if (!S_ISDIR(info.st_mode)) {
                data.nFileSizeHigh = (DWORD)((uint64_t)info.st_size >> 32);
                data.nFileSizeLow = (DWORD)info.st_size;
            }
        }
        wcsncpy(data.cFileName, name.c_str(), MAX_PATH - 1);  // a POSIX name has at most 255 bytes
        search->found.push_back(data);
    }
    closedir(directory);
    auto rank = [](const WIN32_FIND_DATAW& data) {
        return wcscmp(data.cFileName, L".") == 0 ? 0 : wcscmp(data.cFileName, L"..") == 0 ? 1 : 2;
    };
    std::sort(search->found.begin(), search->found.end(), [&](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
        return rank(a) != rank(b) ? rank(a) < rank(b) : wcscmp(a.cFileName, b.cFileName) < 0;
    });
    if (search->found.empty()) {
        delete search;
        failWith(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *found = search->found[search->next++];
    openSearches.insert(search);
    return search;
}

BOOL WINAPI FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW found)
{
    bool failing = NativePlatform::countCall("FindNextFileW");
    Search* search = (Search*)handle;
    if (openSearches.count(search) == 0)
        return failWith(ERROR_INVALID_HANDLE);
    if (failing)
        return FALSE;
    if (search->next == search->found.size())
        return failWith(ERROR_NO_MORE_FILES);
    *found = search->found[search->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE handle)
{
    bool failing = NativePlatform::countCall("FindClose");
    Search* search = (Search*)handle;
    if (openSearches.erase(search) == 0)
        return failWith(ERROR_INVALID_HANDLE);
    delete search;
    return !failing;  // a failing close still closes
}

// The current folder as a POSIX path, whose slashes every call here reads
// as separators. Too small a buffer gets the length needed, zero included.
DWORD WINAPI GetCurrentDirectoryW(DWORD length, LPWSTR buffer)
{
    if (NativePlatform::countCall("GetCurrentDirectoryW"))
        return 0;
    std::vector<char> path(256);
    while (getcwd(path.data(), path.size()) == NULL) {
        if (errno != ERANGE) {
            setErrorFromErrno();
            return 0;
        }
        path.resize(path.size() * 2);
    }
    const std::wstring wide = NativePlatform::wideText(path.data());
    if (length < wide.size() + 1)
        return (DWORD)wide.size() + 1;
    wcscpy(buffer, wide.c_str());
    return (DWORD)wide.size();
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR name)
{
    if (NativePlatform::countCall("SetCurrentDirectoryW"))
        return FALSE;
    const std::string path = NativePlatform::nativePath(name);
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
        return failWith(ERROR_DIRECTORY);
    return windowsResult(chdir(path.c_str()));
}

// The descriptor behind a standard handle or one of the layer's files; -1
// for any other handle.
static int descriptorOf(HANDLE handle)
{
    const int standard = NativePlatform::standardDescriptor(handle);
    if (standard >= 0)
        return standard;
    NativeFile* file = (NativeFile*)handle;
    return openFiles.count(file) != 0 ? file->descriptor : -1;
}

// What a standard handle leads to, by its descriptor: a file is a disk file,
// a terminal (or /dev/null, as NUL on Windows) a character device, a pipe or
// socket a pipe. The layer's own files are disk files.
DWORD WINAPI GetFileType(HANDLE handle)
{
    if (NativePlatform::countCall("GetFileType"))
        return FILE_TYPE_UNKNOWN;
    const int descriptor = descriptorOf(handle);
    struct stat info;
    if (descriptor < 0 || fstat(descriptor, &info) != 0) {
        failWith(ERROR_INVALID_HANDLE);
        return FILE_TYPE_UNKNOWN;
    }
    SetLastError(ERROR_SUCCESS);  // how Windows tells an unknown type from a failure
    if (S_ISREG(info.st_mode))
        return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode))
        return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

// The size of a disk file: one of the layer's files, or a standard handle
// that leads to a file. Any other handle fails, as a console does on Windows.
DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD sizeHigh)
{
    if (NativePlatform::countCall("GetFileSize"))
        return INVALID_FILE_SIZE;
    const int descriptor = descriptorOf(handle);
    struct stat info;
    if (descriptor < 0 || fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        failWith(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    if (sizeHigh != NULL)
        *sizeHigh = (DWORD)((uint64_t)info.st_size >> 32);
    SetLastError(ERROR_SUCCESS);  // a size whose low part is INVALID_FILE_SIZE is no failure
    return (DWORD)info.st_size;
}

// FILETIME steps as a calendar time in UTC. Windows takes times up to the
// year 30827; a POSIX time_t of 64 bits holds them all.
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (NativePlatform::countCall("FileTimeToSystemTime"))
        return FALSE;
    const uint64_t steps = (uint64_t)fileTime->dwHighDateTime << 32 | fileTime->dwLowDateTime;
    if (steps >= 0x8000000000000000ull)
        return failWith(ERROR_INVALID_PARAMETER);
    const time_t seconds = (time_t)(steps / 10000000u) - (time_t)11644473600ll;
    struct tm calendar;
    if (gmtime_r(&seconds, &calendar) == NULL)
        return failWith(ERROR_INVALID_PARAMETER);
    *systemTime = SYSTEMTIME{(WORD)(calendar.tm_year + 1900), (WORD)(calendar.tm_mon + 1), (WORD)calendar.tm_wday,
                             (WORD)calendar.tm_mday, (WORD)calendar.tm_hour, (WORD)calendar.tm_min,
                             (WORD)calendar.tm_sec, (WORD)(steps / 10000u % 1000u)};
    return TRUE;
}

// The user's time zone is the process's (TZ), with the daylight saving of
// the time's own date, as Windows applies it.
BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal,
                                            SYSTEMTIME* local)
{
    if (NativePlatform::countCall("SystemTimeToTzSpecificLocalTime"))
        return FALSE;
    if (zone != NULL)
        return failWith(ERROR_INVALID_PARAMETER);  // only the user's own zone is modelled
    struct tm calendar = {};
    calendar.tm_year = universal->wYear - 1900, calendar.tm_mon = universal->wMonth - 1;
    calendar.tm_mday = universal->wDay, calendar.tm_hour = universal->wHour;
    calendar.tm_min = universal->wMinute, calendar.tm_sec = universal->wSecond;
    const time_t seconds = timegm(&calendar);
    if (localtime_r(&seconds, &calendar) == NULL)
        return failWith(ERROR_INVALID_PARAMETER);
    *local = SYSTEMTIME{(WORD)(calendar.tm_year + 1900), (WORD)(calendar.tm_mon + 1), (WORD)calendar.tm_wday,
                        (WORD)calendar.tm_mday, (WORD)calendar.tm_hour, (WORD)calendar.tm_min,
                        (WORD)calendar.tm_sec, universal->wMilliseconds};
    return TRUE;
}
