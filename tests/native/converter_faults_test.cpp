// Fault injection over the converter's reading of a picture: each platform
// call it makes fails in turn. A failure that leaves it without the picture
// (no file, no bytes, no memory, a handle that cannot be locked) makes it
// refuse the picture with a reason; whatever fails, it gives back every
// file, block and lock it took. And a palette it fails to write leaves the
// palette that was there as it was, with the system's reason.
#include <gtest/gtest.h>

#include <set>

#include "native_test_support.h"
#include "../../host/handover/kiss_output.h"
#include "../../host/handover/source_picture.h"

namespace {

// The scratch folder's names are plain letters: the same in UTF-32.
std::wstring wide(const std::string& plain)
{
    return std::wstring(plain.begin(), plain.end());
}

// 2 x 2 at 8 bits: file header, info header, two colours, two padded rows.
std::vector<uint8_t> smallIndexedBmp()
{
    std::vector<uint8_t> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                                1, 0, 8, 0};
    bmp.resize(46, 0);
    bmp.insert(bmp.end(), {2, 0, 0, 0, 0, 0, 0, 0, 10, 20, 30, 0, 40, 50, 60, 0, 1, 0, 0, 0, 0, 1, 0, 0});
    return bmp;
}

TEST(ConverterFaults, EachFailingCallIsARefusalOrHarmlessAndNothingIsHeld)
{
    ScratchFolder scratch;
    const std::string path = scratch.path("picture.bmp");
    writeFile(path, smallIndexedBmp());

    SourcePicture picture;
    PictureProblem problem;
    NativePlatform::resetCalls();
    ASSERT_TRUE(openSourcePicture(wide(path), TransparencyChoice(), false, &picture, &problem));
    closeSourcePicture(&picture);
    const std::vector<std::string> calls = NativePlatform::callLog();
    const std::set<std::string> indispensable = {"CreateFileW", "GetFileInformationByHandle", "ReadFile", "LocalAlloc",
                                                 "LocalLock"};
    for (size_t failing = 1; failing <= calls.size(); ++failing) {
        SCOPED_TRACE(::testing::Message() << "call " << failing << ", " << calls[failing - 1]);
        NativePlatform::resetCalls();
        NativePlatform::failCall((unsigned)failing);
        problem = PictureProblem();
        const bool opened = openSourcePicture(wide(path), TransparencyChoice(), false, &picture, &problem);
        if (opened)
            closeSourcePicture(&picture);
        EXPECT_EQ(opened, problem.code == PICTURE_READ);
        EXPECT_EQ(opened, indispensable.count(calls[failing - 1]) == 0);
        const NativePlatform::Held held = NativePlatform::held();
        EXPECT_EQ(held.memoryBlocks + held.locks + held.files, 0);
    }
    NativePlatform::resetCalls();
}

TEST(ConverterFaults, AFailedPaletteWriteKeepsThePaletteThatWasThere)
{
    ScratchFolder scratch;
    const std::string path = scratch.path("picture.bmp"), palette = scratch.path("picture.kcf");
    writeFile(path, smallIndexedBmp());
    SourcePicture picture;
    PictureProblem problem;
    ASSERT_TRUE(openSourcePicture(wide(path), TransparencyChoice(), false, &picture, &problem));
    const std::vector<uint8_t> old(800, 0x5A);
    writeFile(palette, old);
    NativePlatform::resetCalls();
    ASSERT_EQ(writePalette(picture.colours, wide(palette), {}).code, WRITE_DONE);
    const std::vector<uint8_t> written = readFile(palette);
    ASSERT_EQ(written.size(), 800u);
    EXPECT_EQ(std::vector<uint8_t>(written.begin() + 32, written.begin() + 38),
              (std::vector<uint8_t>{30, 20, 10, 60, 50, 40}));  // red, green, blue of the two colours

    // Each write of the palette fails, or writes a byte short, in turn, as
    // on a full disk: the reason is the disk's, as the system gave it.
    const std::vector<std::string> calls = NativePlatform::callLog();
    for (size_t call = 1; call <= calls.size(); ++call) {
        if (calls[call - 1] != "WriteFile")
            continue;
        for (NativePlatform::Fault fault : {NativePlatform::FAULT_FAIL, NativePlatform::FAULT_SHORT_WRITE}) {
            SCOPED_TRACE(::testing::Message() << "call " << call << ", fault " << fault);
            writeFile(palette, old);
            NativePlatform::resetCalls();
            NativePlatform::failCall((unsigned)call, fault, ERROR_DISK_FULL);
            EXPECT_EQ(writePalette(picture.colours, wide(palette), {}).code, WRITE_DISK_FULL);
            EXPECT_EQ(readFile(palette), old);
            EXPECT_EQ(folderEntries(scratch.folder), (std::vector<std::string>{"picture.bmp", "picture.kcf"}));
        }
    }
    closeSourcePicture(&picture);
    NativePlatform::resetCalls();
}

}  // namespace
