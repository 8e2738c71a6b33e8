#include "console_text.h"
#include "code_pages.h"

#include <windows.h>

#include <stdio.h>

static void writeLine(DWORD which, FILE* stream, const std::wstring& line)
{
    const std::wstring text = line + L"\n";
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) &&
        WriteConsoleW(handle, text.data(), (DWORD)text.size(), &written, NULL))
        return;
    // A file that is still empty starts with the byte-order mark.
    static bool marked[2] = {false, false};
    bool& mark = marked[which == STD_ERROR_HANDLE];
    if (!mark && handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK &&
        GetFileSize(handle, NULL) == 0)
        fputs("\xEF\xBB\xBF", stream);
    mark = true;
    const std::string bytes = encodeText(text, CP_UTF8);
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

void say(const std::wstring& line)
{
    writeLine(STD_OUTPUT_HANDLE, stdout, line);
}

void complain(const std::wstring& line)
{
    writeLine(STD_ERROR_HANDLE, stderr, line);
}

bool ownsConsoleWindow()
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnter(const std::wstring& prompt)
{
    say(prompt);
    int c;
    while ((c = getchar()) != EOF && c != '\n')
        continue;
}
