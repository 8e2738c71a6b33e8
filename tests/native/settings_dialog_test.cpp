// The host's configuration menu, ConfigurationDlg with function 0 (the About
// box) and 1 (the settings dialog), on the native dialog manager and registry:
// the dialog procedure without a display, and what the real dialog under Wine
// cannot show: failing calls, the exact registry calls, notification codes.
// Keys and focus belong to the dialog manager: the Wine tests work the real
// one with the keyboard (tests/wine/dialog_test.cpp).
//
// Each case plays what a person does in the dialog (clicks, the caption's
// close button, a host's accelerators), then looks at what the host gets
// back, what the dialog showed, and what is stored under
// HKCU\Software\brovald\porvane afterwards. The settings store's handle must
// never outlive a dialog run.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "native_test_support.h"
#include "../shared/stored_setting.h"
#include "../../settings/configuration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

using NativePlatform::UserAction;
using NativePlatform::CLICK_OK;
using NativePlatform::CLICK_CANCEL;
using NativePlatform::CLICK_CHECK_BOX;
using NativePlatform::CLOSE_CAPTION;
using NativePlatform::ACCELERATOR_OK;
using NativePlatform::ACCELERATOR_CANCEL;
using NativePlatform::ACCELERATOR_CHECK_BOX;

// Any non-null values do: the native layer never dereferences them.
HWND const hostWindow = (HWND)(uintptr_t)0x00C0FFEE;
HINSTANCE const ourModule = (HINSTANCE)(uintptr_t)0x10000000;

// Read after looking at the call log: the registry calls it makes are counted.
Stored storedSetting() { return readStoredSetting(); }

std::vector<std::string> registryCalls(const std::vector<std::string>& log)
{
    std::vector<std::string> calls;
    for (const std::string& call : log)
        if (call.compare(0, 3, "Reg") == 0)
            calls.push_back(call);
    return calls;
}

// 1-based position of the first call named `name` in the log (0: none).
unsigned positionOf(const std::vector<std::string>& log, const char* name)
{
    auto found = std::find(log.begin(), log.end(), name);
    return found == log.end() ? 0 : (unsigned)(found - log.begin()) + 1;
}

std::vector<UserAction> repeated(UserAction action, int times)
{
    return std::vector<UserAction>((size_t)times, action);
}

std::vector<UserAction> operator+(std::vector<UserAction> first, const std::vector<UserAction>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct SettingsDialog : ::testing::Test {
    void SetUp() override
    {
        DllMain(ourModule, DLL_PROCESS_ATTACH, NULL);
        NativePlatform::forgetMessageBoxes();
        NativePlatform::resetCalls();
        ASSERT_EQ(0, NativePlatform::held().registryKeys) << "an earlier test left a key open";
    }

    // Starts from a registry without the setting (nor the key).
    void forgetRegistry() { remove(scratch.path("registry").c_str()); }

    void store(const Stored& stored)
    {
        forgetRegistry();
        if (stored.present)
            storeSetting(stored.type, stored.bytes);
        NativePlatform::resetCalls();
    }

    // Opens the dialog as the host's menu does and plays `actions` in it.
    LONG openSettings(const std::vector<UserAction>& actions)
    {
        NativePlatform::scriptDialog(actions);
        LONG answer = ConfigurationDlg(hostWindow, 1);
        EXPECT_EQ(0, NativePlatform::held().registryKeys) << "the dialog left a registry key open";
        EXPECT_TRUE(NativePlatform::messageBoxes().empty());
        return answer;
    }

    // The dialog opened for the host's window, and the user's way of closing
    // it ended it with 1.
    void expectOpenedAndEnded(const NativePlatform::DialogRun& run)
    {
        EXPECT_TRUE(run.shown);
        EXPECT_EQ(hostWindow, run.owner);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(1, run.result);
    }

    ScratchFolder scratch;
};

TEST_F(SettingsDialog, WithoutAStoredValueOpensUncheckedAndOkStoresZero)
{
    store(noValue);
    EXPECT_EQ(0, openSettings({CLICK_OK}));
    NativePlatform::DialogRun run = NativePlatform::lastDialog();
    expectOpenedAndEnded(run);
    EXPECT_FALSE(run.checkedAtOpen);
    EXPECT_EQ(dword(0), storedSetting());
}

TEST_F(SettingsDialog, EveryClickTogglesTheBoxOnce)
{
    for (int times = 1; times <= 4; ++times) {
        SCOPED_TRACE(testing::Message() << times << " clicks");
        store(noValue);
        EXPECT_EQ(0, openSettings(repeated(CLICK_CHECK_BOX, times) + std::vector<UserAction>{CLICK_OK}));
        expectOpenedAndEnded(NativePlatform::lastDialog());
        EXPECT_EQ(times % 2 == 1, NativePlatform::lastDialog().checkedAtEnd);
        EXPECT_EQ(dword(times % 2), storedSetting());
    }
}

TEST_F(SettingsDialog, LeavingWithoutOkKeepsWhatWasStored)
{
    struct Ending {
        const char* title;
        std::vector<UserAction> actions;
    } endings[] = {
        {"Cancel", {CLICK_CANCEL}},
        {"the caption's close button", {CLOSE_CAPTION}},
        {"Cancel by the host's accelerator", {ACCELERATOR_CANCEL}},
    };
    const Stored befores[] = {noValue, dword(0), dword(1), dword(2), Stored{true, REG_SZ, {'o', 'n', 0}}};
    for (const Ending& ending : endings) {
        for (const Stored& before : befores) {
            for (int toggles = 0; toggles <= 3; ++toggles) {
                SCOPED_TRACE(testing::Message() << ending.title << " after " << toggles << " clicks on the box, "
                                                << testing::PrintToString(before) << " stored");
                store(before);
                bool checkedBefore = before.present && before.bytes.size() <= 4 &&
                                     std::any_of(before.bytes.begin(), before.bytes.end(), [](uint8_t b) { return b != 0; });
                EXPECT_EQ(0, openSettings(repeated(CLICK_CHECK_BOX, toggles) + ending.actions));
                NativePlatform::DialogRun run = NativePlatform::lastDialog();
                expectOpenedAndEnded(run);
                EXPECT_EQ(checkedBefore, run.checkedAtOpen);
                EXPECT_EQ(checkedBefore != (toggles % 2 == 1), run.checkedAtEnd);
                std::vector<std::string> log = NativePlatform::callLog();
                EXPECT_EQ(0u, positionOf(log, "RegSetValueExA"));
                EXPECT_EQ(before, storedSetting());
            }
        }
    }
}

TEST_F(SettingsDialog, ReadsOnceAtOpenAndWritesOnceOnOkWithoutHoldingTheKey)
{
    // While the user looks at the dialog no key is open: the read closes the
    // key createKey opened, and OK opens it again for the write alone.
    store(dword(1));
    EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
    std::vector<std::string> log = NativePlatform::callLog();
    EXPECT_EQ(1u, positionOf(log, "DialogBoxParamA"));
    EXPECT_EQ((std::vector<std::string>{"RegCreateKeyA", "RegQueryValueExA", "RegCloseKey", "RegOpenKeyExA",
                                        "RegSetValueExA", "RegCloseKey"}),
              registryCalls(log));
    EXPECT_LT(positionOf(log, "CheckDlgButton"), positionOf(log, "RegOpenKeyExA"));
    EXPECT_EQ("EndDialog", log.back()) << "the dialog ends after the write, not before";

    store(dword(1));
    EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_CANCEL}));
    EXPECT_EQ((std::vector<std::string>{"RegCreateKeyA", "RegQueryValueExA", "RegCloseKey"}),
              registryCalls(NativePlatform::callLog()));
}

TEST_F(SettingsDialog, ADialogThatCannotBeShownStillAnswersZero)
{
    store(dword(1));
    NativePlatform::failCall(1);
    EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
    EXPECT_EQ(std::vector<std::string>{"DialogBoxParamA"}, NativePlatform::callLog());
    EXPECT_FALSE(NativePlatform::lastDialog().shown);
    EXPECT_EQ(dword(1), storedSetting());

    // Without the module handle from process attach the template cannot be found.
    store(dword(1));
    DllMain(NULL, DLL_PROCESS_ATTACH, NULL);
    EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
    EXPECT_FALSE(NativePlatform::lastDialog().shown);
    EXPECT_EQ(dword(1), storedSetting());
    DllMain(ourModule, DLL_PROCESS_ATTACH, NULL);

    // And once it can be, it opens as usual.
    store(dword(1));
    EXPECT_EQ(0, openSettings({CLICK_OK}));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_TRUE(NativePlatform::lastDialog().checkedAtOpen);
}

TEST_F(SettingsDialog, UnreadableSettingOpensUnchecked)
{
    // The query fails: unchecked, and OK then stores what the box shows.
    store(dword(1));
    EXPECT_EQ(0, openSettings({CLICK_CANCEL}));
    unsigned query = positionOf(NativePlatform::callLog(), "RegQueryValueExA");
    ASSERT_NE(0u, query);
    NativePlatform::resetCalls();
    NativePlatform::failCall(query);
    EXPECT_EQ(0, openSettings({CLICK_OK}));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_FALSE(NativePlatform::lastDialog().checkedAtOpen);
    EXPECT_EQ(dword(0), storedSetting());

    // The key can be neither created nor opened: unchecked, and OK stores
    // nothing but still closes the dialog.
    store(noValue);
    NativePlatform::failCall(2);
    EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
    ASSERT_EQ("RegCreateKeyA", NativePlatform::callLog().at(1));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_FALSE(NativePlatform::lastDialog().checkedAtOpen);
    EXPECT_EQ(0u, positionOf(NativePlatform::callLog(), "RegSetValueExA"));
    EXPECT_EQ(noValue, storedSetting());

    // Only the create fails and the key exists: the one-shot read opens it
    // by itself and still finds the value.
    store(dword(1));
    NativePlatform::failCall(2);
    EXPECT_EQ(0, openSettings({CLICK_OK}));
    ASSERT_EQ("RegCreateKeyA", NativePlatform::callLog().at(1));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_TRUE(NativePlatform::lastDialog().checkedAtOpen);
    EXPECT_EQ(dword(1), storedSetting());
}

TEST_F(SettingsDialog, AFailedWriteStillEndsTheDialogWithOne)
{
    for (const char* failing : {"RegOpenKeyExA", "RegSetValueExA"}) {
        SCOPED_TRACE(failing);
        store(dword(2));
        EXPECT_EQ(0, openSettings({CLICK_CANCEL}));
        store(dword(2));
        EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
        unsigned position = positionOf(NativePlatform::callLog(), failing);
        ASSERT_NE(0u, position);

        store(dword(2));
        NativePlatform::failCall(position);
        EXPECT_EQ(0, openSettings({CLICK_CHECK_BOX, CLICK_OK}));
        expectOpenedAndEnded(NativePlatform::lastDialog());
        EXPECT_EQ(dword(2), storedSetting());
    }
}

TEST_F(SettingsDialog, WhicheverCallFailsTheHostGetsZeroAndNoKeyStaysOpen)
{
    store(dword(2));
    const std::vector<UserAction> actions = {CLICK_CHECK_BOX, CLICK_CHECK_BOX, CLICK_CHECK_BOX, CLICK_OK};
    EXPECT_EQ(0, openSettings(actions));
    const std::vector<std::string> calls = NativePlatform::callLog();
    ASSERT_GE(calls.size(), 9u);
    for (unsigned failing = 1; failing <= calls.size(); ++failing) {
        SCOPED_TRACE(testing::Message() << "call " << failing << ", " << calls[failing - 1] << ", fails");
        store(dword(2));
        NativePlatform::failCall(failing);
        EXPECT_EQ(0, openSettings(actions));
        Stored after = storedSetting();
        EXPECT_TRUE(after == dword(2) || after == dword(0) || after == dword(1)) << testing::PrintToString(after);
        if (calls[failing - 1] != "DialogBoxParamA" && calls[failing - 1] != "EndDialog")
            expectOpenedAndEnded(NativePlatform::lastDialog());
    }
}

TEST_F(SettingsDialog, TheStoredChoiceDecidesTheNextPaletteExport)
{
    // What the user ticks here is what CreatePicture reads next: a 256 x 1
    // 24-bit strip becomes a palette file only after the box was checked.
    store(noValue);
    HostPicture strip(24, 256, 1, patternBits(24, 256, 1));
    bool boxState = false;
    for (bool check : {true, false, true}) {
        SCOPED_TRACE(check ? "checked" : "unchecked");
        std::vector<UserAction> actions;
        if (check != boxState)
            actions.push_back(CLICK_CHECK_BOX);
        actions.push_back(CLICK_OK);
        EXPECT_EQ(0, openSettings(actions));
        EXPECT_EQ(boxState, NativePlatform::lastDialog().checkedAtOpen);
        EXPECT_EQ(check, NativePlatform::lastDialog().checkedAtEnd);
        boxState = check;

        std::string path = scratch.path("strip.cel");
        ASSERT_EQ(0, exportTo(&path, strip));
        EXPECT_EQ(scratch.path(check ? "strip.kcf" : "strip.cel"), path);
        std::vector<uint8_t> written = readFile(path);
        ASSERT_GE(written.size(), 32u);
        EXPECT_EQ(check ? 0x10 : 0x20, written[4]);
        remove(path.c_str());
    }
}

TEST_F(SettingsDialog, CommandsActByControlIdWhateverTheNotificationCode)
{
    // The dialog manager sends BN_CLICKED, but a host that forwards its own
    // accelerators sends code 1: the id alone decides.
    store(dword(0));
    EXPECT_EQ(0, openSettings({ACCELERATOR_CHECK_BOX, ACCELERATOR_OK}));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_TRUE(NativePlatform::lastDialog().checkedAtEnd);
    EXPECT_EQ(dword(1), storedSetting());

    store(dword(0));
    EXPECT_EQ(0, openSettings({ACCELERATOR_CHECK_BOX, ACCELERATOR_CANCEL}));
    expectOpenedAndEnded(NativePlatform::lastDialog());
    EXPECT_EQ(dword(0), storedSetting());
}

}
