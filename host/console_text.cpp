#include "console_text.h"

#include <windows.h>

#include <stdarg.h>
#include <string>
#include <vector>

static void writeText(DWORD which, FILE* stream, const char* format, va_list arguments)
{
    va_list again;
    va_copy(again, arguments);
    int length = vsnprintf(NULL, 0, format, arguments);
    std::string text(length > 0 ? length + 1 : 1, '\0');
    vsnprintf(&text[0], text.size(), format, again);
    va_end(again);
    text.resize(length > 0 ? length : 0);

    HANDLE console = GetStdHandle(which);
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode)) {
        int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), NULL, 0);
        std::vector<WCHAR> wide(units > 0 ? units : 1);
        DWORD written = 0;
        if (units > 0 && MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), wide.data(), units) == units &&
            WriteConsoleW(console, wide.data(), (DWORD)units, &written, NULL))
            return;
    }
    fwrite(text.data(), 1, text.size(), stream);
    fflush(stream);
}

void say(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    writeText(STD_OUTPUT_HANDLE, stdout, format, arguments);
    va_end(arguments);
}

void complain(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    writeText(STD_ERROR_HANDLE, stderr, format, arguments);
    va_end(arguments);
}

bool ownsConsoleWindow()
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnter()
{
    say("Press Enter to close this window.\n");
    int c;
    while ((c = getchar()) != EOF && c != '\n')
        continue;
}
