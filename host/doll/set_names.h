// The names of the files of a KiSS set, made from the names a doll maker
// gave: each layer's name for its cel (and the cel's own palette, which
// shares the cel's stem), the names given for the configuration and the
// shared palette.
//
// A name in a set is at most eight lowercase ASCII letters, digits, '-' and
// '_' before its extension, as viewers and the archives dolls travel in
// need. It keeps what the given name has of these and its kana in romaji
// (romaji.h), with runs of '-' and '_' made one and none at either end. It
// holds a letter: what has none (a layer named 体, or 03_体) is named by the
// layer's number ("layer03") or, for a file named once, by a default. A
// name too long loses its separators from the left first, then its end, so
// that a leading number stays ("01_doresu" becomes "01doresu"), or of a
// number too long for three more characters, its last digits. A name taken
// already in the set, compared without regard to case as Windows and
// viewers compare, or one Windows keeps for a device (con, prn, aux, nul,
// com1 to com9, lpt1 to lpt9), gets "_2", "_3", ... in its last characters.
//
// Each name comes with why it is not the name given, so that the doll
// command can say to what and why; letters lowercased and full-width forms
// made ASCII are not a change worth saying.
#ifndef PORVANE_SET_NAMES_H
#define PORVANE_SET_NAMES_H

#include <stddef.h>

#include <set>
#include <string>

// Why a name in the set differs from the name given: bits, any of them together.
enum NameChange : unsigned {
    NAME_AS_GIVEN = 0,
    NAME_IN_ROMAJI = 1u << 0,       // kana spelled in romaji
    NAME_LEFT_OUT = 1u << 1,        // characters left out: kanji, other scripts, spaces, punctuation
    NAME_SHORTENED = 1u << 2,       // cut to eight characters
    NAME_MADE_DISTINCT = 1u << 3,   // an earlier file of the set had the name: a number added
    NAME_WINDOWS_DEVICE = 1u << 4,  // a name Windows keeps for a device: a number added
    NAME_NUMBERED = 1u << 5,        // nothing readable was left: the layer's number, or the default;
                                    // the given name's other changes are not said then
};

struct SetName {
    std::wstring name;                 // a cel's stem, without extension; a file's name with its extension
    unsigned changes = NAME_AS_GIVEN;  // NameChange bits
};

// Hands out the names of one set, each distinct from those handed out
// before: the first to ask keeps a name, so ask for the configuration's
// and the shared palette's before the cels'.
class SetNames {
public:
    // The stem of a layer's cel and of its own palette: `layerName` is the
    // layer's name (a picture file's without its folder and extension);
    // `layerNumber`, the layer's place in the stack from 1 at the bottom,
    // which no two layers share, names it when nothing readable is left.
    SetName celStem(const std::wstring& layerName, size_t layerNumber);

    // A file named once in the set: the configuration, the shared palette.
    // `given` is the name the doll maker gave, with or without a folder and
    // an extension (the file gets `extension`, ".cnf" or ".kcf"), or empty
    // when none was given; `fallback`, a short lowercase ASCII word such as
    // "doll", names it when none was given or nothing readable is left.
    SetName fileName(const std::wstring& given, const std::wstring& extension, const std::wstring& fallback);

private:
    // `stem`, or where one of its names (stem + each extension) is taken or
    // it is a device's name, the first free stem with a number added.
    std::string distinct(const std::string& stem, const std::string* extensions, size_t count, unsigned* changes);

    std::set<std::string> taken_;  // every name handed out, with its extension, in lowercase
};

#endif
