// The LZH reader: archives another program made (lzh-fixtures/, levels 0, 1
// and 2, -lh0- to -lh7-, a folder, a Shift_JIS name), and damaged ones:
// cut at every byte, a wrong CRC or sum, sizes no data can meet, methods and
// levels it does not read.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <functional>

#include "../../host/lzh/lzh_reader.h"
#include "../../host/lzh/lzh_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

const LzhReadLimits kRoomy = {1u << 24, 1u << 26};

Bytes readFixture(const std::string& name)
{
    Bytes bytes;
    FILE* file = fopen((std::string(PORVANE_LZH_FIXTURES) + "/" + name).c_str(), "rb");
    if (!file)
        return bytes;
    for (int c; (c = fgetc(file)) != EOF;)
        bytes.push_back((uint8_t)c);
    fclose(file);
    return bytes;
}

// The files the fixtures were made from (lzh-fixtures/README.md).
struct FixtureFiles {
    Bytes cnf, cel, kcf = Bytes(800);
    FixtureFiles()
    {
        std::string text;
        for (int n = 1; n <= 100; ++n)
            text += "line " + std::to_string(n) + " of a doll's configuration\n";
        cnf.assign(text.begin(), text.end());
        for (int i = 0; i < 2000; ++i)
            cel.push_back((uint8_t)((i % 251) ^ (i >> 5)));
    }
};

TEST(LzhReader, ReadsWhatAnotherArchiverMade)
{
    const FixtureFiles f;
    const LzhLocalTime when = {2024, 5, 17, 13, 45, 30};
    const uint32_t unixWhen = 1715953530;  // the same moment, in UTC
    struct Expected {
        std::string name;
        Bytes data;
    };
    struct Fixture {
        const char* file;
        const char* method;
        bool localTime;
        std::vector<Expected> entries;
    };
    const Fixture rows[] = {
        {"h0-lh5.lzh", "-lh5-", true, {{"doll.cnf", f.cnf}, {"body.cel", f.cel}, {"doll.kcf", f.kcf}}},
        {"h1-lh6.lzh", "-lh6-", true, {{"doll.cnf", f.cnf}, {"body.cel", f.cel}, {"doll.kcf", f.kcf}}},
        {"h2-lh7.lzh", "-lh7-", false, {{"doll.cnf", f.cnf}, {"body.cel", f.cel}, {"doll.kcf", f.kcf}}},
        // The folder's own entry (-lhd-) is passed over.
        {"h1-lh0-folder.lzh", "-lh0-", true, {{"set/readme.txt", Bytes(f.cnf.begin(), f.cnf.begin() + 1000)}}},
        {"h2-sjis-name.lzh", "-lh0-", false, {{"\x90\x6c\x8c\x60.cel", Bytes(f.cel.begin(), f.cel.begin() + 300)}}},
    };
    for (const Fixture& row : rows) {
        SCOPED_TRACE(row.file);
        const Bytes archive = readFixture(row.file);
        ASSERT_FALSE(archive.empty());
        LzhArchive read;
        EXPECT_EQ(readLzhArchive(archive.data(), archive.size(), kRoomy, &read), LZH_OK);
        ASSERT_EQ(read.entries.size(), row.entries.size());
        for (size_t i = 0; i < row.entries.size(); ++i) {
            const LzhEntry& e = read.entries[i];
            EXPECT_EQ(e.name, row.entries[i].name);
            EXPECT_STREQ(e.method, row.method);
            EXPECT_EQ(e.problem, LZH_OK);
            EXPECT_EQ(e.data, row.entries[i].data) << e.name;
            EXPECT_EQ(e.hasLocalTime, row.localTime);
            if (row.localTime)
                EXPECT_EQ(memcmp(&e.localTime, &when, sizeof when), 0);
            else
                EXPECT_EQ(e.unixTime, unixWhen);
        }
    }
}

const std::string kText = "#0.99 body.cel *0 : 0 1 2\n#1.99 dress.cel *0 : 0 1 2\n#2.99 hair.cel *0 : 0 1 2\n";

// Two entries of porvane's own: a compressed one and a stored one.
Bytes smallArchive(size_t* secondHeader)
{
    static const uint8_t stored[] = {1, 2, 3};
    const LzhFileToPack files[] = {{"doll.cnf", (const uint8_t*)kText.data(), kText.size(), {2024, 5, 17, 0, 0, 0}},
                                   {"b.cel", stored, sizeof stored, {2024, 5, 17, 0, 0, 0}}};
    Bytes archive;
    EXPECT_EQ(writeLzhArchive(files, 2, &archive).problem, LZH_OK);
    EXPECT_EQ(memcmp(&archive[2], "-lh5-", 5), 0);
    *secondHeader = archive.size() - 1 - sizeof stored - (24 + 5);
    return archive;
}

TEST(LzhReader, AnArchiveCutAnywhereSaysSoAndKeepsTheEntriesBefore)
{
    size_t second;
    const Bytes whole = smallArchive(&second);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes part(whole.begin(), whole.begin() + cut);
        LzhArchive read;
        const LzhProblem problem = readLzhArchive(part.data(), part.size(), kRoomy, &read);
        if (cut == 0) {
            EXPECT_EQ(problem, LZH_NOT_AN_ARCHIVE);
        } else if (cut == second || cut == whole.size() - 1) {  // ends between entries, with no end mark
            EXPECT_EQ(problem, LZH_OK);
            EXPECT_EQ(read.entries.size(), cut == second ? 1u : 2u);
        } else {
            EXPECT_EQ(problem, LZH_TRUNCATED);
            EXPECT_EQ(read.entries.size(), cut < second ? 0u : 1u);
            EXPECT_EQ(read.problemOffset, cut < second ? 0u : second);
        }
        for (const LzhEntry& e : read.entries)
            EXPECT_EQ(e.problem, LZH_OK);
    }
}

// A field of the level 0 header at `header` changed, its sum kept right.
void setField(Bytes* archive, size_t offset, const Bytes& value, size_t header = 0)
{
    std::copy(value.begin(), value.end(), archive->begin() + header + offset);
    uint8_t sum = 0;
    for (size_t i = header + 2; i < header + (*archive)[header] + 2; ++i)
        sum = (uint8_t)(sum + (*archive)[i]);
    (*archive)[header + 1] = sum;
}

TEST(LzhReader, DamageIsFoundAndNoClaimIsBelieved)
{
    struct Damage {
        const char* what;
        std::function<void(Bytes*, size_t second)> change;
        LzhReadLimits limits;
        LzhProblem archive;
        std::vector<LzhProblem> entries;
    };
    const Damage rows[] = {
        {"a stored byte changed", [](Bytes* a, size_t) { (*a)[a->size() - 2] ^= 1; }, kRoomy, LZH_OK,
         {LZH_OK, LZH_CRC_MISMATCH}},
        {"the first file's CRC", [](Bytes* a, size_t) { setField(a, 22 + 8, {0x12, 0x34}); }, kRoomy, LZH_OK,
         {LZH_CRC_MISMATCH, LZH_OK}},
        {"a header sum", [](Bytes* a, size_t) { (*a)[1] ^= 0x40; }, kRoomy, LZH_HEADER_DAMAGED, {}},
        // Refused before any of it counts against the caller's total.
        {"a size of 4 GiB from a few bytes", [](Bytes* a, size_t) { setField(a, 11, {0xFF, 0xFF, 0xFF, 0xFF}); },
         {~0ull, 0xFFFFFFFFull + 2}, LZH_OK, {LZH_DATA_DAMAGED, LZH_OK}},
        {"a size past the caller's limit", [](Bytes*, size_t) {}, {3, 1000}, LZH_OK,
         {LZH_ENTRY_TOO_LARGE, LZH_OK}},
        {"more in all than the caller's limit", [](Bytes*, size_t) {}, {1000, kText.size() + 2}, LZH_OK,
         {LZH_OK, LZH_TOTAL_TOO_LARGE}},
        {"a stored size that is not the data's", [](Bytes* a, size_t second) { setField(a, 11, {2}, second); },
         kRoomy, LZH_OK, {LZH_OK, LZH_DATA_DAMAGED}},
        {"an old method", [](Bytes* a, size_t) { setField(a, 2, {'-', 'l', 'h', '1', '-'}); }, kRoomy, LZH_OK,
         {LZH_METHOD_UNSUPPORTED, LZH_OK}},
        {"a header of level 3", [](Bytes* a, size_t) { setField(a, 20, {3}); }, kRoomy, LZH_HEADER_LEVEL_UNKNOWN,
         {}},
        {"a second header that is not one", [](Bytes* a, size_t second) { (*a)[second + 2] = 'x'; }, kRoomy,
         LZH_HEADER_DAMAGED, {LZH_OK}},
        {"not an archive at all", [](Bytes* a, size_t) { *a = Bytes(40, 'k'); }, kRoomy, LZH_NOT_AN_ARCHIVE, {}},
        {"a level 2 name that its header CRC does not cover",
         [](Bytes* a, size_t) {
             *a = readFixture("h2-lh7.lzh");
             (*a)[0x20] ^= 0x20;  // doll.cnf -> Doll.cnf
         },
         kRoomy, LZH_HEADER_DAMAGED, {}},
        {"a level 1 header CRC", [](Bytes* a, size_t) { *a = readFixture("h1-lh6.lzh"), (*a)[0x24] ^= 1; }, kRoomy,
         LZH_HEADER_DAMAGED, {}},
    };
    for (const Damage& row : rows) {
        SCOPED_TRACE(row.what);
        size_t second;
        Bytes archive = smallArchive(&second);
        row.change(&archive, second);
        LzhArchive read;
        EXPECT_EQ(readLzhArchive(archive.data(), archive.size(), row.limits, &read), row.archive);
        std::vector<LzhProblem> problems;
        for (const LzhEntry& e : read.entries) {
            problems.push_back(e.problem);
            EXPECT_EQ(e.data.size(), e.problem == LZH_OK ? e.size : 0u);
        }
        EXPECT_EQ(problems, row.entries);
    }
}

}
