// libFuzzer target: a BMP file as porvane-host converts it. The converter
// reads the file, refuses what it cannot read or a cel cannot hold, and
// hands the rest to CreatePicture.
//
// AddressSanitizer watches every read of the file and of the hand-over,
// whose pixel block is exactly as large as the converter says: a reader that
// let a short file through, or a block smaller than the rows the plug-in
// reads, is caught there. After every call: a refusal has a reason, a picture
// read has the size its headers say, an accepted picture is written (status
// 0) as a cel of exactly 32 + rowBytes x rows bytes, and nothing is held any
// more.
//
// Input: the BMP file.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "../../cel/cel_format.h"
#include "../../host/pictures/bmp_reader.h"
#include "../../host/handover/source_picture.h"
#include "../../host/pictures/read_picture.h"
#include "../native/native_test_support.h"
#include "fuzz_check.h"

namespace {

// Run-length data describes far more pixels than its size, and only
// run-length data does: every other kind of BMP holds its pixels. Pictures
// of up to MAX_READ_BYTES decoded are read, so that the run-length codes'
// moves and runs over large pictures are fuzzed; those of up to
// MAX_EXPORTED_BYTES also go on to the cel choice, the hand-over and
// CreatePicture, which hold two more copies of the pixels and write them
// out. The largest read takes under a second and, with AddressSanitizer's
// shadow, about 72 MB, well within a run's memory limit (scripts/test.sh).
const uint64_t MAX_READ_BYTES = 64 << 20;
const uint64_t MAX_EXPORTED_BYTES = 4 << 20;

std::string picturePath, celPath, registryPath;

// The next input finds the scratch folder as the first one did: empty.
void removeFilesMade()
{
    remove(picturePath.c_str());
    remove(celPath.c_str());
    remove(registryPath.c_str());
}

bool nothingHeld()
{
    NativePlatform::Held held = NativePlatform::held();
    return held.memoryBlocks == 0 && held.locks == 0 && held.files == 0 && held.registryKeys == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (picturePath.empty()) {
        static ScratchFolder scratch;  // removed at exit; palette mode stays off in its registry
        picturePath = scratch.path("picture.bmp");
        celPath = scratch.path("picture.cel");
        registryPath = scratch.path("registry");
    }
    startWithACleanNativeLayer();
    BmpLayout layout;
    PictureProblem problem;
    const bool fits = readBmpLayout(data, size, &layout, &problem) &&
                      celFit(layout.fileDepth <= 8 ? 8 : 32, layout.width, layout.rows) == CEL_FITS;
    if (fits && layout.pixelBytes > MAX_READ_BYTES)
        return 0;
    writeFile(picturePath, std::vector<uint8_t>(data, data + size));
    const std::wstring widePicturePath(picturePath.begin(), picturePath.end());

    if (fits && layout.pixelBytes > MAX_EXPORTED_BYTES) {
        DecodedPicture decoded;
        const std::string kind = std::to_string(layout.width) + " x " + std::to_string(layout.rows) + ", " +
                                 std::to_string(layout.fileDepth) + " bits, read only";
        if (readPicture(widePicturePath, &decoded, &problem))
            CHECK(decoded.width == layout.width && decoded.height == (int32_t)layout.rows &&
                      decoded.indices.size() + decoded.pixels.size() == (uint64_t)layout.width * layout.rows,
                  kind);
        else
            CHECK(problem.code != PICTURE_READ, kind);
        CHECK(nothingHeld(), kind);
        removeFilesMade();
        return 0;
    }

    SourcePicture picture;
    if (!openSourcePicture(widePicturePath, TransparencyChoice(), false, &picture, &problem)) {
        CHECK(problem.code != PICTURE_READ, "");
        CHECK(nothingHeld(), "after a refusal");
        removeFilesMade();
        return 0;
    }
    char path[MAX_PATH + 8] = "";
    celPath.copy(path, celPath.size());
    LONG status = CreatePicture(path, 0, &picture.handover.header, &picture.handover.bits, &picture.handover.info,
                                NULL, 0);
    closeSourcePicture(&picture);

    const std::string kind = std::to_string(picture.width) + " x " + std::to_string(picture.height) + ", " +
                             std::to_string(layout.fileDepth) + " bits";
    CHECK(status == EXPORT_OK, kind + ": status " + std::to_string(status));
    struct stat written;
    CHECK(stat(celPath.c_str(), &written) == 0 &&
              written.st_size == CEL_HEADER_BYTES + (int64_t)celRowBytes(picture.depth, picture.width) * picture.height,
          kind);
    CHECK(nothingHeld(), kind);
    removeFilesMade();
    return 0;
}
