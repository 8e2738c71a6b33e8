// Files over POSIX. Paths are Windows paths: a backslash separates folders.
#include "native_internal.h"
#include "native_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
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
    std::string path = windowsPath;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                          DWORD creation, DWORD /*attributes*/, HANDLE /*templateFile*/)
{
    if (NativePlatform::countCall("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    if (access != GENERIC_WRITE || creation != CREATE_ALWAYS)  // the only use porvane has
        return INVALID_HANDLE_VALUE;
    int descriptor = open(NativePlatform::nativePath(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return INVALID_HANDLE_VALUE;
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
    if (openFiles.count(file) == 0 || (failing && fault == NativePlatform::FAULT_FAIL))
        return FALSE;
    if (failing && count > 0)
        --count;  // a short write that still reports success
    const char* at = (const char*)bytes;
    while (*written < count) {
        ssize_t done = write(file->descriptor, at + *written, count - *written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return FALSE;
        *written += (DWORD)done;
    }
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    bool failing = NativePlatform::countCall("CloseHandle");
    NativeFile* file = (NativeFile*)handle;
    if (openFiles.erase(file) == 0)
        return FALSE;
    bool closed = close(file->descriptor) == 0;
    delete file;
    return closed && !failing;  // a failing close still closes: the data may just not have arrived
}

UINT WINAPI GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR tempName)
{
    if (NativePlatform::countCall("GetTempFileNameA") || unique != 0)
        return 0;
    size_t length = strlen(folder);
    bool separated = length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/');
    static UINT counter = (UINT)getpid();
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        UINT number = (++counter & 0xFFFF) ? (counter & 0xFFFF) : 1;
        char name[MAX_PATH + 16];
        int written = snprintf(name, sizeof name, "%s%s%.3s%X.tmp", folder, separated ? "" : "\\", prefix, number);
        if (written < 0 || written >= MAX_PATH)
            return 0;
        int descriptor = open(NativePlatform::nativePath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor >= 0) {
            close(descriptor);
            strcpy(tempName, name);
            return number;
        }
        if (errno != EEXIST)
            return 0;
    }
    return 0;
}

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags)
{
    if (NativePlatform::countCall("MoveFileExA"))
        return FALSE;
    std::string from = NativePlatform::nativePath(existing), to = NativePlatform::nativePath(replacement);
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(to.c_str(), F_OK) == 0)
        return FALSE;
    return rename(from.c_str(), to.c_str()) == 0;
}

BOOL WINAPI DeleteFileA(LPCSTR name)
{
    if (NativePlatform::countCall("DeleteFileA"))
        return FALSE;
    return unlink(NativePlatform::nativePath(name).c_str()) == 0;
}
