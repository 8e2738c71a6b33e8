#include "set_names.h"

#include <algorithm>

#include "romaji.h"
#include "../kiss_files/kiss_names.h"
#include "../system/path_names.h"

namespace {

const size_t STEM_CHARACTERS = KISS_NAME_BASE_CHARACTERS;  // before the extension, as viewers and their archives need
const size_t KEPT_AFTER_NUMBER = 3;  // characters of the rest that a long leading number leaves
const char NUMBERED_PREFIX[] = "layer";

bool isSeparator(char c) { return c == '-' || c == '_'; }

bool hasLetter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// `text` with each run of separators made its first and none at either end;
// true when that took any out.
bool tidySeparators(std::string* text)
{
    std::string tidy;
    for (size_t i = 0; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (isSeparator(c) && (tidy.empty() || isSeparator(tidy.back())))
            continue;
        tidy += c;
    }
    while (!tidy.empty() && isSeparator(tidy.back()))
        tidy.pop_back();
    const bool changed = tidy.size() != text->size();
    *text = tidy;
    return changed;
}

// `text` in at most `most` characters: separators out from the left while
// that is not enough, then the end cut. A leading number stays whole where
// that leaves three characters of the rest, else its last digits stay (a
// date: "20240101_dress" becomes "40101dre"). Never a separator last.
std::string shortened(std::string text, size_t most)
{
    for (size_t at = 0; text.size() > most && at < text.size();)
        if (isSeparator(text[at]))
            text.erase(at, 1);
        else
            ++at;
    if (text.size() > most) {
        size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
            ++digits;
        const size_t rest = text.size() - digits;
        const size_t keptRest = std::min(rest, std::max(most - std::min(digits, most), std::min(KEPT_AFTER_NUMBER, most)));
        const size_t keptDigits = most - keptRest;
        text = text.substr(digits - keptDigits, keptDigits) + text.substr(digits, keptRest);
    }
    while (!text.empty() && isSeparator(text.back()))
        text.pop_back();
    return text;
}

bool isWindowsDevice(const std::string& stem)
{
    static const char* const DEVICES[] = {"con", "prn", "aux", "nul"};
    for (const char* device : DEVICES)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::string lowercaseAscii(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c >= L'A' && c <= L'Z' ? (char)(c + ('a' - 'A')) : (char)c;
    return out;
}

std::wstring widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The readable stem of `given`, with the changes that made it; empty when
// no letter is left.
std::string readableStem(const std::wstring& given, unsigned* changes)
{
    AsciiSpelling spelling = spellInAscii(given);
    const bool tidied = tidySeparators(&spelling.text);
    if (!hasLetter(spelling.text))
        return "";
    if (spelling.spelledKana)
        *changes |= NAME_IN_ROMAJI;
    if (spelling.leftOut || tidied)
        *changes |= NAME_LEFT_OUT;
    if (spelling.text.size() > STEM_CHARACTERS) {
        *changes |= NAME_SHORTENED;
        return shortened(spelling.text, STEM_CHARACTERS);
    }
    return spelling.text;
}

}  // namespace

std::string SetNames::distinct(const std::string& stem, const std::string* extensions, size_t count, unsigned* changes)
{
    const bool device = isWindowsDevice(stem);
    bool taken = false;
    for (size_t n = 1;; ++n) {
        std::string candidate = stem;
        if (n > 1) {
            const std::string suffix = "_" + std::to_string(n);
            candidate = shortened(stem, STEM_CHARACTERS - std::min(suffix.size(), STEM_CHARACTERS)) + suffix;
        }
        if (n == 1 && device)
            continue;
        bool free = true;
        for (size_t e = 0; e < count; ++e)
            free = free && taken_.count(candidate + extensions[e]) == 0;
        if (!free) {
            taken = true;
            continue;
        }
        for (size_t e = 0; e < count; ++e)
            taken_.insert(candidate + extensions[e]);
        if (device)
            *changes |= NAME_WINDOWS_DEVICE;
        if (taken)
            *changes |= NAME_MADE_DISTINCT;
        return candidate;
    }
}

SetName SetNames::celStem(const std::wstring& layerName, size_t layerNumber)
{
    SetName out;
    std::string stem = readableStem(layerName, &out.changes);
    if (stem.empty()) {
        const std::string number = (layerNumber < 10 ? "0" : "") + std::to_string(layerNumber);
        const size_t prefix = STEM_CHARACTERS - std::min(number.size(), STEM_CHARACTERS);
        stem = std::string(NUMBERED_PREFIX).substr(0, prefix) + number.substr(0, STEM_CHARACTERS);
        out.changes = NAME_NUMBERED;
    }
    // A cel's own palette shares its stem: both names are the layer's.
    const std::string extensions[] = {KISS_CEL_EXTENSION, KISS_PALETTE_EXTENSION};
    out.name = widened(distinct(stem, extensions, 2, &out.changes));
    return out;
}

SetName SetNames::fileName(const std::wstring& given, const std::wstring& extension, const std::wstring& fallback)
{
    SetName out;
    std::string stem = given.empty() ? "" : readableStem(nameWithoutExtension(given), &out.changes);
    if (stem.empty()) {
        stem = shortened(spellInAscii(fallback).text, STEM_CHARACTERS);
        out.changes = given.empty() ? NAME_AS_GIVEN : NAME_NUMBERED;
    }
    const std::string ending = lowercaseAscii(extension);
    out.name = widened(distinct(stem, &ending, 1, &out.changes)) + extension;
    return out;
}
