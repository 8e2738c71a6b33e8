// libFuzzer target: a doll's names, as the doll command names a set. The
// input is UTF-16 units, little-endian, the names parted by a 0 unit: the
// first is the configuration's name, the second the shared palette's, the
// rest the layers', bottom first; every name is also a file of a folder to
// be stacked.
//
// After it: every name of the set is one to eight lowercase letters, digits,
// '-' and '_' before its extension, holds a letter, has no separator at
// either end, is no device's name and no other file's (a cel's stem stands
// for its cel and its palette); a name said to be as given is the given
// name in lowercase where that was ASCII; the stacking order is each index
// once, by number exactly when every name starts with a digit.
#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "../../host/doll/set_names.h"
#include "../../host/doll/stacking_order.h"
#include "fuzz_check.h"

namespace {

const size_t MOST_NAMES = 64;  // a run's inputs stay small and fast

std::string ascii(const std::wstring& wide)
{
    std::string out;
    for (wchar_t c : wide)
        out += (uint32_t)c < 0x80 ? (char)c : '?';
    return out;
}

bool isSeparator(char c) { return c == '-' || c == '_'; }

void checkStem(const std::string& stem, const std::string& detail)
{
    CHECK(!stem.empty() && stem.size() <= 8, detail);
    CHECK(std::all_of(stem.begin(), stem.end(),
                      [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || isSeparator(c); }),
          detail);
    CHECK(std::any_of(stem.begin(), stem.end(), [](char c) { return c >= 'a' && c <= 'z'; }), detail);
    CHECK(!isSeparator(stem.front()) && !isSeparator(stem.back()), detail);
    CHECK(stem != "con" && stem != "prn" && stem != "aux" && stem != "nul", detail);
    CHECK(!(stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '1' &&
            stem[3] <= '9'),
          detail);
}

// Where the given name is ASCII, a name as given is that name in lowercase.
void checkAsGiven(const std::wstring& given, const std::string& stem, unsigned changes, const std::string& detail)
{
    const bool asciiGiven = std::all_of(given.begin(), given.end(), [](wchar_t c) { return (uint32_t)c < 0x80; });
    CHECK(!(asciiGiven && (changes & NAME_IN_ROMAJI)), detail);
    if (!asciiGiven || changes != NAME_AS_GIVEN)
        return;
    std::string lower = ascii(given);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? (char)(c + ('a' - 'A')) : c;
    CHECK(lower == stem, detail);
}

void claim(std::set<std::string>* files, const std::string& name, const std::string& detail)
{
    CHECK(files->insert(name).second, detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> given(1);
    for (size_t at = 0; at + 1 < size && given.size() <= MOST_NAMES; at += 2) {
        const wchar_t unit = (wchar_t)(data[at] | data[at + 1] << 8);
        if (unit == 0)
            given.emplace_back();
        else
            given.back() += unit;
    }

    SetNames names;
    std::set<std::string> files;
    const unsigned ALL = NAME_IN_ROMAJI | NAME_LEFT_OUT | NAME_SHORTENED | NAME_MADE_DISTINCT | NAME_WINDOWS_DEVICE |
                         NAME_NUMBERED;
    for (size_t i = 0; i < given.size(); ++i) {
        const std::string detail = "name " + std::to_string(i) + ": " + ascii(given[i]);
        SetName made;
        std::string stem;
        if (i < 2) {
            const std::wstring extension = i == 0 ? L".cnf" : L".kcf";
            made = names.fileName(given[i], extension, L"doll");
            const std::string name = ascii(made.name);
            CHECK(name.size() > 4 && name.compare(name.size() - 4, 4, ascii(extension)) == 0, detail + " as " + name);
            stem = name.substr(0, name.size() - 4);
            claim(&files, name, detail + " as " + name);
        } else {
            made = names.celStem(given[i], i - 1);
            stem = ascii(made.name);
            claim(&files, stem + ".cel", detail + " as " + stem);
            claim(&files, stem + ".kcf", detail + " as " + stem);
        }
        checkStem(stem, detail + " as " + stem);
        CHECK((made.changes & ~ALL) == 0, detail);
        CHECK(!(made.changes & NAME_NUMBERED) || !(made.changes & (NAME_IN_ROMAJI | NAME_LEFT_OUT | NAME_SHORTENED)),
              detail);
        // A file's given name is taken apart first: only a bare one is compared.
        if (!(made.changes & NAME_NUMBERED) && !given[i].empty() &&
            (i >= 2 || given[i].find_first_of(L"\\/:.") == std::wstring::npos))
            checkAsGiven(given[i], stem, made.changes, detail + " as " + stem);
    }

    bool byNumber = false;
    const std::vector<size_t> order = stackingOrder(given, &byNumber);
    std::vector<size_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        CHECK(sorted[i] == i, "the order is not each index once");
    const bool allNumbered = std::all_of(given.begin(), given.end(), [](const std::wstring& name) {
        // The file name starts after the last separator, or after a drive's colon.
        const size_t separator = name.find_last_of(L"\\/");
        const size_t start = separator != std::wstring::npos ? separator + 1 : name.size() >= 2 && name[1] == L':' ? 2 : 0;
        const uint32_t first = start < name.size() ? (uint32_t)name[start] : 0;
        return (first >= '0' && first <= '9') || (first >= 0xFF10 && first <= 0xFF19);
    });
    CHECK(byNumber == (allNumbered || given.size() < 2), "the order says the names say it wrongly");
    return 0;
}
