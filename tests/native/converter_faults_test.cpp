// Fault injection over the converter's reading of a picture: each platform
// call it makes fails in turn. A failure that leaves it without the picture
// (no file, no bytes, no memory, a handle that cannot be locked) makes it
// refuse the picture with a reason; whatever fails, it gives back every
// file, block and lock it took.
#include <gtest/gtest.h>

#include <set>

#include "native_test_support.h"
#include "../../host/source_picture.h"

namespace {

TEST(ConverterFaults, EachFailingCallIsARefusalOrHarmlessAndNothingIsHeld)
{
    ScratchFolder scratch;
    // 2 x 2 at 8 bits: file header, info header, two colours, two padded rows.
    std::vector<uint8_t> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                                1, 0, 8, 0};
    bmp.resize(46, 0);
    bmp.insert(bmp.end(), {2, 0, 0, 0, 0, 0, 0, 0, 10, 20, 30, 0, 40, 50, 60, 0, 1, 0, 0, 0, 0, 1, 0, 0});
    const std::string path = scratch.path("picture.bmp");
    writeFile(path, bmp);

    SourcePicture picture;
    std::string reason;
    NativePlatform::resetCalls();
    ASSERT_TRUE(openSourcePicture(path, &picture, &reason)) << reason;
    closeSourcePicture(&picture);
    const std::vector<std::string> calls = NativePlatform::callLog();
    const std::set<std::string> indispensable = {"CreateFileA", "GetFileInformationByHandle", "ReadFile", "LocalAlloc",
                                                 "LocalLock"};
    for (size_t failing = 1; failing <= calls.size(); ++failing) {
        SCOPED_TRACE(::testing::Message() << "call " << failing << ", " << calls[failing - 1]);
        NativePlatform::resetCalls();
        NativePlatform::failCall((unsigned)failing);
        reason.clear();
        if (openSourcePicture(path, &picture, &reason))
            closeSourcePicture(&picture);
        else
            EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.empty(), indispensable.count(calls[failing - 1]) == 0) << reason;
        const NativePlatform::Held held = NativePlatform::held();
        EXPECT_EQ(held.memoryBlocks + held.locks + held.files, 0);
    }
    NativePlatform::resetCalls();
}

}  // namespace
