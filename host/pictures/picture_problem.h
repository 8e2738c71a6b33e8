// Why a picture was not read, as its reader found it: one code, and the
// numbers some codes name. Readers know nothing of the doll maker's language;
// the words are chosen once, where the line is printed (words/problem_words.h).
#ifndef PORVANE_PICTURE_PROBLEM_H
#define PORVANE_PICTURE_PROBLEM_H

#include <stdint.h>

enum PictureProblemCode {
    PICTURE_READ = 0,  // no problem

    // Opening and reading the file, from the error the system gave.
    PICTURE_NO_SUCH_FILE,
    PICTURE_IN_USE,
    PICTURE_NO_PERMISSION,
    PICTURE_NO_MEMORY_TO_READ,
    PICTURE_CANNOT_READ,

    // What kind of file it is.
    PICTURE_NOT_A_PICTURE,      // no picture's first bytes, nor a picture's name
    PICTURE_DAMAGED_START,      // a picture's name, but not a picture's first bytes

    // What a KiSS cel can hold, and memory.
    PICTURE_TOO_LARGE_SIDE,     // wider or higher than a cel's header can say
    PICTURE_TOO_LARGE_BLOCK,    // its pixels would pass a cel's largest data block
    PICTURE_NO_MEMORY,
    PICTURE_TOO_MANY_FOR_ONE_PALETTE,  // number: the most pixels all the parts of one palette may hold

    // The Windows Imaging Component (PNG, GIF, TIFF, JPEG).
    PICTURE_NO_IMAGING_COMPONENT,
    PICTURE_UNREADABLE,         // damaged, or of a kind Windows does not know
    PICTURE_DAMAGED,
    PNG_ENDS_EARLY,
    PNG_CHECKSUM,

    // porvane's own BMP reader.
    BMP_NOT_BMP,
    BMP_TOO_SHORT,
    BMP_SHORT_HEADER,
    BMP_OS2_2,
    BMP_UNKNOWN_HEADER,         // number: the header's size in bytes
    BMP_DEPTH,                  // number: bits a pixel
    BMP_RUN_LENGTH_DEPTH,       // number: bits a pixel
    BMP_MASKS_DEPTH,            // number: bits a pixel
    BMP_HOLDS_PNG_OR_JPEG,
    BMP_COMPRESSION,            // number: the compression code
    BMP_NEGATIVE_WIDTH,
    BMP_TOP_DOWN_RUN_LENGTH,
    BMP_SHORT_MASKS,
    BMP_PIXELS_IN_HEADER,
    BMP_SHORT_PIXELS,
    BMP_RUN_LENGTH_ENDS,

    // Layered Photoshop documents (.psd).
    LAYERED_LARGE_DOCUMENT,     // a .psb
    LAYERED_UNKNOWN_VERSION,    // number: the version
    LAYERED_COLOUR_MODE,        // number: the colour mode (PsdColourMode)
    LAYERED_DEPTH,              // number: bits a channel
    LAYERED_CANVAS_TOO_LARGE,   // number: the longer side
    LAYERED_TRUNCATED,
    LAYERED_DAMAGED,
    LAYERED_COMPRESSION,        // number: the compression code
    LAYERED_GROUPS_TOO_DEEP,    // number: how deep groups may be nested
    LAYERED_NO_MERGED_PICTURE,

    // What --transparent asks of the picture.
    TRANSPARENT_NO_TABLE,       // number: the colour's number asked for
    TRANSPARENT_NO_ENTRY,       // number: the colour's number asked for; second: the picture's highest
};

struct PictureProblem {
    PictureProblemCode code = PICTURE_READ;
    int64_t number = 0;
    int64_t second = 0;
};

// Sets `*problem` and returns 0, so that a reader can say `return refuse(...)`.
inline int refuse(PictureProblem* problem, PictureProblemCode code, int64_t number = 0, int64_t second = 0)
{
    *problem = PictureProblem{code, number, second};
    return 0;
}

#endif
