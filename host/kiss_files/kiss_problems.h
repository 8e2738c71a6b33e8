// What can be wrong with a KiSS doll, as codes: the readers of cels and
// palettes return one when a file cannot be used, the configuration reader
// keeps one for each line it cannot read, and the check (kiss_check.h)
// gives a list of findings. No words: the converter's message table says
// each code to the doll maker, with the numbers the code carries (listed
// beside it as [first, second, third]; the rest are 0).
//
// Every code has one severity: what a viewer does with the doll.
#ifndef PORVANE_KISS_PROBLEMS_H
#define PORVANE_KISS_PROBLEMS_H

#include <stdint.h>

#include <string>

enum KissProblem {
    KISS_FINE = 0,

    // A cel or palette file (readers, and the check for each file).
    KISS_FILE_MISSING,             // the folder or archive has no file of that name
    KISS_FILE_UNREADABLE,          // it is there but could not be read
    KISS_FILE_TRUNCATED,           // [bytes its header or size needs, bytes there]
    KISS_CEL_IS_NOT_A_CEL,         // a KiSS file, but not a cel: [its mark]
    KISS_CEL_UNKNOWN_DEPTH,        // [bits per pixel]: not 4, 8 or 32 (24 is porvane's own)
    KISS_CEL_EMPTY,                // [width, height], one of them 0
    KISS_PALETTE_IS_NOT_A_PALETTE, // a KiSS file, but not a palette: [its mark]
    KISS_PALETTE_UNKNOWN_DEPTH,    // [bits per colour]: not 12 or 24
    KISS_PALETTE_NO_COLOURS,       // the header says 0 colours a group

    // Lines of the configuration ([] numbers; the finding has the line).
    KISS_LINE_TOO_LONG,            // [bytes]: 256 or more, which viewers' line buffers cut
    KISS_PLAYFIELD_UNREADABLE,     // not (WIDTH,HEIGHT) of two numbers from 1
    KISS_BORDER_UNREADABLE,        // not [ and a colour number
    KISS_CEL_LINE_UNREADABLE,      // no object number, no file name, or a part not of the form
    KISS_OBJECT_NUMBER_TOO_LARGE,  // [object number, largest allowed]
    KISS_FIX_TOO_LARGE,            // [fix, largest allowed]
    KISS_SET_OUT_OF_RANGE,         // [set number]: sets are 0 to 9
    KISS_NO_SETS_AFTER_COLON,      // ':' alone: one viewer shows the cel in no set, others in all
    KISS_SET_LINE_UNREADABLE,      // [position number on the line, from 1; 0: the palette group]
    KISS_TOO_MANY_SETS,            // [set lines, most allowed]
    KISS_FKISS_SYNTAX,             // [character where it goes wrong, from 1]: parentheses or quotes
                                   // that do not close, or text that is no command
    KISS_FKISS_UNKNOWN_COMMAND,    // [character where the command starts, from 1]
    KISS_FKISS_NOT_LOWERCASE,      // [character where the command starts, from 1]
    KISS_FKISS_BEFORE_EVENT_HANDLER,  // an FKiSS line above ;@EventHandler, which viewers skip
    KISS_CEL_AFTER_EVENT_HANDLER,  // a cel line below ;@EventHandler

    // The doll as a whole (the check).
    KISS_NAME_NOT_ASCII,           // [character of the name, from 1]: viewers leave the line out
    KISS_NAME_CHARACTER,           // [character of the name, from 1]: a character KiSS names do not use
    KISS_NAME_NOT_8_3,             // [characters before the dot, after it]: more than 8 and 3
    KISS_NAME_CASE_DIFFERS,        // the file's own name differs in upper and lower case only
    KISS_NO_CELS,                  // the configuration names no cel at all
    KISS_NO_PLAYFIELD,             // [width, height viewers take instead]
    KISS_PLAYFIELD_TOO_LARGE,      // [width, height]
    KISS_NO_SUCH_PALETTE,          // [palette number, palettes listed]
    KISS_COLOURS_BEYOND_PALETTE,   // [highest colour number in the cel, colours in its palette]
    KISS_PALETTE_COLOUR_COUNT,     // [colours a group]: not 16 or 256, which some viewers refuse
    KISS_PALETTE_GROUP_MISSING,    // [set, palette group, groups the palette has]
    KISS_NO_SET_LINES,             // no $ line: every object sits in the top left corner
    KISS_SET_SHORT_OF_POSITIONS,   // [set, positions given, objects shown in it]
    KISS_OBJECT_NOT_PLACED,        // [object, set]: shown in a set that gives it no position
    KISS_OBJECT_POSITIONED_NOT_DEFINED,  // [object, set]: a position for an object no cel has
    KISS_CEL_LARGER_THAN_PLAYFIELD,  // [cel width, cel height, 0]: wider or higher than the playfield

    // Drawing (kiss_picture.h); not findings of the check.
    KISS_NO_SUCH_SET,              // [set asked for, sets the configuration has]
    KISS_PICTURE_TOO_LARGE,        // [width, height]: more pixels than a picture is drawn with
    KISS_CEL_NEEDS_PALETTE,        // a cel of colour numbers, and no palette to colour it

    KISS_PROBLEM_COUNT
};

// What a viewer does with a doll that has the problem.
enum KissSeverity {
    KISS_VIEWER_REFUSES,   // it will not open the doll, or stops while opening it
    KISS_VIEWER_MISSHOWS,  // the doll opens, but something is left out, misplaced or in other colours
    KISS_SOME_VIEWERS,     // most viewers show it right; some trip on it
};
KissSeverity kissSeverity(KissProblem problem);

// What a reader says of a file: KISS_FINE, or why it cannot be used, with
// the numbers the problem carries.
struct KissFileProblem {
    KissProblem problem = KISS_FINE;
    int64_t number[2] = {0, 0};
};

inline KissFileProblem kissFileProblem(KissProblem problem, int64_t first = 0, int64_t second = 0)
{
    KissFileProblem result;
    result.problem = problem;
    result.number[0] = first, result.number[1] = second;
    return result;
}

// One finding of the check, or one line the configuration reader could not read.
struct KissFinding {
    std::string file;    // the configuration's name, or a cel's or palette's as the configuration writes it
    uint32_t line = 0;   // in the configuration, from 1; 0 when the finding is about no one line
    KissProblem problem = KISS_FINE;
    int64_t number[3] = {0, 0, 0};
};

#endif
