// The LZH writer: what it writes is read back by the tests' own decoder
// (lzh_test_decoder.h) and by porvane's reader, file by file, and what it
// must refuse is refused before anything is written.
#include <gtest/gtest.h>

#include "../../host/lzh/huffman_lengths.h"
#include "../../host/lzh/lzh_reader.h"
#include "../../host/lzh/lzh_writer.h"
#include "../shared/doll_set.h"
#include "lzh_test_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const LzhLocalTime kWhen = {2024, 5, 17, 13, 45, 31};
const uint32_t kWhenStamp = 0x58B16DAF;  // 2024-05-17 13:45:30 in MS-DOS form, as jLHA writes it

// xorshift32: every bit of it random enough that no stretch repeats.
uint32_t nextRandom(uint32_t* state)
{
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

Bytes randomBytes(size_t size, uint32_t seed, int alphabet = 256)
{
    Bytes bytes(size);
    for (uint8_t& b : bytes)
        b = (uint8_t)('a' + nextRandom(&seed) % alphabet);
    return bytes;
}

Bytes configurationText()
{
    std::string text;
    for (int n = 0; n < 120; ++n)
        text += "#" + std::to_string(n) + ".99 part" + std::to_string(n % 17) + ".cel *" + std::to_string(n % 3) +
                " : 0 1 2 3 ; layer " + std::to_string(n) + "\n";
    return Bytes(text.begin(), text.end());
}

Bytes allByteValues()
{
    Bytes bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = (uint8_t)i;
    return bytes;
}

std::vector<LzhFileToPack> toPack(const std::vector<std::pair<std::string, Bytes>>& files)
{
    std::vector<LzhFileToPack> pack;
    for (const auto& file : files)
        pack.push_back({file.first, file.second.data(), file.second.size(), kWhen});
    return pack;
}

// Writes the files, reads them back with both decoders, and checks each:
// its name, time, bytes and the method the writer chose.
std::vector<TestLzhEntry> writeAndReadBack(const std::vector<LzhFileToPack>& files)
{
    Bytes archive;
    const LzhWriteResult written = writeLzhArchive(files.data(), files.size(), &archive);
    EXPECT_EQ(written.problem, LZH_OK) << "file " << written.file << " " << files[written.file].name;

    std::vector<TestLzhEntry> entries;
    EXPECT_EQ(testDecodeLzh(archive, &entries), "");
    LzhArchive ours;
    EXPECT_EQ(readLzhArchive(archive.data(), archive.size(), {1u << 24, 1u << 26}, &ours), LZH_OK);
    if (entries.size() != files.size() || ours.entries.size() != files.size()) {
        ADD_FAILURE() << entries.size() << " and " << ours.entries.size() << " entries read of " << files.size();
        return entries;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const Bytes bytes(files[i].bytes, files[i].bytes + files[i].size);
        EXPECT_EQ(entries[i].name, files[i].name);
        EXPECT_EQ(entries[i].data, bytes) << files[i].name;
        EXPECT_EQ(ours.entries[i].name, files[i].name);
        EXPECT_EQ(ours.entries[i].problem, LZH_OK) << files[i].name;
        EXPECT_EQ(ours.entries[i].data, bytes) << files[i].name;
    }
    return entries;
}

struct RoundTrip {
    const char* what;
    std::string name;
    Bytes bytes;
    const char* method;  // what the writer must choose
    size_t mostPacked;   // the compressed size must not pass this
    int leastBlocks;
};

TEST(LzhWriter, EachKindOfFileComesBackWholeAndSmall)
{
    // The compressed sizes allowed are about a tenth above jLHA's -lh5- of
    // the same bytes (given beside them).
    const RoundTrip rows[] = {
        {"an empty file", "empty.txt", {}, "-lh0-", 0, 0},
        {"one byte", "one.txt", {'x'}, "-lh0-", 1, 0},
        {"every byte value once", "bytes.bin", allByteValues(), "-lh0-", 256, 0},
        {"a palette's tail of 800 zero bytes", "tail.kcf", Bytes(800), "-lh5-", 12, 1},  // 11
        {"an 8-bit cel", "body.cel", dollCel8("body.cel", 160, 200, 1).bytes, "-lh5-", 1240, 1},  // 1124
        {"a configuration", "doll.cnf", configurationText(), "-lh5-", 920, 1},                   // 837
        {"200 KB of random bytes", "noise.bin", randomBytes(200000, 7), "-lh0-", 200000, 0},
        {"more codes than one block holds", "letters.txt", randomBytes(40000, 3, 16), "-lh5-", 24000, 2},  // 22834
        {"the longest name a header holds", std::string(229, 'n') + ".cel", Bytes(50, 'a'), "-lh5-", 50, 1},
    };
    for (const RoundTrip& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<LzhFileToPack> files = {{row.name, row.bytes.data(), row.bytes.size(), kWhen}};
        const std::vector<TestLzhEntry> entries = writeAndReadBack(files);
        if (entries.size() != 1)
            continue;
        EXPECT_EQ(entries[0].method, row.method);
        EXPECT_LE(entries[0].packedSize, row.mostPacked);
        EXPECT_GE(entries[0].blocks, row.leastBlocks);
        EXPECT_EQ(entries[0].dosStamp, kWhenStamp);
    }
}

TEST(LzhWriter, ASetKeepsItsOrderNamesAndTimes)
{
    // 人形.cel and ソ.kcf in Shift_JIS; ソ ends in 0x5C, a backslash.
    const std::vector<std::pair<std::string, Bytes>> set = {{"doll.cnf", configurationText()},
                                                            {"\x90\x6c\x8c\x60.cel", dollCel8("a", 40, 50, 2).bytes},
                                                            {"\x83\x5c.kcf", Bytes(800)},
                                                            {"old.txt", {'o'}},
                                                            {"far.txt", {'f'}}};
    std::vector<LzhFileToPack> files = toPack(set);
    files[3].modified = {1975, 6, 1, 12, 0, 0};   // before MS-DOS times: their first moment
    files[4].modified = {2200, 1, 1, 0, 0, 0};    // after them: their last
    const std::vector<TestLzhEntry> entries = writeAndReadBack(files);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].dosStamp, kWhenStamp);
    EXPECT_EQ(entries[3].dosStamp, 0x00210000u);  // 1980-01-01 00:00:00
    EXPECT_EQ(entries[4].dosStamp, 0xFF9FBF7Du);  // 2107-12-31 23:59:58
}

TEST(LzhWriter, RefusesWhatAnArchiveCannotHoldBeforeWriting)
{
    const uint8_t byte = 0;
    struct Refusal {
        const char* what;
        std::vector<std::string> names;
        LzhProblem problem;
        size_t file;
    };
    const Refusal rows[] = {
        {"no name", {""}, LZH_NAME_EMPTY, 0},
        {"a name past a header", {std::string(230, 'n') + ".cel"}, LZH_NAME_TOO_LONG, 0},
        {"a folder", {"a.cel", "set/b.cel"}, LZH_NAME_NOT_PLAIN, 1},
        {"a Windows folder", {"set\\b.cel"}, LZH_NAME_NOT_PLAIN, 0},
        {"a drive", {"c:b.cel"}, LZH_NAME_NOT_PLAIN, 0},
        {"the folder above", {".."}, LZH_NAME_NOT_PLAIN, 0},
        {"a tab", {"a\tb.cel"}, LZH_NAME_NOT_PLAIN, 0},
        {"a double-byte character cut short", {"a.ce\x83"}, LZH_NAME_NOT_PLAIN, 0},
        {"one name twice but for case", {"a.cel", "b.cel", "A.CEL"}, LZH_NAME_TWICE, 2},
    };
    for (const Refusal& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<LzhFileToPack> files;
        for (const std::string& name : row.names)
            files.push_back({name, &byte, 1, kWhen});
        Bytes archive = {1, 2, 3};
        const LzhWriteResult result = writeLzhArchive(files.data(), files.size(), &archive);
        EXPECT_EQ(result.problem, row.problem);
        EXPECT_EQ(result.file, row.file);
        EXPECT_TRUE(archive.empty());
    }

    // Sizes and counts: the bytes are never read, so a claim is enough.
    struct Limit {
        const char* what;
        std::vector<LzhFileToPack> files;
        LzhProblem problem;
        size_t file;
    };
    const Limit limits[] = {
        {"a 13th month", {{"a.cel", &byte, 1, {2024, 13, 1, 0, 0, 0}}}, LZH_TIME_NOT_A_DATE, 0},
        {"a 2 GiB file", {{"a.cel", &byte, 0x80000000u, kWhen}}, LZH_FILE_TOO_LARGE, 0},
        {"2 GiB in all", {{"a.cel", &byte, 0x40000000, kWhen}, {"b.cel", &byte, 0x40000000, kWhen}},
         LZH_ARCHIVE_TOO_LARGE, 1},
        {"65536 files", std::vector<LzhFileToPack>(65536, {"a.cel", &byte, 1, kWhen}), LZH_TOO_MANY_FILES, 65535},
    };
    for (const Limit& row : limits) {
        SCOPED_TRACE(row.what);
        Bytes archive;
        const LzhWriteResult result = writeLzhArchive(row.files.data(), row.files.size(), &archive);
        EXPECT_EQ(result.problem, row.problem);
        EXPECT_EQ(result.file, row.file);
    }
}

// Codes longer than 16 bits would be unreadable: a block whose counts follow
// the Fibonacci numbers makes a Huffman tree 29 deep.
TEST(LzhWriter, HuffmanCodesStayWithinSixteenBitsAndComplete)
{
    uint32_t frequencies[30];
    frequencies[0] = frequencies[1] = 1;
    for (int i = 2; i < 30; ++i)
        frequencies[i] = frequencies[i - 1] + frequencies[i - 2];
    uint8_t lengths[30];
    ASSERT_EQ(huffmanLengths(frequencies, 30, 16, lengths), 30);
    uint64_t kraft = 0;  // in units of 2^-16
    for (int i = 0; i < 30; ++i) {
        EXPECT_GE(lengths[i], 1);
        EXPECT_LE(lengths[i], 16);
        kraft += 1u << (16 - lengths[i]);
        if (i > 0)
            EXPECT_GE(lengths[i - 1], lengths[i]) << "a rarer symbol got a shorter code";
    }
    EXPECT_EQ(kraft, 1u << 16);
}

}
