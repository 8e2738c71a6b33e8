// A headless dialog manager and message box.
//
// DialogBoxParamA runs the dialog procedure against a model of the settings
// dialog's template (resources/porvane.rc): OK, Cancel and the palette-mode
// check box, a plain BS_CHECKBOX that never toggles itself. The user's
// actions come from scriptDialog() and become the messages the Windows
// dialog manager sends. Keys and focus are not modelled: the tests of the
// real dialog under Wine work it with the keyboard.
#include "native_internal.h"
#include "../resources/resource_ids.h"


namespace {

struct NativeDialog {
    bool checked = false;
    bool ended = false;
    INT_PTR result = 0;
};
NativeDialog* running = nullptr;
std::vector<NativePlatform::UserAction> script;
NativePlatform::DialogRun last;
std::vector<NativePlatform::MessageBoxShown> shownBoxes;

void click(HWND dialog, DLGPROC procedure, int id)
{
    procedure(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void accelerator(HWND dialog, DLGPROC procedure, int id)
{
    procedure(dialog, WM_COMMAND, MAKEWPARAM(id, 1), 0);
}

void perform(HWND dialog, DLGPROC procedure, NativePlatform::UserAction action)
{
    using namespace NativePlatform;
    switch (action) {
    case CLICK_OK: click(dialog, procedure, IDOK); break;
    case CLICK_CANCEL: click(dialog, procedure, IDCANCEL); break;
    case CLICK_CHECK_BOX: click(dialog, procedure, IDC_PALETTE_CHECK); break;
    case ACCELERATOR_OK: accelerator(dialog, procedure, IDOK); break;
    case ACCELERATOR_CANCEL: accelerator(dialog, procedure, IDCANCEL); break;
    case ACCELERATOR_CHECK_BOX: accelerator(dialog, procedure, IDC_PALETTE_CHECK); break;
    case CLOSE_CAPTION:
        if (!procedure(dialog, WM_CLOSE, 0, 0))
            click(dialog, procedure, IDCANCEL);
        break;
    }
}

}

namespace NativePlatform {
void scriptDialog(const std::vector<UserAction>& actions) { script = actions; }
DialogRun lastDialog() { return last; }
const std::vector<MessageBoxShown>& messageBoxes() { return shownBoxes; }
void forgetMessageBoxes() { shownBoxes.clear(); }
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM init)
{
    last = NativePlatform::DialogRun();
    last.owner = owner;
    std::vector<NativePlatform::UserAction> actions;
    actions.swap(script);
    if (NativePlatform::countCall("DialogBoxParamA") || instance == NULL ||
        templateName != MAKEINTRESOURCEA(IDD_SETTINGS) || running != nullptr)
        return last.result = -1;

    NativeDialog dialog;
    running = &dialog;
    HWND handle = (HWND)&dialog;
    last.shown = true;
    procedure(handle, WM_INITDIALOG, (WPARAM)IDOK, init);  // the id stands for the first tab stop's window
    last.checkedAtOpen = dialog.checked;
    for (size_t next = 0; next < actions.size() && !dialog.ended; ++next)
        perform(handle, procedure, actions[next]);

    running = nullptr;
    last.ended = dialog.ended;
    last.checkedAtEnd = dialog.checked;
    return last.result = dialog.ended ? dialog.result : -1;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    if (NativePlatform::countCall("EndDialog") || running == nullptr || dialog != (HWND)running)
        return FALSE;
    running->ended = true;
    running->result = result;
    return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    if (NativePlatform::countCall("CheckDlgButton") || running == nullptr || dialog != (HWND)running)
        return FALSE;
    if (id != IDC_PALETTE_CHECK)
        return id == IDOK || id == IDCANCEL;  // push buttons take and ignore a check state
    running->checked = check == BST_CHECKED;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    NativePlatform::countCall("IsDlgButtonChecked");
    if (running == nullptr || dialog != (HWND)running || id != IDC_PALETTE_CHECK)
        return BST_UNCHECKED;
    return running->checked ? BST_CHECKED : BST_UNCHECKED;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (NativePlatform::countCall("MessageBoxA"))
        return 0;
    shownBoxes.push_back(NativePlatform::MessageBoxShown{owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}
