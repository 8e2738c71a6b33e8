// The host's first contact with the plug-in: reading the identity strings
// and asking what is supported. (The export table itself is checked by
// check_module.py, the configuration codes by the dialog tests.)
#include "wine_test_support.h"

#include <string.h>

namespace {

class PluginExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_PORVANE_READY(); }
};

TEST_F(PluginExports, GetPluginInfoCopiesWhatFitsAndAnswersItsLength)
{
    struct Case {
        LONG index, room;
        const char* text;  // NULL: answers 0 and leaves the buffer alone
    };
    std::vector<Case> cases = {
        {0, 260, "T0XN"}, {1, 260, "Wendrasil v0.01c by Nimbrel"}, {2, 260, "CEL"}, {3, 260, ".cel"},
        // The stated room holds the zero too.
        {1, 5, "Wend"}, {1, 1, ""}, {1, 27, "Wendrasil v0.01c by Nimbre"}, {1, 28, "Wendrasil v0.01c by Nimbrel"},
        {4, 260, NULL}, {5, 260, NULL}, {-1, 260, NULL}, {0x7FFFFFFF, 260, NULL}, {(LONG)0x80000000, 260, NULL},
    };
    for (LONG index = 0; index < 4; ++index)
        for (LONG room : {0, -1, (int)0x80000000})
            cases.push_back({index, room, NULL});

    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "index " << c.index << ", room " << c.room);
        char buffer[260];
        memset(buffer, 0xA5, sizeof buffer);
        EXPECT_EQ(porvane().GetPluginInfo(c.index, buffer, c.room), c.text ? (LONG)strlen(c.text) : 0);
        if (c.text) {
            EXPECT_STREQ(buffer, c.text);
        }
        // Nothing beyond the stated room is the plug-in's to write.
        for (size_t i = c.text ? c.room : 0; i < sizeof buffer; ++i)
            if (buffer[i] != (char)0xA5) {
                ADD_FAILURE() << "byte " << i << " of the buffer was written";
                break;
            }
    }
}

TEST_F(PluginExports, SupportsFourAndEightOnly)
{
    const struct {
        LONG value, answer;
    } cases[] = {{4, 1}, {8, 1}, {1, 0}, {24, 0}, {0, 0}, {-4, 0}, {2, 0}, {16, 0}, {32, 0}, {-8, 0}, {0x104, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(porvane().IsSupported(c.value), c.answer) << "IsSupported(" << c.value << ")";
}

}  // namespace
