// A headless dialog manager and message box.
//
// DialogBoxParamA runs the dialog procedure against a model of dialog
// template 100 (see resources/porvane.rc): OK (id 1, the default push
// button), Cancel (id 2) and the check box 101, a plain BS_CHECKBOX that
// never toggles itself, in that tab order. The user's actions come from
// scriptDialog() and become the messages the Windows dialog manager sends.
#include "native_platform.h"

#include <string.h>

namespace {

const int templateId = 100;
const int controlIds[] = {IDOK, IDCANCEL, 101};  // tab order
const int controlCount = 3;
const int checkBoxId = 101;

struct NativeDialog {
    bool checked = false;
    int focus = 0;  // index into controlIds, -1 for none
    bool ended = false;
    INT_PTR result = 0;
};
NativeDialog* running = nullptr;
std::vector<NativePlatform::UserAction> script;
NativePlatform::DialogRun last;
std::vector<NativePlatform::MessageBoxShown> shownBoxes;

bool isPushButton(int id) { return id == IDOK || id == IDCANCEL; }

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
    int focused = running->focus >= 0 ? controlIds[running->focus] : 0;
    switch (action) {
    case CLICK_OK: click(dialog, procedure, IDOK); break;
    case CLICK_CANCEL: click(dialog, procedure, IDCANCEL); break;
    case CLICK_CHECK_BOX: click(dialog, procedure, checkBoxId); break;
    case PRESS_ENTER: click(dialog, procedure, isPushButton(focused) ? focused : IDOK); break;
    case PRESS_ESC: click(dialog, procedure, IDCANCEL); break;
    case PRESS_SPACE:
        if (focused != 0)
            click(dialog, procedure, focused);
        break;
    case PRESS_TAB: running->focus = (running->focus + 1) % controlCount; break;
    case ACCELERATOR_OK: accelerator(dialog, procedure, IDOK); break;
    case ACCELERATOR_CANCEL: accelerator(dialog, procedure, IDCANCEL); break;
    case ACCELERATOR_CHECK_BOX: accelerator(dialog, procedure, checkBoxId); break;
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
        templateName != MAKEINTRESOURCEA(templateId) || running != nullptr)
        return last.result = -1;

    NativeDialog dialog;
    running = &dialog;
    HWND handle = (HWND)&dialog;
    last.shown = true;
    dialog.focus = -1;
    if (procedure(handle, WM_INITDIALOG, (WPARAM)controlIds[0], init))
        dialog.focus = 0;  // the first tab stop
    last.checkedAtOpen = dialog.checked;
    last.focusedAtOpen = dialog.focus >= 0 ? controlIds[dialog.focus] : 0;
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
    if (id != checkBoxId)
        return id == IDOK || id == IDCANCEL;  // push buttons take and ignore a check state
    running->checked = check == BST_CHECKED;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    NativePlatform::countCall("IsDlgButtonChecked");
    if (running == nullptr || dialog != (HWND)running || id != checkBoxId)
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
