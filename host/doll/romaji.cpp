#include "romaji.h"

#include <stddef.h>

#include <vector>

namespace {

// Katakana from U+30A1 (ァ) to U+30FA (ヺ) in code order; hiragana U+3041 to
// U+3096 is the same block 0x60 lower. NULL: no exact spelling (ヶ), or the
// sokuon, which acts on the kana after it. A small kana alone is spelled as
// its large one; after a kana it joins it (joinSmall).
const char32_t FIRST_KANA = 0x30A1, LAST_KANA = 0x30FA;
const char* const KANA[] = {
    "a",  "a",  "i",   "i",  "u",  "u",   "e",  "e",  "o",  "o",   // ァアィイゥウェエォオ
    "ka", "ga", "ki",  "gi", "ku", "gu",  "ke", "ge", "ko", "go",  // カガキギクグケゲコゴ
    "sa", "za", "shi", "ji", "su", "zu",  "se", "ze", "so", "zo",  // サザシジスズセゼソゾ
    "ta", "da", "chi", "ji", NULL, "tsu", "zu", "te", "de", "to",  // タダチヂッツヅテデト
    "do", "na", "ni",  "nu", "ne", "no",  "ha", "ba", "pa", "hi",  // ドナニヌネノハバパヒ
    "bi", "pi", "fu",  "bu", "pu", "he",  "be", "pe", "ho", "bo",  // ビピフブプヘベペホボ
    "po", "ma", "mi",  "mu", "me", "mo",  "ya", "ya", "yu", "yu",  // ポマミムメモャヤュユ
    "yo", "yo", "ra",  "ri", "ru", "re",  "ro", "wa", "wa", "i",   // ョヨラリルレロヮワヰ
    "e",  "o",  "n",   "vu", "ka", NULL,  "va", "vi", "ve", "vo",  // ヱヲンヴヵヶヷヸヹヺ
};
static_assert(sizeof KANA / sizeof *KANA == LAST_KANA - FIRST_KANA + 1, "one spelling for each katakana");

const char32_t HIRAGANA_TO_KATAKANA = 0x60, FIRST_HIRAGANA = 0x3041, LAST_HIRAGANA = 0x3096;
const char32_t SOKUON = 0x30C3, LONG_VOWEL = 0x30FC;

// The small kana that join the kana before them.
const char32_t JOINING_SMALL[] = U"ァィゥェォャュョ";

// Half-width katakana from U+FF66 (ｦ) to U+FF9D (ﾝ), as their full-width kana.
const char32_t FIRST_HALF_WIDTH = 0xFF66, LAST_HALF_WIDTH = 0xFF9D;
const char32_t HALF_WIDTH[] = U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
static_assert(sizeof HALF_WIDTH / sizeof *HALF_WIDTH - 1 == LAST_HALF_WIDTH - FIRST_HALF_WIDTH + 1,
              "one kana for each half-width katakana");

// A voiced mark makes these the next kana in the block (カ ガ), a
// semi-voiced mark the ones of ハ's row the kana after that (ハ バ パ).
const char32_t VOICED_NEXT[] = U"カキクケコサシスセソタチツテトハヒフヘホ";
const char32_t SEMI_VOICED_AFTER_NEXT[] = U"ハヒフヘホ";
const char32_t VOICED_U = 0x30F4;              // ウ voiced: ヴ
const char32_t FIRST_W = 0x30EF, LAST_W = 0x30F2, W_VOICED = 0x30F7 - 0x30EF;  // ワヰヱヲ voiced: ヷヸヹヺ

// Voiced and semi-voiced marks: combining, spacing, half-width.
bool isVoicedMark(char32_t c) { return c == 0x3099 || c == 0x309B || c == 0xFF9E; }
bool isSemiVoicedMark(char32_t c) { return c == 0x309A || c == 0x309C || c == 0xFF9F; }

// A character left out of the name, kept in the sequence so that it parts
// what stands either side of it (a sokuon before it doubles nothing).
const char32_t LEFT_OUT = 0;

bool contains(const char32_t* list, char32_t c)
{
    for (; *list != 0; ++list)
        if (*list == c)
            return true;
    return false;
}

// `kana` with a voiced or semi-voiced mark; LEFT_OUT where it takes none.
char32_t voiced(char32_t kana, bool semi)
{
    if (semi)
        return contains(SEMI_VOICED_AFTER_NEXT, kana) ? kana + 2 : LEFT_OUT;
    if (contains(VOICED_NEXT, kana))
        return kana + 1;
    if (kana == 0x30A6)  // ウ
        return VOICED_U;
    return kana >= FIRST_W && kana <= LAST_W ? kana + W_VOICED : LEFT_OUT;
}

char32_t asciiKept(char32_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        c -= 0xFF01 - 0x21;  // full-width ASCII
    if (c >= 'A' && c <= 'Z')
        return c + ('a' - 'A');
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ? c : LEFT_OUT;
}

// The name as kept ASCII, katakana (hiragana and half-width forms turned
// into it, voiced marks joined) and LEFT_OUT.
std::vector<char32_t> normalized(const std::wstring& name)
{
    std::vector<char32_t> out;
    out.reserve(name.size());
    for (wchar_t unit : name) {
        char32_t c = (char32_t)(uint32_t)unit;  // wchar_t is signed on some systems
        if (isVoicedMark(c) || isSemiVoicedMark(c)) {
            const char32_t joined = out.empty() ? LEFT_OUT : voiced(out.back(), isSemiVoicedMark(c));
            if (joined != LEFT_OUT)
                out.back() = joined;
            else
                out.push_back(LEFT_OUT);
            continue;
        }
        if (c >= FIRST_HIRAGANA && c <= LAST_HIRAGANA)
            c += HIRAGANA_TO_KATAKANA;
        else if (c >= FIRST_HALF_WIDTH && c <= LAST_HALF_WIDTH)
            c = HALF_WIDTH[c - FIRST_HALF_WIDTH];
        const bool kana = (c >= FIRST_KANA && c <= LAST_KANA) || c == LONG_VOWEL;
        out.push_back(kana ? c : asciiKept(c));
    }
    return out;
}

bool isVowel(char c) { return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o'; }

// A kana's spelling with the small kana after it: the i row takes ya, yu,
// yo and small vowels after a y (キャ kya, キェ kye), except after sh, ch
// and j (シャ sha, ジェ je); another kana's consonant takes the small kana's
// spelling for its vowel (ティ ti, テュ tyu, ファ fa); ウ and イ are the w
// and y they sound as (ウィ wi, イェ ye). Other pairs are spelled in turn.
std::string joinSmall(const std::string& kana, const std::string& small)
{
    if (kana.size() < 2 || !isVowel(kana.back())) {
        if (kana == "u" && small.size() == 1)
            return "w" + small;
        if (kana == "i" && small == "e")
            return "ye";
        return kana + small;
    }
    const std::string consonant = kana.substr(0, kana.size() - 1);
    if (kana.back() != 'i')
        return consonant + small;
    const std::string vowel = small.substr(small.size() - 1);
    if (consonant == "sh" || consonant == "ch" || consonant == "j")
        return consonant + vowel;
    return consonant + "y" + vowel;
}

}  // namespace

AsciiSpelling spellInAscii(const std::wstring& name)
{
    AsciiSpelling spelling;
    std::string& out = spelling.text;
    const std::vector<char32_t> characters = normalized(name);
    bool sokuon = false;  // a sokuon waits for the kana after it
    char lastVowel = 0;   // what a long-vowel mark repeats
    for (size_t i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        const bool kana = c >= FIRST_KANA && c <= LAST_KANA && KANA[c - FIRST_KANA] != NULL;
        if (c == SOKUON) {
            spelling.leftOut = spelling.leftOut || sokuon;  // two in a row: the first doubles nothing
            sokuon = true;
            lastVowel = 0;
            continue;
        }
        if (kana) {
            std::string syllable = KANA[c - FIRST_KANA];
            if (!contains(JOINING_SMALL, c) && i + 1 < characters.size() && contains(JOINING_SMALL, characters[i + 1]))
                syllable = joinSmall(syllable, KANA[characters[++i] - FIRST_KANA]);
            if (sokuon && !isVowel(syllable[0]) && syllable != "n")
                syllable = (syllable.compare(0, 2, "ch") == 0 ? "t" : syllable.substr(0, 1)) + syllable;
            else if (sokuon)
                spelling.leftOut = true;
            out += syllable;
            lastVowel = isVowel(syllable.back()) ? syllable.back() : 0;
            spelling.spelledKana = true;
            sokuon = false;
            continue;
        }
        spelling.leftOut = spelling.leftOut || sokuon;
        sokuon = false;
        if (c == LONG_VOWEL && lastVowel != 0) {
            out += lastVowel;
            continue;
        }
        lastVowel = 0;
        if (c == LEFT_OUT || c == LONG_VOWEL || (c >= FIRST_KANA && c <= LAST_KANA))
            spelling.leftOut = true;
        else
            out += (char)c;
    }
    spelling.leftOut = spelling.leftOut || sokuon;
    return spelling;
}
