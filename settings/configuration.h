// What the host's menu reaches through ConfigurationDlg: the About box
// (function 0) and the modal settings dialog (function 1), both owned by the
// host's window.
#ifndef PORVANE_CONFIGURATION_H
#define PORVANE_CONFIGURATION_H

#include <windows.h>

void showAboutBox(HWND parent);

// Runs dialog IDD_SETTINGS from `module` until OK or Cancel; also returns
// when the dialog cannot be shown at all.
void runSettingsDialog(HINSTANCE module, HWND parent);

// The dialog procedure, on its own for the tests.
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
