// The real About box and settings dialog of porvane.xpi, worked as a person
// works them.
//
// The test thread plays the host: it owns a main window and calls
// ConfigurationDlg(window, function), which does not return while the box
// is up. Meanwhile a driver thread finds the box among the test thread's
// windows and works it: BM_CLICK is a mouse click, key presses go to the
// control with the focus, WM_SYSCOMMAND SC_CLOSE is the caption's close
// button. The Japanese texts need code page 932 (scripts/wine-session.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../../base/version.h"
#include "../../resources/resource_ids.h"
#include "../shared/stored_setting.h"

namespace {

typedef LONG(WINAPI* ConfigurationDlgFn)(HWND parent, LONG function);

// Loaded from the current folder, where ctest starts the program.
ConfigurationDlgFn configurationDlg(std::string* error)
{
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    std::string path = std::string(folder) + "\\" + PORVANE_XPI;
    static HMODULE module = LoadLibraryA(path.c_str());
    FARPROC function = module ? GetProcAddress(module, "ConfigurationDlg") : NULL;
    if (function == NULL)
        *error = "cannot load " + path + " or find its ConfigurationDlg (error " + std::to_string(GetLastError()) + ")";
    return (ConfigurationDlgFn)(void*)function;
}

// ---------------------------------------------------------------------------
// The palette-mode setting as the registry holds it

Stored readSetting() { return readStoredSetting(); }

void writeSetting(const Stored& stored)
{
    if (stored.present) {
        ASSERT_TRUE(storeSetting(stored.type, stored.bytes));
    } else {
        HKEY key = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, settingsKey, &key));
        RegDeleteValueA(key, settingName);
        RegCloseKey(key);
    }
    ASSERT_EQ(stored, readSetting());
}

// ---------------------------------------------------------------------------
// The host's main window. Its procedure runs on the test thread inside the
// modal loop of whatever box is up: WM_ENTERIDLE tells that the loop waits
// for input, and a marker posted after some input tells that the loop has
// handled that input (posted messages are handled in order).

const UINT WM_MARKER = WM_APP + 1;
std::atomic<HWND> idleDialog{NULL};
std::atomic<unsigned> lastMarker{0};

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX)
        idleDialog = (HWND)lParam;
    else if (message == WM_MARKER)
        lastMarker = std::max(lastMarker.load(), (unsigned)wParam);
    else
        return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(5))
        if (GetTickCount() - start > milliseconds)
            return false;
    return true;
}

std::string className(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK rememberDialog(HWND window, LPARAM result)
{
    if (className(window) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *(HWND*)result = window;
    return FALSE;
}

// A visible dialog (or message box) of `thread`, or NULL.
HWND findDialog(DWORD thread)
{
    HWND found = NULL;
    EnumThreadWindows(thread, rememberDialog, (LPARAM)&found);
    return found;
}

// Of another thread's window: WM_GETTEXT, which the dialog's loop answers.
std::wstring textOf(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::string ansiTextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> visibleChildren(HWND parent, const char* windowClass)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiA(className(child).c_str(), windowClass) == 0 && IsWindowVisible(child))
            found.push_back(child);
    return found;
}

// ---------------------------------------------------------------------------
// The driver thread

class Driver {
public:
    Driver(DWORD testThread, HWND hostWindow) : uiThread(testThread), host(hostWindow) {}

    HWND dialog() const { return window; }
    HWND item(int id) const { return GetDlgItem(window, id); }

    HWND focused() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(uiThread, &info) ? info.hwndFocus : NULL;
    }

    LRESULT send(HWND to, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(to, message, wParam, lParam, SMTO_NORMAL, 5000, &result))
            ADD_FAILURE() << "message " << message << " went unanswered for 5 s";
        return (LRESULT)result;
    }

    bool checked(int id) { return send(item(id), BM_GETCHECK) == BST_CHECKED; }

    void click(int id)
    {
        EXPECT_TRUE(item(id) != NULL) << "no control " << id;
        PostMessageA(item(id), BM_CLICK, 0, 0);
    }

    // Where the keyboard sends it: to the control with the focus.
    void press(UINT key)
    {
        HWND target = focused();
        EXPECT_TRUE(target != NULL && IsChild(window, target)) << "no control of the dialog has the focus";
        LPARAM scan = (LPARAM)MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16;
        PostMessageA(target ? target : window, WM_KEYDOWN, key, 1 | scan);
        PostMessageA(target ? target : window, WM_KEYUP, key, 1 | scan | (LPARAM)(3u << 30));
    }

    void closeFromCaption() { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

    // Tabs until control `id` has the focus: at most once round the three.
    void tabTo(int id)
    {
        for (int tabs = 0; tabs < 3 && focused() != item(id); ++tabs) {
            press(VK_TAB);
            settle();
        }
        EXPECT_EQ(item(id), focused()) << "tabbing never reached control " << id;
    }

    // Waits until the dialog has handled everything posted so far. Not for
    // input that ends the dialog: its loop stops there.
    void settle()
    {
        unsigned marker = ++markers;
        PostMessageA(host, WM_MARKER, marker, 0);
        if (!waitUntil([&] { return lastMarker >= marker; }, 5000))
            ADD_FAILURE() << "the dialog did not handle its input within 5 s";
    }

    // Runs `drive` against the window ConfigurationDlg opens; returns once
    // ConfigurationDlg has returned (`answered`), closing the window itself
    // if the script did not.
    void run(const std::function<void(Driver&)>& drive, const std::atomic<bool>& answered)
    {
        waitUntil([&] { return (window = findDialog(uiThread)) != NULL || answered; }, 10000);
        if (window == NULL) {
            ADD_FAILURE() << "no dialog appeared";
        } else {
            // Once the modal loop waits for input the dialog is up, focused
            // and drawn. Wine's message box sends its owner no WM_ENTERIDLE:
            // there a marker handled by the box's loop tells the same.
            if (!waitUntil([&] { return idleDialog == window; }, 2000))
                settle();
            drive(*this);
            if (!waitUntil([&] { return !IsWindow(window); }, 5000))
                ADD_FAILURE() << "the dialog was still open 5 s after the last action";
        }
        if (waitUntil([&] { return (bool)answered; }, 5000))
            return;
        // Close whatever is still up, so that the remaining tests can run.
        for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
            if (HWND left = findDialog(uiThread))
                PostMessageA(left, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            Sleep(250);
        }
        if (!answered) {
            fprintf(stderr, "ConfigurationDlg never returned; giving up.\n");
            fflush(NULL);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

private:
    DWORD uiThread;
    HWND host;
    HWND window = NULL;
    static unsigned markers;
};

unsigned Driver::markers = 0;

// ---------------------------------------------------------------------------

class WineDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { saved = readSetting(); }
    static void TearDownTestSuite() { writeSetting(saved); }

    void SetUp() override
    {
        std::string error;
        configuration = configurationDlg(&error);
        ASSERT_TRUE(configuration != NULL) << error;
        static ATOM windowClass = [] {
            WNDCLASSA description = {};
            description.lpfnWndProc = hostWindowProc;
            description.hInstance = GetModuleHandleA(NULL);
            description.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
            description.lpszClassName = "PorvaneTestHost";
            return RegisterClassA(&description);
        }();
        host = CreateWindowExA(0, MAKEINTATOM(windowClass), "porvane test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 80, 460, 340, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(host != NULL) << "cannot create the host's window (error " << GetLastError() << ")";
        pumpMessages();
    }

    void TearDown() override
    {
        DestroyWindow(host);
        pumpMessages();
    }

    static void pumpMessages()
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // ConfigurationDlg(host window, function) on this thread while `drive`
    // works the window it opens; returns ConfigurationDlg's answer.
    LONG runDriven(LONG function, const std::function<void(Driver&)>& drive)
    {
        idleDialog = NULL;
        Driver driver(GetCurrentThreadId(), host);
        std::atomic<bool> answered{false};
        std::thread worker([&] { driver.run(drive, answered); });
        LONG answer = configuration(host, function);
        answered = true;
        worker.join();
        EXPECT_TRUE(IsWindowEnabled(host)) << "the host's window stayed disabled";
        return answer;
    }

    // Opens the settings dialog with `before` stored, lets `drive` work it,
    // and returns what is stored afterwards.
    Stored settings(const Stored& before, const std::function<void(Driver&)>& drive)
    {
        writeSetting(before);
        EXPECT_EQ(0, runDriven(1, drive));
        return readSetting();
    }

    ConfigurationDlgFn configuration = NULL;
    HWND host = NULL;
    static Stored saved;
};

Stored WineDialog::saved;

TEST_F(WineDialog, SettingsOpenAtTheHostWindowsClientOriginWithOkFocused)
{
    Stored after = settings(noValue, [&](Driver& d) {
        POINT origin = {0, 0}, client = {0, 0};
        ClientToScreen(host, &origin);
        ClientToScreen(d.dialog(), &client);
        RECT frame = {};
        GetWindowRect(d.dialog(), &frame);
        // Dialog coordinates are the client area's; frame and caption lie
        // above and to the left of the host's client origin.
        EXPECT_EQ(origin.x, client.x);
        EXPECT_EQ(origin.y, client.y);
        EXPECT_LE(frame.left, origin.x);
        EXPECT_GE(frame.left, origin.x - 8);
        EXPECT_LT(frame.top, origin.y);
        EXPECT_GE(frame.top, origin.y - 48);

        EXPECT_EQ(host, GetWindow(d.dialog(), GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(host)) << "the dialog is not modal to the host's window";
        EXPECT_EQ(d.item(IDOK), d.focused());
        EXPECT_FALSE(d.checked(IDC_PALETTE_CHECK));
        EXPECT_EQ(BS_CHECKBOX, GetWindowLongPtrA(d.item(IDC_PALETTE_CHECK), GWL_STYLE) & BS_TYPEMASK);
        d.click(IDOK);
    });
    EXPECT_EQ(dword(0), after);
}

TEST_F(WineDialog, TheBoxShowsTheStoredValueAndOnlyOkStoresItsState)
{
    const Stored eightBytes = {true, REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}};  // too long to read
    const std::function<void(Driver&)> ok = [](Driver& d) { d.click(IDOK); },
                                       enter = [](Driver& d) { d.press(VK_RETURN); },  // on the focused OK
                                       esc = [](Driver& d) { d.press(VK_ESCAPE); },
                                       cancel = [](Driver& d) { d.click(IDCANCEL); },
                                       close = [](Driver& d) { d.closeFromCaption(); },
                                       enterOnCancel = [](Driver& d) { d.tabTo(IDCANCEL); d.press(VK_RETURN); },
                                       spaceOnCancel = [](Driver& d) { d.tabTo(IDCANCEL); d.press(VK_SPACE); };
    struct Case {
        const char* what;
        Stored before;
        bool shown, toggle;
        const std::function<void(Driver&)>& end;
        Stored after;
    };
    const Case cases[] = {
        {"2, OK", dword(2), true, false, ok, dword(1)},
        {"2, Enter", dword(2), true, false, enter, dword(1)},
        {"eight bytes, Cancel", eightBytes, false, false, cancel, eightBytes},
        {"none, toggled, Esc", noValue, false, true, esc, noValue},
        {"1, toggled, Esc", dword(1), true, true, esc, dword(1)},
        {"none, toggled, Cancel", noValue, false, true, cancel, noValue},
        {"1, toggled, Cancel", dword(1), true, true, cancel, dword(1)},
        {"none, toggled, caption's close", noValue, false, true, close, noValue},
        {"1, toggled, caption's close", dword(1), true, true, close, dword(1)},
        {"none, toggled, Enter on the focused Cancel", noValue, false, true, enterOnCancel, noValue},
        {"1, toggled, Enter on the focused Cancel", dword(1), true, true, enterOnCancel, dword(1)},
        {"1, toggled, space on the focused Cancel", dword(1), true, true, spaceOnCancel, dword(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stored after = settings(c.before, [&](Driver& d) {
            SCOPED_TRACE(c.what);  // traces are per thread
            EXPECT_EQ(c.shown, d.checked(IDC_PALETTE_CHECK));
            if (c.toggle) {
                d.click(IDC_PALETTE_CHECK);
                d.settle();
                EXPECT_EQ(!c.shown, d.checked(IDC_PALETTE_CHECK));
            }
            c.end(d);
        });
        EXPECT_EQ(c.after, after);
    }
}

TEST_F(WineDialog, EveryClickAndEverySpaceTogglesTheBoxOnce)
{
    Stored after = settings(noValue, [](Driver& d) {
        d.press(VK_TAB);
        d.settle();
        EXPECT_EQ(d.item(IDCANCEL), d.focused());
        d.press(VK_TAB);
        d.settle();
        EXPECT_EQ(d.item(IDC_PALETTE_CHECK), d.focused()) << "two tabs from OK, past Cancel, reach the box";
        for (bool expected : {true, false}) {
            d.press(VK_SPACE);
            d.settle();
            EXPECT_EQ(expected, d.checked(IDC_PALETTE_CHECK));
        }
        for (bool expected : {true, false, true}) {
            d.click(IDC_PALETTE_CHECK);
            d.settle();
            EXPECT_EQ(expected, d.checked(IDC_PALETTE_CHECK));
        }
        // Enter on the box is the default button's, OK.
        d.press(VK_RETURN);
    });
    EXPECT_EQ(dword(1), after);
}

TEST_F(WineDialog, SettingsTextsAndFontAreTheJapaneseOnes)
{
    ASSERT_EQ(932u, GetACP()) << "the dialog's texts go through the ANSI code page: run this program with "
                                 "LANG=ja_JP.UTF-8 (and LOCPATH if the locale is not installed)";
    Stored after = settings(noValue, [](Driver& d) {
        EXPECT_EQ(L"設定", textOf(d.dialog()));
        EXPECT_EQ(L"OK", textOf(d.item(IDOK)));
        EXPECT_EQ(L"ｷｬﾝｾﾙ", textOf(d.item(IDCANCEL)));
        EXPECT_EQ(L"[256×1×24bitColor]\nのファイルならばKissパレットにする", textOf(d.item(IDC_PALETTE_CHECK)));

        LOGFONTW font = {};
        ASSERT_NE(0, GetObjectW((HFONT)d.send(d.dialog(), WM_GETFONT), sizeof font, &font));
        EXPECT_STREQ(L"ＭＳ ゴシック", font.lfFaceName);
        HDC screen = GetDC(NULL);
        EXPECT_EQ(-MulDiv(11, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
        ReleaseDC(NULL, screen);
        d.click(IDCANCEL);
    });
    EXPECT_EQ(noValue, after);
}

TEST_F(WineDialog, AboutBoxShowsTheVersionAndOneOkButton)
{
    writeSetting(dword(2));
    LONG answer = runDriven(0, [&](Driver& d) {
        EXPECT_EQ("About", ansiTextOf(d.dialog()));
        EXPECT_EQ(host, GetWindow(d.dialog(), GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(host)) << "the About box is not modal to the host's window";

        const std::string firstLine = "Wendrasil Version " PORVANE_VERSION "\n ";
        std::string text = ansiTextOf(d.item(0xFFFF));
        EXPECT_EQ(firstLine, text.substr(0, firstLine.size())) << text;
        EXPECT_GT(text.size(), firstLine.size()) << "no notice after the version";
        EXPECT_LE(text.size() - firstLine.size(), 228u);
        EXPECT_LT(text.size(), 256u);

        std::vector<HWND> buttons = visibleChildren(d.dialog(), "Button");
        ASSERT_EQ(1u, buttons.size());
        EXPECT_EQ(IDOK, GetDlgCtrlID(buttons[0]));
        EXPECT_EQ("OK", ansiTextOf(buttons[0]));
        // MB_OK alone: no icon beside the text.
        for (HWND picture : visibleChildren(d.dialog(), "Static")) {
            bool iconControl = (GetWindowLongPtrA(picture, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            EXPECT_FALSE(iconControl && d.send(picture, STM_GETICON) != 0) << "the About box shows an icon";
        }
        d.click(IDOK);
    });
    EXPECT_EQ(0, answer);
    EXPECT_EQ(dword(2), readSetting()) << "the About box touched the setting";
}

TEST_F(WineDialog, OtherFunctionCodesAnswerMinus101AndShowNothing)
{
    writeSetting(dword(1));
    std::atomic<int> windowsSeen{0};
    std::atomic<bool> answered{false};
    DWORD uiThread = GetCurrentThreadId();
    // Watches while the calls run and for 300 ms after: a window that did
    // show up is cancelled so that its call can return.
    std::thread watcher([&] {
        const DWORD start = GetTickCount();
        DWORD done = 0;
        while (done == 0 ? GetTickCount() - start < 20000 : GetTickCount() - done < 300) {
            if (HWND shown = findDialog(uiThread)) {
                ++windowsSeen;
                PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
            if (done == 0 && answered)
                done = GetTickCount();
            Sleep(10);
        }
    });
    for (LONG code : {2L, -1L, 7L, 100L, 257L, 0x7FFFFFFFL}) {
        for (HWND parent : {host, (HWND)NULL}) {
            EXPECT_EQ(-101, configuration(parent, code)) << "function " << code << ", parent " << parent;
            pumpMessages();
        }
    }
    answered = true;
    watcher.join();
    EXPECT_EQ(0, windowsSeen);
    EXPECT_EQ(dword(1), readSetting());
}

}  // namespace
