// Test controls of the native platform layer.
//
// Every call of windows.h that can fail on Windows goes through one counter,
// in the order the plug-in makes them, so a test can run a scenario once to
// list its calls and then make any single call fail. The layer also counts
// what is held at any moment (memory blocks, locks, open files, searches,
// open registry keys) so that a test can prove everything was released.
#ifndef PORVANE_NATIVE_PLATFORM_H
#define PORVANE_NATIVE_PLATFORM_H

#include <windows.h>

#include <string>
#include <vector>

namespace NativePlatform {

enum Fault {
    FAULT_FAIL,        // the call reports failure and has no effect (a release still releases)
    FAULT_SHORT_WRITE, // WriteFile writes one byte less than asked and reports success
};

// Forgets the call log and any planned fault; files, registry and held
// resources are untouched.
void resetCalls();

// The `number`-th counted call from the last resetCalls() (1-based) fails,
// leaving `error` for GetLastError.
void failCall(unsigned number, Fault fault = FAULT_FAIL, DWORD error = ERROR_GEN_FAILURE);

// Every counted call from the `number`-th on fails with no effect, as
// though the process had been killed before it: a test's picture of a run
// stopped at any step.
void failCallsFrom(unsigned number);

// The next `times` calls named `name` fail with `error` (several names may
// be planned at once).
void failCallsNamed(const char* name, unsigned times, DWORD error);

// Names of the counted calls since resetCalls(), in order ("LocalLock", ...).
const std::vector<std::string>& callLog();

// The pauses asked of Sleep since forgetSleeps(), in milliseconds. Sleep
// returns at once: the native build never waits.
const std::vector<DWORD>& sleeps();
void forgetSleeps();

struct Held {
    int memoryBlocks;  // LocalAlloc blocks not yet freed
    int locks;         // LocalLock calls not yet matched by LocalUnlock
    int files;         // open file handles
    int searches;      // FindFirstFileW searches not yet closed
    int registryKeys;  // open registry keys
};
Held held();

// The registry file in use: $PORVANE_REGISTRY, else
// $XDG_CONFIG_HOME/porvane/registry, else ~/.config/porvane/registry.
std::string registryFile();

// The headless dialog manager. A dialog runs against a model of the settings
// dialog's template: it sends WM_INITDIALOG, then turns the scripted user
// actions into the messages the Windows dialog manager would send, until the
// procedure calls EndDialog.
enum UserAction {
    CLICK_OK,
    CLICK_CANCEL,
    CLICK_CHECK_BOX,
    CLOSE_CAPTION, // WM_CLOSE, then IDCANCEL unless the procedure handles it
    // A host's own accelerators: WM_COMMAND with notification code 1.
    ACCELERATOR_OK,
    ACCELERATOR_CANCEL,
    ACCELERATOR_CHECK_BOX,
};
void scriptDialog(const std::vector<UserAction>& actions);

struct DialogRun {
    bool shown = false;          // the template was found and WM_INITDIALOG sent
    HWND owner = NULL;
    bool checkedAtOpen = false;  // the check box after WM_INITDIALOG
    bool ended = false;          // EndDialog was called before the script ran out
    INT_PTR result = 0;          // what DialogBoxParamA returned
    bool checkedAtEnd = false;
};
DialogRun lastDialog();

struct MessageBoxShown {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
const std::vector<MessageBoxShown>& messageBoxes();
void forgetMessageBoxes();

}

#endif
