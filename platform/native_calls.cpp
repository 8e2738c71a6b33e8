// The call counter, the fault plan, and the strings every build gets from Windows.
#include "native_internal.h"

#include <stdarg.h>
#include <stdio.h>
#include <unistd.h>

namespace NativePlatform {

static std::vector<std::string> calls;
static unsigned failingCall = 0;
static unsigned killedAtCall = 0;  // 0: never
static Fault failingFault = FAULT_FAIL;
static DWORD failingError = ERROR_GEN_FAILURE;
struct RepeatedFault {
    std::string name;  // calls of this name fail, `times` more of them
    unsigned times;
    DWORD error;
};
static std::vector<RepeatedFault> repeated;

void resetCalls()
{
    calls.clear();
    failingCall = 0;
    killedAtCall = 0;
    repeated.clear();
}

void failCall(unsigned number, Fault fault, DWORD error)
{
    failingCall = number;
    failingFault = fault;
    failingError = error;
}

void failCallsFrom(unsigned number)
{
    killedAtCall = number;
}

void failCallsNamed(const char* name, unsigned times, DWORD error)
{
    repeated.push_back(RepeatedFault{name, times, error});
}

const std::vector<std::string>& callLog() { return calls; }

static std::vector<DWORD> pauses;
const std::vector<DWORD>& sleeps() { return pauses; }
void forgetSleeps() { pauses.clear(); }

bool countCall(const char* name, Fault* fault)
{
    calls.push_back(name);
    for (RepeatedFault& planned : repeated) {
        if (planned.times == 0 || planned.name != name)
            continue;
        --planned.times;
        if (fault != nullptr)
            *fault = FAULT_FAIL;
        SetLastError(planned.error);
        return true;
    }
    if (killedAtCall != 0 && calls.size() >= killedAtCall) {
        if (fault != nullptr)
            *fault = FAULT_FAIL;
        SetLastError(ERROR_GEN_FAILURE);
        return true;
    }
    if (calls.size() != failingCall)
        return false;
    if (fault != nullptr)
        *fault = failingFault;
    SetLastError(failingError);
    return true;
}

}

static thread_local DWORD lastError = ERROR_SUCCESS;
DWORD WINAPI GetLastError(void) { return lastError; }
void WINAPI SetLastError(DWORD error) { lastError = error; }

// Pauses are recorded, not waited for: a test counts them.
void WINAPI Sleep(DWORD milliseconds)
{
    NativePlatform::pauses.push_back(milliseconds);
}

LONG InterlockedExchange(LONG volatile* target, LONG value)
{
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

LONG InterlockedIncrement(LONG volatile* target)
{
    return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return (DWORD)getpid();
}

LPSTR WINAPI lstrcpynA(LPSTR to, LPCSTR from, int length)
{
    LPSTR at = to;
    while (length > 1 && *from != '\0') {
        *at++ = *from++;
        --length;
    }
    if (length > 0)
        *at = '\0';
    return to;
}

int WINAPI lstrlenA(LPCSTR text)
{
    int length = 0;
    while (text != NULL && text[length] != '\0')
        ++length;
    return length;
}

int wsprintfA(LPSTR to, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(to, 1024, format, arguments);  // wsprintfA's own limit
    va_end(arguments);
    return length;
}

NativePlatform::Held NativePlatform::held()
{
    return Held{heldMemoryBlocks(), heldLocks(), heldFiles(), heldSearches(), heldRegistryKeys()};
}
