#include "kiss_fkiss.h"

#include <string.h>

#include <algorithm>

#include "kiss_names.h"

namespace {

const char EVENT_HANDLER[] = "EventHandler";

// Events and actions of FKiSS 1 to 4, and the common FKiSS 5 ones, in
// lowercase and in order, for a binary search.
const char* const COMMANDS[] = {
    "add", "alarm", "altmap", "apart", "attach", "begin", "catch", "changecol", "changeset", "col", "collide",
    "concat", "debug", "detach", "detached", "div", "downside", "drop", "else", "elseifequal",
    "elseifgreaterthan", "elseiflessthan", "elseifnotequal", "end", "endif", "endwhile", "exitevent", "exitloop",
    "fixcatch", "fixdrop", "for", "ghost", "glue", "gosub", "gosubrandom", "goto", "gotorandom", "ifequal",
    "iffixed", "ifgreaterthan", "iflessthan", "ifmapped", "ifmoved", "ifnotequal", "ifnotfixed", "ifnotmapped",
    "ifnotmoved", "in", "indexof", "initialize", "keypress", "keyrelease", "label", "leftside", "let", "letcatch",
    "letchild", "letcollide", "letfix", "letframe", "letheight", "letinitx", "letinity", "letinside", "letkcf",
    "letkey", "letmapped", "letmousex", "letmousey", "letobjectx", "letobjecty", "letpal", "letparent", "letset",
    "letsibling", "lettimer", "lettransparent", "letwidth", "letz", "map", "mod", "mousein", "mouseout", "move",
    "movebyx", "movebyy", "moverandx", "moverandy", "moveto", "movetorand", "mul", "music", "never", "next",
    "nop", "notify", "out", "overflow", "press", "quit", "random", "randomtimer", "release", "repeat",
    "restrictx", "restricty", "rightside", "set", "setfix", "setframe", "setkcf", "shell", "sound", "stillin",
    "stillout", "strlen", "sub", "substr", "timer", "transparent", "unfix", "unmap", "upside", "version",
    "viewport", "while", "windowsize",
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isKnown(const std::string& name)
{
    return std::binary_search(std::begin(COMMANDS), std::end(COMMANDS), name.c_str(),
                              [](const char* a, const char* b) { return strcmp(a, b) < 0; });
}

std::string lowercase(std::string name)  // the name is letters only
{
    for (char& c : name)
        c = c >= 'A' && c <= 'Z' ? (char)(c + ('a' - 'A')) : c;
    return name;
}

// Steps through a line by characters, counting them from 1.
struct Characters {
    const char* at;
    const char* end;
    int64_t column;

    bool done() const { return at >= end; }
    char peek() const { return at < end ? *at : '\0'; }
    void next()
    {
        at += sjisCharBytes(at, end);
        ++column;
    }
    void skipSpaces()
    {
        while (!done() && (*at == ' ' || *at == '\t'))
            next();
    }
};

KissFileProblem problem(KissProblem code, int64_t column)
{
    KissFileProblem result;
    result.problem = code;
    result.number[0] = column;
    return result;
}

}  // namespace

bool isEventHandlerLine(const std::string& line)
{
    const size_t prefix = 2 + strlen(EVENT_HANDLER);
    if (line.compare(0, prefix, std::string(";@") + EVENT_HANDLER) != 0)
        return false;
    Characters rest = {line.data() + prefix, line.data() + line.size(), 0};
    if (rest.peek() == '(') {
        rest.next();
        if (rest.peek() != ')')
            return false;
        rest.next();
    }
    rest.skipSpaces();
    return rest.done() || rest.peek() == ';';
}

std::vector<KissFileProblem> fkissLineProblems(const std::string& line)
{
    std::vector<KissFileProblem> problems;
    if (isEventHandlerLine(line))
        return problems;
    Characters c = {line.data() + 2, line.data() + line.size(), 3};  // after ";@"
    for (c.skipSpaces(); !c.done() && c.peek() != ';'; c.skipSpaces()) {
        const int64_t start = c.column;
        std::string name;
        for (; isLetter(c.peek()); c.next())
            name += c.peek();
        c.skipSpaces();
        if (name.empty() || c.peek() != '(') {
            problems.push_back(problem(KISS_FKISS_SYNTAX, c.column));
            return problems;
        }
        if (!isKnown(name))
            problems.push_back(problem(isKnown(lowercase(name)) ? KISS_FKISS_NOT_LOWERCASE : KISS_FKISS_UNKNOWN_COMMAND,
                                       start));
        // The arguments, up to the closing parenthesis; strings may hold anything.
        const int64_t open = c.column;
        int depth = 0;
        do {
            if (c.peek() == '"') {
                const int64_t quote = c.column;
                for (c.next(); !c.done() && c.peek() != '"'; c.next()) {
                }
                if (c.done()) {
                    problems.push_back(problem(KISS_FKISS_SYNTAX, quote));
                    return problems;
                }
            } else if (c.peek() == '(') {
                ++depth;
            } else if (c.peek() == ')') {
                --depth;
            }
            c.next();
        } while (depth > 0 && !c.done());
        if (depth > 0) {
            problems.push_back(problem(KISS_FKISS_SYNTAX, open));
            return problems;
        }
    }
    return problems;
}
