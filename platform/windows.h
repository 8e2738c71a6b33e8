// The native build's stand-in for <windows.h>.
//
// porvane runs inside a Windows host, but its logic is also built on Linux so
// that it can be unit-tested, fault-injected, sanitized and fuzzed. This
// header declares exactly the Windows types, constants and calls that the
// plug-in, the reference host and the tests use, with the same names,
// argument orders, types and results as Windows; platform/*.cpp implements
// them over POSIX files and heap memory (native_platform.h has the test
// controls). It is the only place where the two builds differ.
#ifndef PORVANE_NATIVE_WINDOWS_H
#define PORVANE_NATIVE_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef DWORD* LPDWORD;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef size_t SIZE_T;
typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef void* HANDLE;
typedef void* HLOCAL;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef INT_PTR(WINAPI* FARPROC)();
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;
// The converter works in wchar_t text (std::wstring, L"..."), which is
// UTF-16 on Windows but UTF-32 here: the native layer converts to and from
// it, and counts lengths in wchar_t units, so a character beyond U+FFFF is
// one unit here and two on Windows.
typedef wchar_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef WORD LANGID;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME;
typedef struct _TIME_ZONE_INFORMATION TIME_ZONE_INFORMATION;  // only ever NULL: the user's own time zone

typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;

#define MAX_PATH 260

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;

#define TRUE 1
#define FALSE 0
#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xFFFF))
#define MAKEWPARAM(low, high) ((WPARAM)(((DWORD)(WORD)(low)) | ((DWORD)(WORD)(high)) << 16))
#define MAKEINTRESOURCEA(i) ((LPSTR)(uintptr_t)(WORD)(i))

#define DLL_PROCESS_ATTACH 1

#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_HIDDEN 0x02
#define FILE_ATTRIBUTE_SYSTEM 0x04
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define MOVEFILE_REPLACE_EXISTING 0x1

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_FILE_EXISTS 80L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DIRECTORY 267L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_MORE_DATA 234L
#define ERROR_INVALID_FLAGS 1004L

#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define STD_ERROR_HANDLE ((DWORD)-12)
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
#define CP_ACP 0
#define CP_UTF8 65001
#define WC_NO_BEST_FIT_CHARS 0x00000400

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001)
#define KEY_ALL_ACCESS 0xF003F
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#define WM_CLOSE 0x0010
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define BN_CLICKED 0
#define IDOK 1
#define IDCANCEL 2
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define MB_OK 0x00000000

// Memory
HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL WINAPI LocalFree(HLOCAL memory);
LPVOID WINAPI LocalLock(HLOCAL memory);
BOOL WINAPI LocalUnlock(HLOCAL memory);
// Global memory is local memory, as in every 32-bit Windows.
typedef HLOCAL HGLOBAL;
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);

// Files
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                          DWORD creation, DWORD attributes, HANDLE templateFile);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped);
BOOL WINAPI CloseHandle(HANDLE object);
BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags);
BOOL WINAPI DeleteFileA(LPCSTR name);
DWORD WINAPI GetFileAttributesA(LPCSTR name);
BOOL WINAPI ReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WINAPI GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES security);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
DWORD WINAPI GetFileType(HANDLE file);

// Files, wide. Each W call is its A twin over a UTF-16 name (natively UTF-32,
// stored as a UTF-8 POSIX name), counted under its own name.
HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                          DWORD creation, DWORD attributes, HANDLE templateFile);
BOOL WINAPI MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags);
BOOL WINAPI DeleteFileW(LPCWSTR name);
DWORD WINAPI GetFileAttributesW(LPCWSTR name);
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes);
BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES security);
BOOL WINAPI RemoveDirectoryW(LPCWSTR name);
HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found);
BOOL WINAPI FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW found);
BOOL WINAPI FindClose(HANDLE search);
DWORD WINAPI GetCurrentDirectoryW(DWORD length, LPWSTR buffer);
BOOL WINAPI SetCurrentDirectoryW(LPCWSTR name);

// A file's time (UTC, in FILETIME steps) as a calendar time, and that time
// in the user's time zone, with the daylight saving of its own date.
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal,
                                            SYSTEMTIME* local);

// Errors, pauses and the one atomic operation
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);
void WINAPI Sleep(DWORD milliseconds);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedIncrement(LONG volatile* target);
DWORD WINAPI GetCurrentProcessId(void);

// Registry
LSTATUS WINAPI RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result);
LSTATUS WINAPI RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, BYTE* data, LPDWORD size);
LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS WINAPI RegCloseKey(HKEY key);

// Dialogs and message boxes
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM init);
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Strings. Text is in the ANSI code page, which the native build takes to
// be 932 (Shift_JIS), the one most of porvane's users have: a lead byte
// 0x81-0x9F or 0xE0-0xFC and the byte after it form one character.
BOOL WINAPI IsDBCSLeadByte(BYTE byte);
LPSTR WINAPI CharNextA(LPCSTR at);
LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR at);
LPSTR WINAPI lstrcpynA(LPSTR to, LPCSTR from, int length);
int WINAPI lstrlenA(LPCSTR text);
int wsprintfA(LPSTR to, LPCSTR format, ...);
// Conversions between code page 932 or UTF-8 (CP_UTF8) and wide text.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideLength);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int textLength,
                               LPCSTR defaultChar, BOOL* usedDefault);

// The program's command line and the user's language.
LPWSTR WINAPI GetCommandLineW(void);
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR line, int* count);
LANGID WINAPI GetUserDefaultUILanguage(void);

// The console. A native program never has a Windows console: its standard
// handles are plain files or terminals, so the console calls fail on them.
HANDLE WINAPI GetStdHandle(DWORD which);
BOOL WINAPI GetConsoleMode(HANDLE console, LPDWORD mode);
BOOL WINAPI WriteConsoleW(HANDLE console, const void* text, DWORD length, LPDWORD written, LPVOID reserved);
DWORD WINAPI GetConsoleProcessList(LPDWORD processes, DWORD count);

// Library loading, for the reference host: the plug-in is linked into the
// program, so the program's own module (GetModuleHandleA(NULL)) exports its
// four functions. host/handover/native_loader.cpp defines these natively, the wide
// ones too.
HMODULE WINAPI LoadLibraryA(LPCSTR name);
HMODULE WINAPI GetModuleHandleA(LPCSTR name);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);
HMODULE WINAPI LoadLibraryW(LPCWSTR name);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size);

#endif
