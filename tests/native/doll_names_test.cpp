// The names of a KiSS set's files, made from a doll maker's names, and the
// order a folder's pictures stack in: tables of what was given and what the
// set's names and order become.
#include <gtest/gtest.h>

#include "../../host/doll/set_names.h"
#include "../../host/doll/stacking_order.h"
#include "../../host/system/path_names.h"

namespace {

// Names compared as bytes: the set's names are ASCII, and std::wstring's
// vector wmemcmp is one valgrind takes for reads past the end.
std::string bytes(const std::wstring& wide)
{
    std::string out;
    for (wchar_t c : wide)
        out += (uint32_t)c < 0x80 ? (char)c : '?';
    return out;
}

struct NameRow {
    std::wstring given;
    size_t layerNumber;     // a cel's; 0 for a file named once
    const char* extension;  // a file named once: its extension, the fallback "doll"
    std::string name;
    unsigned changes;
};

const unsigned KEPT = NAME_AS_GIVEN, ROMAJI = NAME_IN_ROMAJI, LEFT_OUT = NAME_LEFT_OUT, SHORT = NAME_SHORTENED,
               DISTINCT = NAME_MADE_DISTINCT, DEVICE = NAME_WINDOWS_DEVICE, NUMBERED = NAME_NUMBERED;

TEST(DollNames, EachNameIsShortAsciiAndDistinctInItsSet)
{
    // Each group is one set, named in turn.
    const std::vector<std::vector<NameRow>> sets = {
        {
            {L"ドレス", 1, nullptr, "doresu", ROMAJI},
            {L"リボン", 2, nullptr, "ribon", ROMAJI},
            {L"かみ", 3, nullptr, "kami", ROMAJI},
            {L"シャツ", 4, nullptr, "shatsu", ROMAJI},
            {L"ブーツ", 5, nullptr, "buutsu", ROMAJI},
            {L"ちゃ", 6, nullptr, "cha", ROMAJI},
            {L"っぱ", 7, nullptr, "ppa", ROMAJI},
            {L"マッチ", 8, nullptr, "matchi", ROMAJI},
            {L"ちょうちょ", 9, nullptr, "choucho", ROMAJI},
            {L"ウィッグ", 10, nullptr, "wiggu", ROMAJI},
            {L"ティアラ", 11, nullptr, "tiara", ROMAJI},
            {L"ジェル", 12, nullptr, "jeru", ROMAJI},
            {L"ｷｬｯﾌﾟ", 13, nullptr, "kyappu", ROMAJI},             // half-width, its own voiced marks
            {L"か\u3099っこう", 14, nullptr, "gakkou", ROMAJI},     // a combining voiced mark, as from a Mac
            {L"髪かざり", 15, nullptr, "kazari", ROMAJI | LEFT_OUT},
            {L"ドレス_赤", 16, nullptr, "doresu_2", ROMAJI | LEFT_OUT | DISTINCT},
            {L"01_ドレス", 17, nullptr, "01doresu", ROMAJI | SHORT},
            {L"01_ドレス", 18, nullptr, "01dore_2", ROMAJI | SHORT | DISTINCT},
            {L"03_体", 3, nullptr, "layer03", NUMBERED},
            {L"体", 19, nullptr, "layer19", NUMBERED},
            {L"__", 123, nullptr, "layer123", NUMBERED},
        },
        {
            {L"Top-1_B", 1, nullptr, "top-1_b", KEPT},
            {L"ＨＡＩＲ０２", 2, nullptr, "hair02", KEPT},
            {L"my dress!", 3, nullptr, "mydress", LEFT_OUT},
            {L"a__b", 4, nullptr, "a_b", LEFT_OUT},
            {L"DRESS", 5, nullptr, "dress", KEPT},
            {L"dress", 6, nullptr, "dress_2", DISTINCT},
            {L"front_hair_long", 7, nullptr, "fronthai", SHORT},
            {L"20240101_dress", 11, nullptr, "40101dre", SHORT},
            {L"CON", 8, nullptr, "con_2", DEVICE},
            {L"lpt1", 9, nullptr, "lpt1_2", DEVICE},
            {L"com10", 10, nullptr, "com10", KEPT},
        },
        {
            {L"人形.cnf", 0, ".cnf", "doll.cnf", NUMBERED},
            {L"C:\\dolls\\パレット.kcf", 0, ".kcf", "paretto.kcf", ROMAJI},
            {L"paretto", 1, nullptr, "parett_2", DISTINCT},  // its palette would be the shared one
            {L"doll", 2, nullptr, "doll", KEPT},              // doll.cnf is no cel's or palette's name
        },
        {
            {L"", 0, ".cnf", "doll.cnf", KEPT},
            {L"Doll.CNF", 0, ".cnf", "doll_2.cnf", DISTINCT},
        },
    };
    for (const std::vector<NameRow>& set : sets) {
        SetNames names;
        for (const NameRow& row : set) {
            SCOPED_TRACE(bytes(row.given) + " (" + std::to_string(row.layerNumber) + ") as " + row.name);
            const SetName made = row.extension == nullptr
                                     ? names.celStem(row.given, row.layerNumber)
                                     : names.fileName(row.given, std::wstring(row.extension, row.extension + 4), L"doll");
            EXPECT_EQ(bytes(made.name), row.name);
            EXPECT_EQ(made.changes, row.changes);
        }
    }
}

struct OrderRow {
    std::vector<std::wstring> names;
    std::vector<size_t> order;  // bottom first
    bool namesSayTheOrder;
};

TEST(DollNames, AFolderStacksByTheNumbersItsNamesStartWith)
{
    const std::vector<OrderRow> rows = {
        {{L"10_hair.png", L"2_dress.png", L"1_body.png"}, {2, 1, 0}, true},
        {{L"１０髪.png", L"２服.png", L"01_体.png"}, {2, 1, 0}, true},
        {{L"1_a.png", L"01_b.png", L"01_A.png"}, {2, 1, 0}, true},  // one number: by name
        {{L"100000000000000000000_y", L"99999999999999999999_x"}, {1, 0}, true},
        // Without a number on every name: by name, and the names do not say the order.
        {{L"靴.png", L"体.png", L"ドレス.png"}, {2, 1, 0}, false},
        {{L"2_b.png", L"B.png", L"a.png", L"10_c.png"}, {3, 0, 2, 1}, false},
        {{L"2\\a.png", L"1\\b.png"}, {0, 1}, false},  // the folders' numbers are not the names'
        {{L"体.png"}, {0}, true},
    };
    for (const OrderRow& row : rows) {
        SCOPED_TRACE(bytes(row.names[0]));
        bool say = !row.namesSayTheOrder;
        EXPECT_EQ(stackingOrder(row.names, &say), row.order);
        EXPECT_EQ(say, row.namesSayTheOrder);
    }
}

// A set made beside a dropped folder, or an archive beside a set's folder,
// is beside it only once the separators it ends with are gone.
TEST(DollNames, AFolderEndingInASeparatorIsTheFolder)
{
    const std::vector<std::pair<std::wstring, std::string>> rows = {
        {L"art\\layers\\", "art\\layers"},  // as completion types a folder
        {L"C:\\art\\my.layers//", "C:\\art\\my.layers"},
        {L"layers", "layers"},
        {L"C:\\", "C:\\"},
        {L"\\", "\\"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(bytes(withoutEndSeparators(row.first)), row.second) << row.second;
}

}  // namespace
