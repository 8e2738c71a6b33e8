// The real About box and settings dialog of porvane.xpi, worked as a person
// works them.
//
// The test thread plays the host: it owns a main window at a known place on
// the screen and calls ConfigurationDlg(window, function) as the host's menu
// does, which does not return while the box or dialog is up. Meanwhile a
// driver thread finds the window the call opened among the test thread's
// windows (dialog class "#32770"), looks at it, and works it: BM_CLICK on a
// button is a mouse click, key presses go to the control that has the focus,
// and WM_SYSCOMMAND SC_CLOSE is the caption's close button. After the call
// returned, the test thread checks what was stored in the registry.
//
// The dialog's Japanese texts pass through the process's ANSI code page, so
// the test of the texts needs code page 932 (LANG=ja_JP.UTF-8, see
// scripts/wine-session.sh); nothing else depends on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

typedef LONG(WINAPI* ConfigurationDlgFn)(HWND parent, LONG function);

// The module under test, loaded once from the current folder (ctest starts
// the program in the module's folder).
struct Plugin {
    HMODULE module = NULL;
    ConfigurationDlgFn configurationDlg = NULL;
    std::string error;
};

const Plugin& plugin()
{
    static const Plugin loaded = [] {
        Plugin found;
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        std::string path = std::string(folder) + "\\" + PORVANE_XPI;
        found.module = LoadLibraryA(path.c_str());
        if (found.module == NULL) {
            found.error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
            return found;
        }
        found.configurationDlg =
            reinterpret_cast<ConfigurationDlgFn>(reinterpret_cast<void*>(GetProcAddress(found.module, "ConfigurationDlg")));
        if (found.configurationDlg == NULL)
            found.error = path + " exports no ConfigurationDlg";
        return found;
    }();
    return loaded;
}

// ---------------------------------------------------------------------------
// The palette-mode setting, as the registry holds it

const char settingsKey[] = "Software\\brovald\\porvane";
const char settingName[] = "ChengePallet";

struct Stored {
    bool present;
    DWORD type;
    std::vector<BYTE> bytes;
    bool operator==(const Stored& other) const
    {
        return present == other.present && (!present || (type == other.type && bytes == other.bytes));
    }
};

void PrintTo(const Stored& stored, std::ostream* out)
{
    if (!stored.present) {
        *out << "(no value)";
        return;
    }
    *out << "type " << stored.type << ", " << stored.bytes.size() << " bytes:";
    for (BYTE b : stored.bytes) {
        char hex[4];
        snprintf(hex, sizeof hex, " %02x", b);
        *out << hex;
    }
}

const Stored noValue = {false, 0, {}};
Stored dword(BYTE low) { return Stored{true, REG_DWORD, {low, 0, 0, 0}}; }

Stored readSetting()
{
    Stored stored = noValue;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, settingName, NULL, &type, NULL, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size + 1);  // never a null buffer, even for an empty value
        DWORD room = size;
        if (RegQueryValueExA(key, settingName, NULL, &type, bytes.data(), &room) == ERROR_SUCCESS) {
            bytes.resize(room);
            stored = Stored{true, type, bytes};
        }
    }
    RegCloseKey(key);
    return stored;
}

void writeSetting(const Stored& stored)
{
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                                             NULL));
    LONG result = stored.present ? RegSetValueExA(key, settingName, 0, stored.type, stored.bytes.data(),
                                                  (DWORD)stored.bytes.size())
                                 : RegDeleteValueA(key, settingName);
    RegCloseKey(key);
    if (stored.present)
        ASSERT_EQ(ERROR_SUCCESS, result);
    else
        ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
    ASSERT_EQ(stored, readSetting());
}

// ---------------------------------------------------------------------------
// The host's main window. Its procedure runs on the test thread, inside the
// modal loop of whatever box is up: WM_ENTERIDLE tells that the loop waits
// for input, and a marker posted after some input tells that the loop has
// handled that input (posted messages are handled in order).

const UINT WM_MARKER = WM_APP + 1;
std::atomic<HWND> idleDialog{NULL};
std::atomic<unsigned> lastMarker{0};

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        idleDialog = (HWND)lParam;
        return 0;
    }
    if (message == WM_MARKER) {
        if ((unsigned)wParam > lastMarker)
            lastMarker = (unsigned)wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const int hostLeft = 100, hostTop = 80, hostWidth = 460, hostHeight = 340;

HWND createHostWindow()
{
    static ATOM windowClass = [] {
        WNDCLASSA description = {};
        description.lpfnWndProc = hostWindowProc;
        description.hInstance = GetModuleHandleA(NULL);
        description.hCursor = LoadCursor(NULL, IDC_ARROW);
        description.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        description.lpszClassName = "PorvaneTestHost";
        return RegisterClassA(&description);
    }();
    if (windowClass == 0)
        return NULL;
    return CreateWindowExA(0, "PorvaneTestHost", "porvane test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, hostLeft,
                           hostTop, hostWidth, hostHeight, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(5);
    }
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
    if (className(window) == "#32770" && IsWindowVisible(window)) {
        *(HWND*)result = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog (or message box) of `thread`, or NULL.
HWND findDialog(DWORD thread)
{
    HWND found = NULL;
    EnumThreadWindows(thread, rememberDialog, (LPARAM)&found);
    return found;
}

std::wstring textOf(HWND window)
{
    // A window of another thread: GetWindowText sends WM_GETTEXT, which the
    // dialog's loop answers.
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

struct ChildSearch {
    const char* windowClass;
    std::vector<HWND> found;
};

BOOL CALLBACK collectChild(HWND window, LPARAM data)
{
    ChildSearch* search = (ChildSearch*)data;
    if (lstrcmpiA(className(window).c_str(), search->windowClass) == 0 && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> visibleChildren(HWND parent, const char* windowClass)
{
    ChildSearch search = {windowClass, {}};
    EnumChildWindows(parent, collectChild, (LPARAM)&search);
    return search.found;
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

    // A mouse click on a button.
    void click(int id)
    {
        HWND button = item(id);
        EXPECT_TRUE(button != NULL) << "no control " << id;
        PostMessageA(button, BM_CLICK, 0, 0);
    }

    // A key pressed and released, sent where the keyboard sends it: to the
    // control with the focus.
    void press(UINT key)
    {
        HWND target = focused();
        EXPECT_TRUE(target != NULL && IsChild(window, target)) << "no control of the dialog has the focus";
        if (target == NULL)
            target = window;
        LPARAM scan = (LPARAM)MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16;
        PostMessageA(target, WM_KEYDOWN, key, 1 | scan);
        PostMessageA(target, WM_KEYUP, key, 1 | scan | (LPARAM)(1u << 30) | (LPARAM)(1u << 31));
    }

    void closeFromCaption() { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

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
            // Once the modal loop waits for input the dialog is up, focused and
            // drawn. Wine's message box sends its owner no WM_ENTERIDLE: there a
            // marker handled by the box's modal loop tells the same.
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
            fflush(stderr);
            fflush(stdout);
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
        ASSERT_TRUE(plugin().error.empty()) << plugin().error;
        host = createHostWindow();
        ASSERT_TRUE(host != NULL) << "cannot create the host's window (error " << GetLastError() << ")";
        pumpMessages();
    }

    void TearDown() override
    {
        if (host != NULL)
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
        LONG answer = plugin().configurationDlg(host, function);
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

    HWND host = NULL;
    static Stored saved;
};

Stored WineDialog::saved;

TEST_F(WineDialog, SettingsOpenAtTheHostWindowsClientOriginWithOkFocused)
{
    Stored after = settings(noValue, [&](Driver& d) {
        POINT origin = {0, 0};
        ClientToScreen(host, &origin);
        POINT client = {0, 0};
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
        EXPECT_FALSE(d.checked(101));
        LONG_PTR style = GetWindowLongPtrA(d.item(101), GWL_STYLE);
        EXPECT_EQ(BS_CHECKBOX, style & BS_TYPEMASK);
        d.click(IDOK);
    });
    EXPECT_EQ(dword(0), after);
}

TEST_F(WineDialog, StoredTwoOpensCheckedAndOkStoresOne)
{
    Stored after = settings(dword(2), [](Driver& d) {
        EXPECT_TRUE(d.checked(101));
        d.click(IDOK);
    });
    EXPECT_EQ(dword(1), after);
}

TEST_F(WineDialog, ValueTooLongToReadOpensUnchecked)
{
    const Stored eightBytes = {true, REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}};
    Stored after = settings(eightBytes, [](Driver& d) {
        EXPECT_FALSE(d.checked(101));
        d.click(IDCANCEL);
    });
    EXPECT_EQ(eightBytes, after);
}

TEST_F(WineDialog, EveryClickTogglesTheBoxOnceAndOkStoresIt)
{
    Stored after = settings(noValue, [](Driver& d) {
        for (bool expected : {true, false, true}) {
            d.click(101);
            d.settle();
            EXPECT_EQ(expected, d.checked(101));
        }
        d.click(IDOK);
    });
    EXPECT_EQ(dword(1), after);
}

TEST_F(WineDialog, EverySpaceTogglesTheBoxOnceAndEnterStoresIt)
{
    Stored after = settings(dword(1), [](Driver& d) {
        d.press(VK_TAB);
        d.settle();
        EXPECT_EQ(d.item(IDCANCEL), d.focused());
        d.press(VK_TAB);
        d.settle();
        EXPECT_EQ(d.item(101), d.focused()) << "two tabs from OK, past Cancel, reach the box";
        for (bool expected : {false, true, false}) {
            d.press(VK_SPACE);
            d.settle();
            EXPECT_EQ(expected, d.checked(101));
        }
        // Enter on the box is the default button's, OK.
        d.press(VK_RETURN);
    });
    EXPECT_EQ(dword(0), after);
}

TEST_F(WineDialog, EnterOnTheFocusedOkStores)
{
    Stored after = settings(dword(2), [](Driver& d) { d.press(VK_RETURN); });
    EXPECT_EQ(dword(1), after);
}

TEST_F(WineDialog, EscCancelAndTheCaptionsCloseStoreNothing)
{
    struct Ending {
        const char* title;
        std::function<void(Driver&)> act;
    } endings[] = {
        {"Esc", [](Driver& d) { d.press(VK_ESCAPE); }},
        {"Cancel", [](Driver& d) { d.click(IDCANCEL); }},
        {"the caption's close button", [](Driver& d) { d.closeFromCaption(); }},
    };
    for (const Ending& ending : endings) {
        for (const Stored& before : {noValue, dword(1)}) {
            SCOPED_TRACE(testing::Message() << ending.title << " with " << testing::PrintToString(before) << " stored");
            Stored after = settings(before, [&](Driver& d) {
                SCOPED_TRACE(ending.title);  // traces are per thread
                bool wasChecked = before.present;
                EXPECT_EQ(wasChecked, d.checked(101));
                d.click(101);
                d.settle();
                EXPECT_EQ(!wasChecked, d.checked(101));
                ending.act(d);
            });
            EXPECT_EQ(before, after);
        }
    }
}

TEST_F(WineDialog, SettingsTextsAndFontAreTheJapaneseOnes)
{
    ASSERT_EQ(932u, GetACP()) << "the dialog's texts go through the ANSI code page: run this program with "
                                 "LANG=ja_JP.UTF-8 (and LOCPATH if the locale is not installed)";
    Stored after = settings(noValue, [](Driver& d) {
        EXPECT_EQ(L"設定", textOf(d.dialog()));
        EXPECT_EQ(L"OK", textOf(d.item(IDOK)));
        EXPECT_EQ(L"ｷｬﾝｾﾙ", textOf(d.item(IDCANCEL)));
        EXPECT_EQ(L"[256×1×24bitColor]\nのファイルならばKissパレットにする", textOf(d.item(101)));

        HFONT font = (HFONT)d.send(d.dialog(), WM_GETFONT);
        LOGFONTW description = {};
        ASSERT_NE(0, GetObjectW(font, sizeof description, &description));
        EXPECT_STREQ(L"ＭＳ ゴシック", description.lfFaceName);
        HDC screen = GetDC(NULL);
        EXPECT_EQ(-MulDiv(11, GetDeviceCaps(screen, LOGPIXELSY), 72), description.lfHeight);
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

        const std::string firstLine = "Wendrasil Version 0.0.1.3\n ";
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
    for (LONG code : {2L, -1L, 257L}) {
        SCOPED_TRACE(testing::Message() << "function " << code);
        std::atomic<int> windowsSeen{0};
        std::atomic<bool> answered{false};
        DWORD uiThread = GetCurrentThreadId();
        std::thread watcher([&] {
            // Watches for 300 ms, and for as long as the call has not returned
            // (bounded): a window that did show up is cancelled so the call can.
            DWORD start = GetTickCount();
            while (GetTickCount() - start < 300 || (!answered && GetTickCount() - start < 10000)) {
                if (HWND shown = findDialog(uiThread)) {
                    ++windowsSeen;
                    PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                }
                Sleep(10);
            }
        });
        EXPECT_EQ(-101, plugin().configurationDlg(host, code));
        answered = true;
        watcher.join();
        EXPECT_EQ(0, windowsSeen);
        pumpMessages();
    }
    EXPECT_EQ(dword(1), readSetting());
}

}
