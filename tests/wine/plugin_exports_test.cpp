// The host's first contact with the plug-in: finding the exports, reading
// the identity strings, asking what is supported, and the configuration
// functions that have no window.
#include "wine_test_support.h"

#include <string.h>

namespace {

const char canary = (char)0xA5;

struct Buffer {
    char bytes[260];
    Buffer() { memset(bytes, canary, sizeof bytes); }
    bool untouchedFrom(size_t offset) const
    {
        for (size_t i = offset; i < sizeof bytes; ++i)
            if (bytes[i] != canary)
                return false;
        return true;
    }
};

class PluginExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_PORVANE_READY(); }
};

TEST_F(PluginExports, OrdinalsOneToFourAreTheFourFunctionsInAlphabeticalOrder)
{
    HMODULE module = porvane().module;
    EXPECT_EQ((void*)GetProcAddress(module, MAKEINTRESOURCEA(1)), (void*)porvane().ConfigurationDlg);
    EXPECT_EQ((void*)GetProcAddress(module, MAKEINTRESOURCEA(2)), (void*)porvane().CreatePicture);
    EXPECT_EQ((void*)GetProcAddress(module, MAKEINTRESOURCEA(3)), (void*)porvane().GetPluginInfo);
    EXPECT_EQ((void*)GetProcAddress(module, MAKEINTRESOURCEA(4)), (void*)porvane().IsSupported);
    EXPECT_EQ((void*)GetProcAddress(module, MAKEINTRESOURCEA(5)), nullptr);
    // The host looks the names up undecorated; decorated forms must not be
    // what the module offers instead.
    EXPECT_EQ((void*)GetProcAddress(module, "GetPluginInfo@12"), nullptr);
    EXPECT_EQ((void*)GetProcAddress(module, "_CreatePicture@28"), nullptr);
}

TEST_F(PluginExports, IdentityStringsComeWhole)
{
    struct Item {
        LONG index;
        const char* text;
    };
    const Item items[] = {{0, "T0XN"}, {1, "Wendrasil v0.01c by Nimbrel"}, {2, "CEL"}, {3, ".cel"}};
    for (const Item& item : items) {
        SCOPED_TRACE(item.index);
        Buffer buffer;
        LONG length = porvane().GetPluginInfo(item.index, buffer.bytes, sizeof buffer.bytes);
        EXPECT_EQ(length, (LONG)strlen(item.text));
        EXPECT_STREQ(buffer.bytes, item.text);
    }
}

TEST_F(PluginExports, ShortBufferGetsTruncatedTextAndItsLength)
{
    struct Case {
        LONG length;
        const char* text;
    };
    const Case cases[] = {
        {5, "Wend"},
        {1, ""},
        {27, "Wendrasil v0.01c by Nimbre"},
        {28, "Wendrasil v0.01c by Nimbrel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        Buffer buffer;
        LONG length = porvane().GetPluginInfo(1, buffer.bytes, c.length);
        EXPECT_EQ(length, (LONG)strlen(c.text));
        EXPECT_STREQ(buffer.bytes, c.text);
        // The host said how much room there is; nothing beyond it is the
        // plug-in's to write.
        EXPECT_TRUE(buffer.untouchedFrom(c.length)) << "wrote past the stated buffer length";
    }
}

TEST_F(PluginExports, UnknownIndexAnswersZeroAndLeavesBufferAlone)
{
    const LONG indexes[] = {4, 5, -1, 0x7FFFFFFF, (LONG)0x80000000};
    for (LONG index : indexes) {
        SCOPED_TRACE(index);
        Buffer buffer;
        EXPECT_EQ(porvane().GetPluginInfo(index, buffer.bytes, sizeof buffer.bytes), 0);
        EXPECT_TRUE(buffer.untouchedFrom(0));
    }
}

TEST_F(PluginExports, NoRoomAnswersZeroAndLeavesBufferAlone)
{
    const LONG lengths[] = {0, -1, (LONG)0x80000000};
    for (LONG index = 0; index < 4; ++index) {
        for (LONG length : lengths) {
            SCOPED_TRACE(::testing::Message() << "index " << index << ", length " << length);
            Buffer buffer;
            EXPECT_EQ(porvane().GetPluginInfo(index, buffer.bytes, length), 0);
            EXPECT_TRUE(buffer.untouchedFrom(0));
        }
    }
}

TEST_F(PluginExports, SupportsFourAndEightOnly)
{
    EXPECT_EQ(porvane().IsSupported(4), 1);
    EXPECT_EQ(porvane().IsSupported(8), 1);
    const LONG unsupported[] = {1, 24, 0, -4, 2, 16, 32, -8, 0x104};
    for (LONG value : unsupported)
        EXPECT_EQ(porvane().IsSupported(value), 0) << "IsSupported(" << value << ")";
}

TEST_F(PluginExports, ConfigurationFunctionsOtherThanAboutAndSettingsAreNotImplemented)
{
    // Codes other than 0 (About) and 1 (settings) open nothing: the call
    // comes straight back with the status.
    const LONG functions[] = {2, -1, 100, 7, 0x7FFFFFFF};
    for (LONG function : functions) {
        EXPECT_EQ(porvane().ConfigurationDlg(NULL, function), -101) << "ConfigurationDlg(NULL, " << function << ")";
        EXPECT_EQ(porvane().ConfigurationDlg(GetDesktopWindow(), function), -101)
            << "ConfigurationDlg(desktop, " << function << ")";
    }
}

}  // namespace
