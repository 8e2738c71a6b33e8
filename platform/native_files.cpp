// Files over POSIX. Paths are Windows paths in code page 932: a backslash
// or a slash separates folders, and a backslash that is the second byte of a
// double-byte character is part of that character. A file without the
// owner's write permission stands for a read-only file, which Windows
// neither replaces, removes nor opens for writing, whoever asks.
#include "native_internal.h"
#include "native_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <set>

namespace {
struct NativeFile {
    int descriptor;
};
std::set<NativeFile*> openFiles;
}

int NativePlatform::heldFiles() { return (int)openFiles.size(); }

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

// The Windows error for a failed POSIX call.
static void setErrorFromErrno()
{
    switch (errno) {
    case ENOENT: SetLastError(ERROR_FILE_NOT_FOUND); break;
    case ENOTDIR: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case EEXIST: SetLastError(ERROR_FILE_EXISTS); break;
    case ENAMETOOLONG: SetLastError(ERROR_FILENAME_EXCED_RANGE); break;
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

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                          DWORD creation, DWORD /*attributes*/, HANDLE /*templateFile*/)
{
    if (NativePlatform::countCall("CreateFileA"))
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
    const std::string path = NativePlatform::nativePath(name);
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

BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES /*security*/)
{
    if (NativePlatform::countCall("CreateDirectoryA"))
        return failWith(ERROR_GEN_FAILURE);
    if (mkdir(NativePlatform::nativePath(name).c_str(), 0755) != 0) {
        if (errno == EEXIST)
            return failWith(ERROR_ALREADY_EXISTS);
        if (errno == ENOENT)  // the folder it would go in is missing
            return failWith(ERROR_PATH_NOT_FOUND);
        setErrorFromErrno();
        return FALSE;
    }
    return TRUE;
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

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags)
{
    if (NativePlatform::countCall("MoveFileExA"))
        return FALSE;
    std::string from = NativePlatform::nativePath(existing), to = NativePlatform::nativePath(replacement);
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(to.c_str(), F_OK) == 0)
        return failWith(ERROR_ALREADY_EXISTS);
    if (isReadOnly(to))
        return failWith(ERROR_ACCESS_DENIED);
    return windowsResult(rename(from.c_str(), to.c_str()));
}

BOOL WINAPI DeleteFileA(LPCSTR name)
{
    if (NativePlatform::countCall("DeleteFileA"))
        return FALSE;
    const std::string path = NativePlatform::nativePath(name);
    if (isReadOnly(path))
        return failWith(ERROR_ACCESS_DENIED);
    return windowsResult(unlink(path.c_str()));
}

DWORD WINAPI GetFileAttributesA(LPCSTR name)
{
    if (NativePlatform::countCall("GetFileAttributesA"))
        return INVALID_FILE_ATTRIBUTES;
    struct stat info;
    if (stat(NativePlatform::nativePath(name).c_str(), &info) != 0) {
        setErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (!S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}
