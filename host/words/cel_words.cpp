#include "cel_words.h"
#include "messages.h"
#include "problem_words.h"

#include "../../cel/cel_format.h"

static std::wstring noteInWords(const CelNote& note)
{
    switch (note.kind) {
    case NOTE_SWAPPED: return text(MSG_NOTE_SWAPPED, {number(note.number)});
    case NOTE_MOVED: return text(MSG_NOTE_MOVED, {number(note.number)});
    case NOTE_CORNER_ENTRY: return text(MSG_NOTE_CORNER_ENTRY, {number(note.number)});
    case NOTE_CORNER_COLOUR: return text(MSG_NOTE_CORNER_COLOUR);
    case NOTE_CORNERS_DIFFER: return text(MSG_NOTE_CORNERS_DIFFER);
    case NOTE_PARTLY_TRANSPARENT: return text(MSG_NOTE_PARTLY_TRANSPARENT, {number(note.number), number(note.second)});
    case NOTE_BACKGROUND_CLEARED:
        return note.second == 0 ? text(MSG_NOTE_BACKGROUND_CLEARED, {number(note.number)})
                                : text(MSG_NOTE_BACKGROUND_CLEARED_SOME_SHOW, {number(note.number), number(note.second)});
    }
    return L"";
}

std::wstring inWords(const std::vector<CelNote>& notes)
{
    std::wstring words;
    for (const CelNote& note : notes)
        words = words.empty() ? noteInWords(note) : text(MSG_NOTES_JOINED, {words, noteInWords(note)});
    return words;
}

std::wstring describeCel(int depth, int32_t width, int32_t height, bool transparent)
{
    const std::wstring across = number(width), down = number(height);
    switch (depth) {
    case 4: return text(MSG_CEL_4_BIT, {across, down});
    case 8: return text(MSG_CEL_8_BIT, {across, down});
    case PALETTE_STRIP_DEPTH: return text(MSG_KISS_PALETTE_STRIP, {number(KISS_PALETTE_COLOURS)});
    default: return text(transparent ? MSG_CEL_FULL_COLOUR_TRANSPARENT : MSG_CEL_FULL_COLOUR, {across, down});
    }
}

std::wstring describeCel(const SourcePicture& picture)
{
    return describeCel(picture.depth, picture.width, picture.height, picture.transparent);
}

std::wstring sharedPaletteLine(const std::wstring& path, size_t partColours, size_t chosen, bool exact,
                               const WriteProblem& written)
{
    if (written.code != WRITE_DONE)
        return text(MSG_SHARED_PALETTE_NOT_WRITTEN, {path, inWords(written)});
    if (exact)
        return text(MSG_SHARED_PALETTE_EXACT, {path, number((long long)partColours)});
    return text(MSG_SHARED_PALETTE_REDUCED, {path, number((long long)partColours), number((long long)chosen)});
}
