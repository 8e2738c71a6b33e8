// The record of what porvane wrote into a set: lines a viewer skips, read
// back wherever they stand, and the judgement of each file the folder holds.
#include <gtest/gtest.h>

#include <string.h>

#include "../../host/doll/made_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

MadeFile found(const std::wstring& name, const Bytes& bytes)
{
    return {name, madeCrc(name, bytes.data(), bytes.size())};
}

// A configuration as the doll command writes one, with a Shift_JIS comment
// whose second byte is a backslash (ソ), and its record.
const std::string configurationText = "; \x83\x5C\x83\x74\x83\x67 layers\r\n(200,260)\r\n%doll.kcf\r\n"
                                      "#0 body.cel *0 :0\r\n$0 0,0\r\n";
const Bytes check = bytesOf("123456789");  // CRC-32 cbf43926, as every CRC-32 check lists it

std::string recorded()
{
    return withMadeRecord(configurationText, L"doll.cnf",
                          {found(L"body.cel", check), found(L"doll.kcf", Bytes(800, 7))});
}

TEST(MadeRecord, LinesAViewerSkipsAndReadsBack)
{
    const std::string cnf = recorded();
    ASSERT_EQ(cnf.compare(0, configurationText.size(), configurationText), 0);
    const std::string record = cnf.substr(configurationText.size());
    EXPECT_EQ(record.substr(0, record.find("\r\n") + 2), "; made by porvane-host: body.cel cbf43926\r\n");
    for (size_t at = 0, end; at < record.size(); at = end + 2) {
        end = record.find("\r\n", at);
        EXPECT_EQ(record[at], ';');
        EXPECT_LE(end - at, 255u);
    }
    const MadeRecord read = readMadeRecord((const uint8_t*)cnf.data(), cnf.size());
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].name, L"body.cel");
    EXPECT_EQ(read[0].crc, 0xCBF43926u);
    EXPECT_EQ(read[2].name, L"doll.cnf");
    EXPECT_EQ(standingOf(read, found(L"DOLL.CNF", bytesOf(cnf))), RECORDED_AS_IS);
}

TEST(MadeRecord, AConfigurationChangedAnywhereIsEdited)
{
    const std::string cnf = recorded();
    const size_t own = cnf.rfind("; made");
    struct Row {
        const char* title;
        std::string bytes;
        FileStanding standing;
        size_t recordLines;
    } rows[] = {
        {"as written", cnf, RECORDED_AS_IS, 3},
        {"a position changed", std::string(cnf).replace(cnf.find("0,0"), 3, "4,0"), RECORDED_BUT_CHANGED, 3},
        {"a line added after the record", cnf + "#1 hat.cel\r\n", RECORDED_BUT_CHANGED, 3},
        {"an editor's line ends", [&] {
             std::string lf;
             for (char c : cnf)
                 if (c != '\r')
                     lf += c;
             return lf;
         }(), RECORDED_BUT_CHANGED, 3},
        {"another file's recorded CRC changed", std::string(cnf).replace(cnf.find("cbf43926"), 1, "d"), RECORDED_BUT_CHANGED, 3},
        {"its own line's CRC changed",
         std::string(cnf).replace(cnf.size() - 3, 1, cnf[cnf.size() - 3] == '0' ? "1" : "0"), RECORDED_BUT_CHANGED, 3},
        {"its own line taken out", cnf.substr(0, own), NOT_RECORDED, 2},
        {"no record", configurationText, NOT_RECORDED, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        const MadeRecord read = readMadeRecord((const uint8_t*)row.bytes.data(), row.bytes.size());
        EXPECT_EQ(read.size(), row.recordLines);
        EXPECT_EQ(standingOf(read, found(L"doll.cnf", bytesOf(row.bytes))), row.standing);
    }
}

TEST(MadeRecord, OnlyWholeRecordLinesCount)
{
    const char* lines[] = {
        "; made by porvane-host: body.cel CBF43926",    // digits as the writer never writes them
        "; made by porvane-host: body.cel cbf4392",     // seven digits
        "; made by porvane-host: body.cel cbf43926 x",  // more after them
        "; made by porvane-host: body.celcbf43926",     // no space
        "; made by porvane-host:  cbf43926",            // no name
        "; made by porvane-host: \x8A\xE7.cel cbf43926",  // 顔.cel: not ASCII
        ";made by porvane-host: body.cel cbf43926",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        const std::string cnf = configurationText + line + "\r\n";
        EXPECT_TRUE(readMadeRecord((const uint8_t*)cnf.data(), cnf.size()).empty());
    }
    // Names that cannot stand in a line are left out of the record.
    const std::string cnf =
        withMadeRecord("(1,1)", L"doll.cnf", {{L"\x9854.cel", 1}, {L"two words.cel", 2}, {std::wstring(300, L'a'), 3}});
    const MadeRecord read = readMadeRecord((const uint8_t*)cnf.data(), cnf.size());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, L"doll.cnf");
    EXPECT_EQ(cnf.compare(0, 7, "(1,1)\r\n"), 0);  // the text's last line ended before the record
}

TEST(MadeRecord, WhatANewSetDoesToTheFilesThere)
{
    const Bytes cel = check, celEdited = bytesOf("123456780"), other = bytesOf("a palette of hers");
    const MadeRecord old = {found(L"body.cel", cel), found(L"hat.cel", cel), found(L"dress.cel", cel)};
    const std::vector<MadeFile> made = {found(L"body.cel", bytesOf("new body")), found(L"skirt.kcf", other),
                                        found(L"doll.cnf", bytesOf("new"))};
    const std::vector<MadeFile> there = {
        found(L"BODY.CEL", cel),           // the old set's, untouched: replaced quietly
        found(L"hat.cel", cel),            // the old set's, untouched, left out of the new one: removed
        found(L"dress.cel", celEdited),    // the old set's, edited, left out: stays where it is
        found(L"skirt.kcf", other),        // not the old set's, but the very bytes that replace it
        found(L"doll.cnf", bytesOf("hers")),  // not the old set's: kept
    };
    const SetChanges changes = planSetChanges(old, made, there);
    EXPECT_EQ(changes.keep, std::vector<std::wstring>{L"doll.cnf"});
    EXPECT_EQ(changes.remove, std::vector<std::wstring>{L"hat.cel"});

    const std::vector<MadeFile> edited = {found(L"body.cel", celEdited)};
    EXPECT_EQ(planSetChanges(old, made, edited).keep, std::vector<std::wstring>{L"body.cel"});
}

}  // namespace
