// The native layer's wide calls, which the converter makes: names that code
// page 932 cannot hold are made, listed, renamed and refused as the A calls
// do; wide text converts to 932 and UTF-8 and back; command lines split and
// join by Windows' rules; the standard handles tell what they lead to.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>

#include "native_test_support.h"

extern char** environ;

namespace {

using Bytes = std::vector<uint8_t>;

// Wide text compared as char32_t: valgrind takes glibc's vector wmemcmp,
// which std::wstring's comparisons call, for reads past a string's end.
using Text = std::u32string;
Text text(const std::wstring& wide) { return Text(wide.begin(), wide.end()); }
std::vector<Text> texts(const std::vector<std::wstring>& wides)
{
    std::vector<Text> all;
    for (const std::wstring& wide : wides)
        all.push_back(text(wide));
    return all;
}

// A name in the scratch folder as the converter writes it: wide, with backslashes.
std::wstring widePath(const ScratchFolder& scratch, const std::wstring& name)
{
    std::wstring folder(scratch.folder.begin(), scratch.folder.end());  // ASCII, under TMPDIR
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return folder + L"\\" + name;
}

bool writeWide(const std::wstring& path, DWORD creation, const char* content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, creation, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written;
    BOOL wrote = WriteFile(file, content, (DWORD)strlen(content), &written, NULL);
    return CloseHandle(file) && wrote;
}

struct WideName {
    std::wstring name;
    std::string onDisk;  // UTF-8
};
const WideName wideNames[] = {
    {L"ハート♥.bmp", u8"ハート♥.bmp"},  // ♥ is not in code page 932
    {L"café.bmp", u8"café.bmp"},       // nor é
    {L"顔.bmp", u8"顔.bmp"},
};

TEST(WideNames, AreMadeRenamedAndRefusedWhenReadOnlyAsTheACallsRefuse)
{
    for (const WideName& n : wideNames) {
        SCOPED_TRACE(n.onDisk);
        ScratchFolder scratch;
        const std::wstring path = widePath(scratch, n.name), renamed = widePath(scratch, L"new " + n.name);
        ASSERT_TRUE(writeWide(path, CREATE_NEW, "first"));
        EXPECT_EQ(scratch.names(), std::vector<std::string>{n.onDisk});
        EXPECT_EQ(GetFileAttributesW(path.c_str()), (DWORD)FILE_ATTRIBUTE_NORMAL);
        EXPECT_FALSE(writeWide(path, CREATE_NEW, "second"));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);

        ASSERT_TRUE(MoveFileExW(path.c_str(), renamed.c_str(), 0));
        EXPECT_EQ(scratch.names(), std::vector<std::string>{"new " + n.onDisk});

        ASSERT_TRUE(SetFileAttributesW(renamed.c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_EQ(GetFileAttributesW(renamed.c_str()), (DWORD)FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(writeWide(renamed, CREATE_ALWAYS, "over it"));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
        EXPECT_FALSE(DeleteFileW(renamed.c_str()));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
        ASSERT_TRUE(writeWide(path, CREATE_NEW, "replacement"));
        EXPECT_FALSE(MoveFileExW(path.c_str(), renamed.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
        EXPECT_EQ(readFile(scratch.path("new " + n.onDisk)), Bytes({'f', 'i', 'r', 's', 't'}));

        ASSERT_TRUE(SetFileAttributesW(renamed.c_str(), FILE_ATTRIBUTE_NORMAL));
        EXPECT_TRUE(MoveFileExW(path.c_str(), renamed.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_TRUE(DeleteFileW(renamed.c_str()));
        EXPECT_EQ(scratch.names(), std::vector<std::string>{});
    }
    EXPECT_EQ(NativePlatform::held().files, 0);
}

struct Listing {
    std::wstring pattern;  // in the scratch folder
    std::vector<std::wstring> names;  // in the order found
    DWORD error;  // when nothing is found
};

TEST(WideNames, FindFirstFileWListsWhatMatchesSortedByName)
{
    ScratchFolder scratch;
    for (const WideName& n : wideNames)
        ASSERT_TRUE(writeWide(widePath(scratch, n.name), CREATE_NEW, "bmp"));
    ASSERT_TRUE(writeWide(widePath(scratch, L"Notes.txt"), CREATE_NEW, "twelve bytes"));
    ASSERT_TRUE(CreateDirectoryW(widePath(scratch, L"sub").c_str(), NULL));
    ASSERT_TRUE(SetFileAttributesW(widePath(scratch, L"顔.bmp").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::vector<std::wstring> all = {L".", L"..", L"Notes.txt", L"café.bmp", L"sub", L"ハート♥.bmp", L"顔.bmp"};
    const Listing listings[] = {
        {L"*.bmp", {L"café.bmp", L"ハート♥.bmp", L"顔.bmp"}, 0},
        {L"?.BMP", {L"顔.bmp"}, 0},  // one wide character; letters in either case
        {L"CAF?.bmp", {L"café.bmp"}, 0},
        {L"n*", {L"Notes.txt"}, 0},
        {L"*", all, 0},
        {L"*.*", all, 0},  // names without a dot too
        {L"*♥*", {L"ハート♥.bmp"}, 0},
        {L"*.gif", {}, ERROR_FILE_NOT_FOUND},
        {L"sub\\*.bmp", {}, ERROR_FILE_NOT_FOUND},
        {L"missing\\*", {}, ERROR_PATH_NOT_FOUND},
    };
    for (const Listing& l : listings) {
        SCOPED_TRACE(testing::PrintToString(l.pattern));
        WIN32_FIND_DATAW found;
        std::vector<Text> names;
        std::map<Text, WIN32_FIND_DATAW> entries;
        HANDLE search = FindFirstFileW(widePath(scratch, l.pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(GetLastError(), l.error);
        } else {
            do {
                names.push_back(text(found.cFileName));
                entries[text(found.cFileName)] = found;
            } while (FindNextFileW(search, &found));
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_MORE_FILES);
            EXPECT_TRUE(FindClose(search));
        }
        EXPECT_EQ(names, texts(l.names));
        EXPECT_EQ(NativePlatform::held().searches, 0);
        if (entries.count(U"sub"))
            EXPECT_EQ(entries[U"sub"].dwFileAttributes, (DWORD)FILE_ATTRIBUTE_DIRECTORY);
        if (entries.count(U"顔.bmp"))
            EXPECT_EQ(entries[U"顔.bmp"].dwFileAttributes, (DWORD)FILE_ATTRIBUTE_READONLY);
        if (entries.count(U"Notes.txt")) {
            EXPECT_EQ(entries[U"Notes.txt"].dwFileAttributes, (DWORD)FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(entries[U"Notes.txt"].nFileSizeLow, 12u);
        }
    }
}

// Each wide call is counted under its own name, and a fault planned for that
// name fails it with the planned error and no effect, where it would succeed.
TEST(WideNames, EachWideCallFailsByItsOwnNameWithoutEffect)
{
    const std::pair<const char*, std::function<bool(const ScratchFolder&)>> calls[] = {
        {"CreateFileW", [](const ScratchFolder& s) { return writeWide(widePath(s, L"顔.cel"), CREATE_NEW, "x"); }},
        {"CreateDirectoryW", [](const ScratchFolder& s) { return CreateDirectoryW(widePath(s, L"顔").c_str(), NULL); }},
        {"MoveFileExW", [](const ScratchFolder& s) {
             return MoveFileExW(widePath(s, L"café.bmp").c_str(), widePath(s, L"顔.bmp").c_str(), 0);
         }},
        {"DeleteFileW", [](const ScratchFolder& s) { return DeleteFileW(widePath(s, L"café.bmp").c_str()); }},
        {"SetFileAttributesW", [](const ScratchFolder& s) {
             return SetFileAttributesW(widePath(s, L"café.bmp").c_str(), FILE_ATTRIBUTE_READONLY) &&
                    GetFileAttributesA(s.path("caf\xC3\xA9.bmp").c_str()) == FILE_ATTRIBUTE_READONLY;
         }},
        {"GetFileAttributesW", [](const ScratchFolder& s) {
             return GetFileAttributesW(widePath(s, L"café.bmp").c_str()) == FILE_ATTRIBUTE_NORMAL;
         }},
        {"FindFirstFileW", [](const ScratchFolder& s) {
             WIN32_FIND_DATAW found;
             HANDLE search = FindFirstFileW(widePath(s, L"*.bmp").c_str(), &found);
             return search != INVALID_HANDLE_VALUE && FindClose(search);
         }},
    };
    for (const auto& call : calls)
        for (bool faulted : {true, false}) {
            SCOPED_TRACE(testing::Message() << call.first << (faulted ? ", faulted" : ""));
            ScratchFolder scratch;
            writeFile(scratch.path(u8"café.bmp"), Bytes{1});
            NativePlatform::resetCalls();
            if (faulted)
                NativePlatform::failCallsNamed(call.first, 1, ERROR_SHARING_VIOLATION);
            EXPECT_EQ(call.second(scratch), !faulted);
            if (faulted) {
                EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
                EXPECT_EQ(NativePlatform::callLog(), std::vector<std::string>{call.first});
                EXPECT_EQ(scratch.names(), std::vector<std::string>{u8"café.bmp"});
                EXPECT_EQ(GetFileAttributesA(scratch.path(u8"café.bmp").c_str()), (DWORD)FILE_ATTRIBUTE_NORMAL);
            }
            NativePlatform::resetCalls();
            const NativePlatform::Held held = NativePlatform::held();
            EXPECT_EQ(held.files + held.searches, 0);
        }
}

TEST(WideNames, TheCurrentFolderIsReadAndChangedInWideText)
{
    ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectoryW(widePath(scratch, L"ハート♥").c_str(), NULL));
    const DWORD needed = GetCurrentDirectoryW(0, NULL);
    std::wstring before(needed, L'\0');
    ASSERT_EQ(GetCurrentDirectoryW(needed, &before[0]), needed - 1);
    before.pop_back();

    ASSERT_TRUE(SetCurrentDirectoryW(widePath(scratch, L"ハート♥").c_str()));
    WCHAR now[MAX_PATH];
    EXPECT_EQ(text(std::wstring(now, GetCurrentDirectoryW(MAX_PATH, now))),
              Text(scratch.folder.begin(), scratch.folder.end()) + U"/ハート♥");
    EXPECT_TRUE(writeWide(L"..\\顔.bmp", CREATE_NEW, "relative to it"));
    EXPECT_FALSE(SetCurrentDirectoryW(L"..\\顔.bmp"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_DIRECTORY);
    ASSERT_TRUE(SetCurrentDirectoryW(before.c_str()));
    EXPECT_EQ(scratch.names(), (std::vector<std::string>{u8"ハート♥", u8"顔.bmp"}));
}

struct Conversion {
    UINT codePage;
    DWORD flags;
    std::wstring wide;  // without its terminating zero
    std::string text;
    LPCSTR defaultChar;
    bool usedDefault;  // and so no way back
};

TEST(WideText, ConvertsToCodePage932AndUtf8AndBack)
{
    const Conversion conversions[] = {
        {CP_ACP, 0, L"顔.bmp", "\x8A\xE7.bmp", NULL, false},
        {CP_ACP, 0, L"ハート♥.bmp", "\x83\x6E\x81\x5B\x83\x67?.bmp", NULL, true},
        {CP_ACP, WC_NO_BEST_FIT_CHARS, L"café", "caf?", NULL, true},
        {CP_ACP, 0, L"♥♥", "\x81\x45\x81\x45", "\x81\x45", true},  // a double-byte default character
        {CP_ACP, 0, L"\u00A5", "\\", NULL, false},                 // the yen sign's best fit...
        {CP_ACP, WC_NO_BEST_FIT_CHARS, L"\u00A5", "?", NULL, true},  // ...which this flag refuses
        {CP_UTF8, 0, L"ハート♥.bmp", u8"ハート♥.bmp", NULL, false},
        {CP_UTF8, 0, std::wstring(1, (wchar_t)0xD800) + L"x", "\xEF\xBF\xBDx", NULL, true},  // a lone surrogate
    };
    for (const Conversion& c : conversions) {
        SCOPED_TRACE(testing::PrintToString(c.wide));
        const bool utf8 = c.codePage == CP_UTF8;
        BOOL usedDefault = -1;
        BOOL* used = utf8 ? NULL : &usedDefault;  // UTF-8 takes neither
        const int needed = WideCharToMultiByte(c.codePage, c.flags, c.wide.c_str(), -1, NULL, 0, c.defaultChar, used);
        ASSERT_EQ(needed, (int)c.text.size() + 1);  // with the zero
        std::vector<char> bytes(needed);
        EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.wide.c_str(), -1, bytes.data(), needed - 1, c.defaultChar,
                                      used), 0);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
        ASSERT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.wide.c_str(), -1, bytes.data(), needed, c.defaultChar, used),
                  needed);
        EXPECT_EQ(std::string(bytes.data()), c.text);
        if (!utf8)
            EXPECT_EQ(usedDefault, (BOOL)c.usedDefault);
        if (c.usedDefault)
            continue;
        const int units = MultiByteToWideChar(c.codePage, 0, c.text.data(), (int)c.text.size(), NULL, 0);
        std::wstring back(units, L'\0');
        ASSERT_EQ(MultiByteToWideChar(c.codePage, 0, c.text.data(), (int)c.text.size(), &back[0], units), units);
        EXPECT_EQ(text(back), text(c.wide) == U"\u00A5" ? U"\\" : text(c.wide));
    }
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"x", -1, NULL, 0, "?", NULL), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, L"x", -1, NULL, 0, NULL, NULL), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_FLAGS);
    WCHAR decoded[8];
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFF" "b", -1, decoded, 8), 4);  // a byte that is no UTF-8
    EXPECT_EQ(text(decoded), U"a\uFFFDb");
}

struct Split {
    std::wstring line;
    std::vector<std::wstring> arguments;
};

std::vector<Text> splitLine(const wchar_t* line)
{
    int count = -1;
    LPWSTR* list = CommandLineToArgvW(line, &count);
    std::vector<Text> arguments;
    for (int i = 0; list != NULL && i < count; ++i)
        arguments.push_back(text(list[i]));
    EXPECT_TRUE(list == NULL || list[count] == NULL);
    EXPECT_EQ(LocalFree(list), (HLOCAL)NULL);
    return arguments;
}

TEST(CommandLine, CommandLineToArgvWSplitsByWindowsRules)
{
    const Split splits[] = {
        {L"porvane-host convert a.bmp", {L"porvane-host", L"convert", L"a.bmp"}},
        {L"\"C:\\Program Files\\porvane-host.exe\" info", {L"C:\\Program Files\\porvane-host.exe", L"info"}},
        // The program name has no backslash rules: it ends at the space.
        {L"C:\\a\\\"b c\" d", {L"C:\\a\\\"b", L"c d"}},
        {L"\"name\"next arg", {L"name", L"next", L"arg"}},
        {L"p \"a b\"\tc", {L"p", L"a b", L"c"}},
        {L"p a\\\\\\b", {L"p", L"a\\\\\\b"}},       // backslashes before no quote are themselves
        {L"p a\\\"b", {L"p", L"a\"b"}},               // 1 backslash and a quote: a quote
        {L"p a\\\\\"b c\"", {L"p", L"a\\b c"}},      // 2: one backslash, and the quote opens
        {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},        // 3: one backslash and a quote
        {L"p \"x\\\\\" y", {L"p", L"x\\", L"y"}},    // 2 before the closing quote
        {L"p \"\" x \"\"", {L"p", L"", L"x", L""}},   // empty arguments
        {L"p \"a\"\"b\" c", {L"p", L"a\"b c"}},       // two quotes in a quoted run: a quote, and the run ends
        {L"p \"\"\"a\"\"\"", {L"p", L"\"a\""}},
        {L"p \"open to the end", {L"p", L"open to the end"}},
        {L"\"unterminated name", {L"unterminated name"}},
        {L" leading", {L"", L"leading"}},
        {L"p\t a  ", {L"p", L"a"}},
    };
    const NativePlatform::Held before = NativePlatform::held();
    for (const Split& s : splits)
        EXPECT_EQ(splitLine(s.line.c_str()), texts(s.arguments)) << testing::PrintToString(s.line);
    char program[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", program, sizeof program - 1), 0);
    const Text programName(program, program + strlen(program));  // the build folder's path is ASCII
    EXPECT_EQ(splitLine(L""), std::vector<Text>{programName});  // the program alone
    EXPECT_EQ(NativePlatform::held().memoryBlocks, before.memoryBlocks);
}

// Arguments that need quotes, backslashes and UTF-8 decoding to come back.
struct Argument {
    const char* utf8;
    std::wstring wide;
};
const Argument trickyArguments[] = {
    {u8"ハート♥.bmp", L"ハート♥.bmp"},
    {"two words", L"two words"},
    {"", L""},
    {"say \"hi\"", L"say \"hi\""},
    {"C:\\ends\\", L"C:\\ends\\"},
    {"\\\\server\\with space\\", L"\\\\server\\with space\\"},
    {"back\\\\\"slashes\\\"", L"back\\\\\"slashes\\\""},
    {"tab\there", L"tab\there"},
};
const char childVariable[] = "PORVANE_COMMAND_LINE_CHILD";

// When the test below starts this program again, the program checks the
// arguments it reads back and ends there, before any test runs (and after
// every static object of the layer is made): exit status 0 when they are
// the ones given.
struct ChildCheck : ::testing::Environment {
    void SetUp() override
    {
        if (getenv(childVariable) == NULL)
            return;
        const std::vector<Text> arguments = splitLine(GetCommandLineW());
        bool same = arguments.size() == 2 + std::size(trickyArguments) && arguments[0] == U"porvane native tests";
        for (size_t i = 0; same && i < std::size(trickyArguments); ++i)
            same = arguments[2 + i] == text(trickyArguments[i].wide);
        _exit(same ? 0 : 1);
    }
};
::testing::Environment* const childCheck = ::testing::AddGlobalTestEnvironment(new ChildCheck);

TEST(CommandLine, GetCommandLineWGivesTheArgumentsBack)
{
    std::vector<char*> arguments = {(char*)"porvane native tests", (char*)"--gtest_brief=1"};
    for (const Argument& a : trickyArguments)
        arguments.push_back((char*)a.utf8);
    arguments.push_back(NULL);
    char program[4096] = {};  // not /proc/self/exe, which under valgrind is valgrind
    ASSERT_GT(readlink("/proc/self/exe", program, sizeof program - 1), 0);
    setenv(childVariable, "1", 1);
    pid_t child;
    const int spawned = posix_spawn(&child, program, NULL, NULL, arguments.data(), environ);
    unsetenv(childVariable);
    ASSERT_EQ(spawned, 0);
    int status;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child read other arguments back";
}

TEST(Language, JapaneseWhenTheFirstLocaleVariableSetSaysSo)
{
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<bool, std::string>> saved;
    for (const char* name : names)
        saved.emplace_back(getenv(name) != NULL, getenv(name) ? getenv(name) : "");
    const struct {
        const char* values[3];  // LC_ALL, LC_MESSAGES, LANG; NULL: unset
        LANGID language;
    } rows[] = {
        {{NULL, NULL, "ja_JP.UTF-8"}, 0x0411},
        {{"C", NULL, "ja_JP.UTF-8"}, 0x0409},
        {{"", "ja_JP", "en_US.UTF-8"}, 0x0411},  // an empty one does not count
        {{NULL, "en_GB", "ja_JP"}, 0x0409},
        {{NULL, NULL, NULL}, 0x0409},
    };
    for (const auto& row : rows) {
        for (int i = 0; i < 3; ++i)
            row.values[i] ? setenv(names[i], row.values[i], 1) : unsetenv(names[i]);
        EXPECT_EQ(GetUserDefaultUILanguage(), row.language) << (row.values[0] ? row.values[0] : "-");
    }
    for (int i = 0; i < 3; ++i)
        saved[i].first ? setenv(names[i], saved[i].second.c_str(), 1) : unsetenv(names[i]);
}

// Standard input, made in turn a file, a pipe and a character device.
TEST(StandardHandles, GetFileTypeAndGetFileSizeTellWhatTheyLeadTo)
{
    ScratchFolder scratch;
    writeFile(scratch.path("input"), Bytes(5, 'x'));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const struct {
        int descriptor;
        DWORD type;
        DWORD size;
    } rows[] = {
        {open(scratch.path("input").c_str(), O_RDONLY), FILE_TYPE_DISK, 5},
        {pipeEnds[0], FILE_TYPE_PIPE, INVALID_FILE_SIZE},
        {open("/dev/null", O_RDONLY), FILE_TYPE_CHAR, INVALID_FILE_SIZE},
    };
    const int standardInput = dup(0);
    for (const auto& row : rows) {
        ASSERT_EQ(dup2(row.descriptor, 0), 0);
        const DWORD type = GetFileType(GetStdHandle(STD_INPUT_HANDLE));
        DWORD high = 7;
        const DWORD size = GetFileSize(GetStdHandle(STD_INPUT_HANDLE), &high);
        const DWORD error = GetLastError();
        dup2(standardInput, 0);
        EXPECT_EQ(type, row.type);
        EXPECT_EQ(size, row.size);
        EXPECT_EQ(error, row.size == INVALID_FILE_SIZE ? (DWORD)ERROR_INVALID_HANDLE : (DWORD)ERROR_SUCCESS);
        if (row.size != INVALID_FILE_SIZE)
            EXPECT_EQ(high, 0u);
        close(row.descriptor);
    }
    close(standardInput);
    close(pipeEnds[1]);

    HANDLE file = CreateFileW(widePath(scratch, L"input").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileType(file), (DWORD)FILE_TYPE_DISK);
    EXPECT_EQ(GetFileSize(file, NULL), 5u);
    CloseHandle(file);
    EXPECT_EQ(GetFileType(file), (DWORD)FILE_TYPE_UNKNOWN);  // closed
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

}
