// What porvane-host tells the person at the keyboard. The text is in the
// ANSI code page, like the file names it quotes. In a console window it is
// turned into UTF-16 and written with WriteConsoleW, so that Japanese names
// show as they are whatever the console's own code page; written to a file
// or a pipe, it stays the ANSI bytes, as Windows programs write them.
#ifndef PORVANE_CONSOLE_TEXT_H
#define PORVANE_CONSOLE_TEXT_H

#include <stdio.h>

// printf-style, to standard output and standard error.
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void complain(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True when the program has its console window to itself: Windows made one
// for it because it was started from Explorer (pictures dropped on it, or a
// double click), and the window closes the moment the program ends.
bool ownsConsoleWindow();

// Asks for Enter and waits for it (or for the end of the input).
void waitForEnter();

#endif
