// A Windows test program that dies of an unhandled exception (in porvane.xpi
// or in the test itself) must fail at once, visibly and for certain. Left to
// Wine, the crash starts its debugger, which may open a dialog on the test
// display and wait there for a click, and a crashed program has been seen to
// end with status 0.
//
// Linked into every Windows test program, this installs, before main runs,
// a top-level exception filter that prints the exception's code and address
// and a backtrace to stderr, then ends the process with status 3. The
// debugger is never started.
//
// The backtrace is read from the stack itself: the programs are built
// without frame pointers, and Wine's dbghelp does not walk the stack of the
// process it runs in. Every word on the stack that points just past a call
// instruction in a module's code is a return address, so the list holds the
// callers, innermost first, and possibly a stale return address left over
// from an earlier call. Each is shown as module+offset and, where the module
// exports names (porvane.xpi does), as the nearest exported function below it.
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

const UINT crashStatus = 3;

HMODULE moduleOf(const void* address)
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)address, &module);
    return module;
}

bool executable(const void* address)
{
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(address, &region, sizeof region) != sizeof region || region.State != MEM_COMMIT)
        return false;
    return (region.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

// True when the code before `address` ends in a call: E8 rel32, or FF /2
// through a register or memory (2, 3, 6 or 7 bytes long).
bool followsACall(const uint8_t* address)
{
    if (!executable(address - 7))
        return false;
    if (address[-5] == 0xE8)
        return true;
    static const int lengths[] = {2, 3, 6, 7};
    for (int length : lengths) {
        const uint8_t* call = address - length;
        if (call[0] == 0xFF && ((call[1] >> 3) & 7) == 2)
            return true;
    }
    return false;
}

// The exported function of `module` that starts nearest below `address`.
const char* nearestExport(HMODULE module, const void* address, DWORD* offset)
{
    const uint8_t* base = (const uint8_t*)module;
    const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)base;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return NULL;
    const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0)
        return NULL;
    const IMAGE_EXPORT_DIRECTORY* exports = (const IMAGE_EXPORT_DIRECTORY*)(base + directory.VirtualAddress);
    const DWORD* functions = (const DWORD*)(base + exports->AddressOfFunctions);
    const DWORD* names = (const DWORD*)(base + exports->AddressOfNames);
    const WORD* ordinals = (const WORD*)(base + exports->AddressOfNameOrdinals);
    const DWORD target = (DWORD)((const uint8_t*)address - base);
    const char* best = NULL;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        DWORD start = functions[ordinals[i]];
        if (start <= target && (best == NULL || target - start < *offset)) {
            best = (const char*)(base + names[i]);
            *offset = target - start;
        }
    }
    return best;
}

void printPlace(const char* label, const void* address)
{
    HMODULE module = moduleOf(address);
    char file[MAX_PATH] = "?";
    if (module != NULL)
        GetModuleFileNameA(module, file, sizeof file);
    const char* name = strrchr(file, '\\') ? strrchr(file, '\\') + 1 : file;
    fprintf(stderr, "***   %s %p %s+0x%lx", label, address, name,
            (unsigned long)((const uint8_t*)address - (const uint8_t*)module));
    DWORD offset = 0;
    if (const char* function = module ? nearestExport(module, address, &offset) : NULL)
        fprintf(stderr, " (%s+0x%lx)", function, (unsigned long)offset);
    fprintf(stderr, "\n");
}

LONG WINAPI reportAndExit(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    fprintf(stderr, "\n*** unhandled exception 0x%08lX at %p\n", (unsigned long)record->ExceptionCode,
            record->ExceptionAddress);
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2)
        fprintf(stderr, "*** on %s address %p\n", record->ExceptionInformation[0] ? "writing" : "reading",
                (void*)record->ExceptionInformation[1]);
    fprintf(stderr, "*** backtrace (return addresses on the stack, innermost first):\n");
    printPlace("at    ", record->ExceptionAddress);

    // The stack runs from the stack pointer to the end of the memory region
    // that holds it (asked of VirtualQuery rather than read from the thread's
    // block, whose segment read GCC cannot see the bounds of).
    const DWORD* stack = (const DWORD*)(UINT_PTR)exception->ContextRecord->Esp;
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(stack, &region, sizeof region);
    const DWORD* top = (const DWORD*)((const uint8_t*)region.BaseAddress + region.RegionSize);
    int shown = 0;
    for (const DWORD* word = stack; word < top && shown < 40; ++word) {
        const uint8_t* address = (const uint8_t*)(UINT_PTR)*word;
        if (moduleOf(address) == NULL || !followsACall(address))
            continue;
        printPlace("called", address);
        ++shown;
    }
    fprintf(stderr, "*** the test program ends with status %u\n", crashStatus);
    fflush(stdout);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), crashStatus);
    return EXCEPTION_EXECUTE_HANDLER;  // not reached
}

struct InstallFilter {
    InstallFilter()
    {
        SetUnhandledExceptionFilter(reportAndExit);
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);  // no error box either
    }
} installFilter;

}  // namespace
