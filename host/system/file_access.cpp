#include "file_access.h"

#include <stdlib.h>

FileIdentity identifyFile(const wchar_t* path)
{
    FileIdentity identity = {false, 0, 0, 0};
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return identity;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information))
        identity = {true, information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    CloseHandle(file);
    return identity;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b)
{
    return a.known && b.known && a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

int readWholeFile(const wchar_t* path, FileBytes* bytes)
{
    *bytes = FileBytes{NULL, 0};
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information;
    bool read = GetFileInformationByHandle(file, &information) != FALSE;
    if (read && (information.nFileSizeHigh != 0 || information.nFileSizeLow > 0x7FFFFFFF)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);  // no BMP is this large
        read = false;
    }
    if (read) {
        bytes->data = (uint8_t*)malloc(information.nFileSizeLow > 0 ? information.nFileSizeLow : 1);
        if (bytes->data == NULL) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            read = false;
        }
    }
    // The size may change while the file is read: what is there counts.
    while (read && bytes->size < information.nFileSizeLow) {
        DWORD got = 0;
        read = ReadFile(file, bytes->data + bytes->size, information.nFileSizeLow - (DWORD)bytes->size, &got, NULL) != FALSE;
        if (got == 0)
            break;
        bytes->size += got;
    }
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!read) {
        freeFileBytes(bytes);
        SetLastError(error);
        return 0;
    }
    return 1;
}

void freeFileBytes(FileBytes* bytes)
{
    free(bytes->data);
    *bytes = FileBytes{NULL, 0};
}
