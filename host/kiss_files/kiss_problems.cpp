#include "kiss_problems.h"

// Measured in GnomeKiss where it says anything, reasoned from the formats
// where it does not.
KissSeverity kissSeverity(KissProblem problem)
{
    switch (problem) {
    case KISS_NO_CELS:
    case KISS_PLAYFIELD_TOO_LARGE:  // GnomeKiss stops: it cannot make a window that large
        return KISS_VIEWER_REFUSES;
    case KISS_NAME_NOT_8_3:
    case KISS_NAME_CASE_DIFFERS:    // found on Windows, not by viewers on case-sensitive systems
    case KISS_NAME_CHARACTER:
    case KISS_PALETTE_COLOUR_COUNT:
    case KISS_OBJECT_POSITIONED_NOT_DEFINED:
    case KISS_CEL_LARGER_THAN_PLAYFIELD:
    case KISS_NO_SETS_AFTER_COLON:
    case KISS_FKISS_UNKNOWN_COMMAND:  // a newer command than some viewers know
    case KISS_FKISS_NOT_LOWERCASE:    // GnomeKiss takes commands in lowercase only
    case KISS_CEL_AFTER_EVENT_HANDLER:
        return KISS_SOME_VIEWERS;
    default:
        return KISS_VIEWER_MISSHOWS;
    }
}
