// libFuzzer target: the LZH reader over any bytes, then the writer over
// files made of the same bytes, read back.
//
// The reader gets the input as an archive, with limits of 1 MB an entry and
// 4 MB in all, so that a run's memory stays flat whatever sizes the headers
// claim. AddressSanitizer watches every read of the input. After it: an
// entry read whole holds exactly the size its header gives, any other holds
// nothing, and a problem lies within the input.
//
// The writer gets the input cut into one to four files (the first byte says
// how many, the rest is shared between them), packs them, and the reader
// must give back every name and byte, with the archive no larger than the
// files stored as they are.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "../../host/lzh/lzh_reader.h"
#include "../../host/lzh/lzh_writer.h"
#include "fuzz_check.h"

namespace {

const LzhReadLimits kLimits = {1u << 20, 4u << 20};

void readAnyBytes(const uint8_t* data, size_t size)
{
    LzhArchive archive;
    const LzhProblem problem = readLzhArchive(data, size, kLimits, &archive);
    CHECK(problem == archive.problem, "");
    CHECK(archive.problemOffset <= size, std::to_string(archive.problemOffset));
    for (const LzhEntry& e : archive.entries)
        CHECK(e.data.size() == (e.problem == LZH_OK ? e.size : 0), e.name + ": " + std::to_string(e.problem));
}

void writeAndReadBack(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    const size_t count = 1 + data[0] % 4, share = (size - 1) / count;
    std::vector<LzhFileToPack> files;
    uint64_t stored = 1;
    for (size_t i = 0; i < count; ++i) {
        const size_t bytes = i + 1 < count ? share : size - 1 - share * i;
        files.push_back({"part" + std::to_string(i) + ".cel", data + 1 + share * i, bytes, {2024, 5, 17, 12, 0, 0}});
        stored += 24 + files.back().name.size() + bytes;
    }
    std::vector<uint8_t> archive;
    const LzhWriteResult written = writeLzhArchive(files.data(), files.size(), &archive);
    CHECK(written.problem == LZH_OK, std::to_string(written.problem));
    CHECK(archive.size() <= stored, std::to_string(archive.size()) + " > " + std::to_string(stored));

    LzhArchive read;
    CHECK(readLzhArchive(archive.data(), archive.size(), kLimits, &read) == LZH_OK, "");
    CHECK(read.entries.size() == count, std::to_string(read.entries.size()));
    for (size_t i = 0; i < count; ++i) {
        const LzhEntry& e = read.entries[i];
        CHECK(e.problem == LZH_OK && e.name == files[i].name, files[i].name + ": " + std::to_string(e.problem));
        CHECK(e.data.size() == files[i].size &&
                  (files[i].size == 0 || memcmp(e.data.data(), files[i].bytes, files[i].size) == 0),
              files[i].name);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readAnyBytes(data, size);
    writeAndReadBack(data, size);
    return 0;
}
