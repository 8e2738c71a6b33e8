// The settings dialog: one check box for palette mode, OK and Cancel.
//
// The box is a plain BS_CHECKBOX, which does not toggle itself: the procedure
// toggles it on every click. The stored value is shown checked when non-zero
// and written as the box's state (0 or 1) on OK only. Enter, Esc and the
// caption's close button are the dialog manager's: they arrive as IDOK and
// IDCANCEL.
#include "configuration.h"
#include "palette_setting.h"
#include "settings_store.h"
#include "../resources/resource_ids.h"

static void showStoredSetting(HWND dialog)
{
    DWORD value = 0;
    readPaletteSetting(&value);
    CheckDlgButton(dialog, IDC_PALETTE_CHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

static void storeCheckBoxState(HWND dialog)
{
    DWORD state = IsDlgButtonChecked(dialog, IDC_PALETTE_CHECK) == BST_CHECKED ? 1 : 0;
    SettingsStore::lock();
    SettingsStore::writeValue(PALETTE_SETTING_NAME, REG_DWORD, (const BYTE*)&state, sizeof state,
                              SettingsStore::ONE_SHOT);
    SettingsStore::unlock();
}

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message == WM_INITDIALOG) {
        showStoredSetting(dialog);
        return TRUE;  // the dialog manager focuses the first tab stop, OK
    }
    if (message != WM_COMMAND)
        return FALSE;

    switch (LOWORD(wParam)) {  // whatever the notification code
    case IDOK:
        storeCheckBoxState(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 1);
        return TRUE;
    case IDC_PALETTE_CHECK:
        CheckDlgButton(dialog, IDC_PALETTE_CHECK,
                       IsDlgButtonChecked(dialog, IDC_PALETTE_CHECK) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        return FALSE;
    default:
        return FALSE;
    }
}

void runSettingsDialog(HINSTANCE module, HWND parent)
{
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_SETTINGS), parent, settingsDialogProc, 0);
}
