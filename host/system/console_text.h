// What porvane-host tells the person at the keyboard, in UTF-16 as it works.
// In a console window the text is written with WriteConsoleW, so that every
// name shows as it is whatever the console's code page. Redirected, it is
// written as UTF-8, which keeps every name: a file gets the byte-order mark
// first, so that Notepad opens it right on any Windows; a pipe does not, as
// a mark would end up in the reader's first line.
#ifndef PORVANE_CONSOLE_TEXT_H
#define PORVANE_CONSOLE_TEXT_H

#include <string>

// A line to standard output, and to standard error.
void say(const std::wstring& line);
void complain(const std::wstring& line);

// True when the program has its console window to itself: Windows made one
// for it because it was started from Explorer (pictures dropped on it, or a
// double click), and the window closes the moment the program ends.
bool ownsConsoleWindow();

// Says `prompt` and waits for Enter (or for the end of the input).
void waitForEnter(const std::wstring& prompt);

#endif
