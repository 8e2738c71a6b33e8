// The little of FKiSS the check judges. An FKiSS line starts ";@" and holds
// commands, each a name and its arguments in parentheses, then perhaps a
// ';' comment:
//   ;@EventHandler                      (once, above every other FKiSS line)
//   ;@press(#1) unmap("hat.cel") ; take the hat off
// The first command of an event is the event (press, alarm, ...), the rest
// are actions. Strings are in double quotes and may hold parentheses.
//
// Judged: parentheses and quotes that do not close, text that is no
// command, and names no viewer this check knows takes (FKiSS 1 to 4 and the
// common FKiSS 5 ones), or takes only in lowercase. Not judged: the
// arguments, the order of events and actions, if/else nesting.
#ifndef PORVANE_KISS_FKISS_H
#define PORVANE_KISS_FKISS_H

#include <string>
#include <vector>

#include "kiss_problems.h"

// ";@EventHandler", alone or with "()", before any comment.
bool isEventHandlerLine(const std::string& line);

// What is wrong with the FKiSS line `line` (starting ";@"): each a
// KISS_FKISS_... code with the character it is at (from 1) in number[0].
// A line whose form breaks stops at the first break.
std::vector<KissFileProblem> fkissLineProblems(const std::string& line);

#endif
