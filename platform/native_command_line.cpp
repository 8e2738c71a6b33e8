// The program's command line and the user's language, as a native program
// has them. Windows hands a program one command line, which the program
// splits into arguments itself; a POSIX program gets its arguments already
// split, so GetCommandLineW joins them back into the line Windows would have
// passed, quoted so that CommandLineToArgvW reads the same arguments back.
#include "native_internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

namespace {

// The line for one argument after the program name: as it is, unless a
// space, tab or quote (or nothing at all) needs quotes around it; inside
// them, backslashes before a quote or the closing quote are doubled, and a
// quote gets one backslash of its own.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring line = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        line += c;
        backslashes = 0;
    }
    line.append(2 * backslashes, L'\\');
    return line + L"\"";
}

std::vector<std::string> ownArguments()
{
    std::vector<std::string> arguments;
    FILE* file = fopen("/proc/self/cmdline", "rb");
    if (file == NULL)
        return arguments;
    std::string argument;
    for (int c; (c = getc(file)) != EOF;) {
        if (c != '\0') {
            argument += (char)c;
            continue;
        }
        arguments.push_back(argument);
        argument.clear();
    }
    fclose(file);
    return arguments;
}

// The program's own file, which CommandLineToArgvW names for an empty line.
std::wstring programFile()
{
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return NativePlatform::wideText(std::string(path.data(), length > 0 ? (size_t)length : 0));
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Splits a command line by Windows' rules. The program name ends at the
// first space or tab, or, when it starts with a quote, at the next quote;
// backslashes mean nothing in it. In the other arguments, 2n backslashes
// and a quote are n backslashes and a quote that opens or closes a quoted
// run (where spaces and tabs do not split); 2n + 1 backslashes and a quote
// are n backslashes and a literal quote; other backslashes are themselves.
// Inside a quoted run, two quotes are a literal quote, and the run ends
// there.
std::vector<std::wstring> split(const wchar_t* line)
{
    std::vector<std::wstring> arguments(1);
    const wchar_t* at = line;
    if (*at == L'"') {
        for (++at; *at != L'\0' && *at != L'"'; ++at)
            arguments[0] += *at;
        if (*at == L'"')
            ++at;
    } else {
        for (; *at != L'\0' && !isBlank(*at); ++at)
            arguments[0] += *at;
    }
    bool inArgument = false, quoting = false;
    size_t backslashes = 0;
    for (; *at != L'\0'; ++at) {
        if (isBlank(*at) && !quoting) {
            inArgument = false;
            backslashes = 0;
            continue;
        }
        if (!inArgument) {
            arguments.emplace_back();
            inArgument = true;
        }
        std::wstring& argument = arguments.back();
        if (*at == L'\\') {
            ++backslashes;
            argument += L'\\';
            continue;
        }
        if (*at != L'"') {
            backslashes = 0;
            argument += *at;
            continue;
        }
        argument.erase(argument.size() - (backslashes + 1) / 2);  // n remain
        const bool escaped = backslashes % 2 == 1;
        backslashes = 0;
        if (escaped)
            argument += L'"';
        else if (quoting && at[1] == L'"')
            argument += L'"', quoting = false, ++at;
        else
            quoting = !quoting;
    }
    return arguments;
}

}

LPWSTR WINAPI GetCommandLineW(void)
{
    static std::wstring line;
    static bool built = false;
    if (!built) {
        std::vector<std::string> arguments = ownArguments();
        for (size_t i = 0; i < arguments.size(); ++i) {
            const std::wstring argument = NativePlatform::wideText(arguments[i]);
            if (i == 0)  // the program name has no backslash rules: quotes around a blank are all it can have
                line += argument.empty() || argument.find_first_of(L" \t") != std::wstring::npos
                            ? L"\"" + argument + L"\"" : argument;
            else
                line += L" " + quoted(argument);
        }
        built = true;
    }
    return &line[0];
}

// The arguments come in one LocalAlloc'd block, which the caller frees with
// LocalFree: the pointers, a null one after them, then the strings. An
// empty line is the program's own file alone, as on Windows.
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR line, int* count)
{
    if (count == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (NativePlatform::countCall("CommandLineToArgvW"))
        return NULL;
    const std::vector<std::wstring> arguments =
        line == NULL || *line == L'\0' ? std::vector<std::wstring>{programFile()} : split(line);
    size_t bytes = (arguments.size() + 1) * sizeof(LPWSTR);
    for (const std::wstring& argument : arguments)
        bytes += (argument.size() + 1) * sizeof(WCHAR);
    LPWSTR* list = (LPWSTR*)LocalAlloc(LMEM_FIXED, bytes);  // counted as a LocalAlloc of its own
    if (list == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    WCHAR* text = (WCHAR*)(list + arguments.size() + 1);
    for (size_t i = 0; i < arguments.size(); ++i) {
        list[i] = text;
        memcpy(text, arguments[i].c_str(), (arguments[i].size() + 1) * sizeof(WCHAR));
        text += arguments[i].size() + 1;
    }
    list[arguments.size()] = NULL;
    *count = (int)arguments.size();
    return list;
}

// Japanese when the first of LC_ALL, LC_MESSAGES and LANG that is set (and
// not empty) names it, as POSIX picks the language of messages; else
// English (United States).
LANGID WINAPI GetUserDefaultUILanguage(void)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value != NULL && *value != '\0')
            return strncmp(value, "ja", 2) == 0 ? 0x0411 : 0x0409;
    }
    return 0x0409;
}
