#include "kiss_configuration.h"

#include <string.h>

namespace {

// Positions fit five characters in viewers' readers (GnomeKiss reads no
// more), and a playfield side or colour number a 32-bit number.
const int64_t LARGEST_POSITION = 99999, SMALLEST_POSITION = -9999;
const int64_t LARGEST_INT32 = 0x7FFFFFFF;
const int64_t NUMBER_CEILING = (int64_t)1 << 40;  // digits past it only make the number "too large"

// Whether `c` is one of `set`; never for the byte 0, which a line may hold
// and strchr would find at the end of `set`.
bool oneOf(char c, const char* set)
{
    return c != '\0' && strchr(set, c) != NULL;
}

// What is left of a line to read.
struct Cursor {
    const char* at;
    const char* end;

    bool done() const { return at >= end; }
    char peek() const { return at < end ? *at : '\0'; }
    void skipSpaces()
    {
        while (at < end && (*at == ' ' || *at == '\t'))
            ++at;
    }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++at;
        return true;
    }
    // Nothing left but spaces and a comment.
    bool restIsEmpty()
    {
        skipSpaces();
        return done() || *at == ';';
    }
    // Up to the next space, tab, ';' or one of `stops`.
    std::string word(const char* stops = "")
    {
        const char* start = at;
        while (at < end && !oneOf(*at, " \t;") && !oneOf(*at, stops))
            ++at;
        return std::string(start, at);
    }
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A decimal number, with a '-' in front when `signedNumber`. False when
// there is no digit; a number past NUMBER_CEILING reads as NUMBER_CEILING.
bool readNumber(Cursor* cursor, bool signedNumber, int64_t* value)
{
    const bool negative = signedNumber && cursor->take('-');
    if (!isDigit(cursor->peek()))
        return false;
    int64_t n = 0;
    while (isDigit(cursor->peek())) {
        n = n * 10 + (*cursor->at++ - '0');
        if (n > NUMBER_CEILING)
            n = NUMBER_CEILING;
    }
    *value = negative ? -n : n;
    return true;
}

class Reader {
public:
    explicit Reader(KissConfiguration* cnf) : cnf_(cnf) {}

    void line(uint32_t number, const char* begin, const char* end)
    {
        number_ = number;
        lineBegin_ = begin;
        const bool continues = continuingSet_;
        continuingSet_ = false;
        if ((size_t)(end - begin) > KISS_LONGEST_LINE)
            problem(KISS_LINE_TOO_LONG, end - begin);
        Cursor cursor = {begin, end};
        switch (cursor.peek()) {
        case '=':
            cnf_->memory.assign(begin + 1, end);
            return;
        case '(':
            return playfield(cursor);
        case '[':
            return border(cursor);
        case '%':
            return palette(cursor);
        case '#':
            return cel(cursor);
        case '$':
            return setLine(cursor);
        case ';':
            if (end - begin >= 2 && begin[1] == '@')
                cnf_->fkiss.push_back({number_, std::string(begin, end)});
            return;
        case ' ':
            if (continues)
                return positions(cursor, &cnf_->sets.back());
            break;
        default:
            break;
        }
        if (!cursor.restIsEmpty())
            cnf_->unknown.push_back({number_, std::string(begin, end)});
    }

private:
    void problem(KissProblem code, int64_t first = 0, int64_t second = 0)
    {
        KissFinding finding;
        finding.line = number_;
        finding.problem = code;
        finding.number[0] = first, finding.number[1] = second;
        cnf_->problems.push_back(finding);
    }

    void playfield(Cursor cursor)
    {
        int64_t width = 0, height = 0;
        cursor.take('(');
        cursor.skipSpaces();
        bool good = readNumber(&cursor, false, &width);
        cursor.skipSpaces();
        good = good && cursor.take(',');
        cursor.skipSpaces();
        good = good && readNumber(&cursor, false, &height);
        cursor.skipSpaces();
        good = good && cursor.take(')') && cursor.restIsEmpty();
        if (!good || width < 1 || height < 1 || width > LARGEST_INT32 || height > LARGEST_INT32)
            return problem(KISS_PLAYFIELD_UNREADABLE);
        cnf_->playfieldGiven = true;
        cnf_->playfieldLine = number_;
        cnf_->width = (int32_t)width, cnf_->height = (int32_t)height;
    }

    void border(Cursor cursor)
    {
        int64_t colour = 0;
        cursor.take('[');
        cursor.skipSpaces();
        if (!readNumber(&cursor, false, &colour) || colour > 255 || !cursor.restIsEmpty())
            return problem(KISS_BORDER_UNREADABLE);
        cnf_->border = (int32_t)colour;
    }

    void palette(Cursor cursor)
    {
        cursor.take('%');
        cursor.skipSpaces();
        KissPaletteLine palette;
        palette.line = number_;
        palette.name = cursor.word();
        if (palette.name.empty())
            cnf_->unknown.push_back({number_, std::string(lineBegin_, cursor.end)});
        else
            cnf_->palettes.push_back(palette);
    }

    // #OBJ[.FIX] NAME [*PAL] [:S S ...] [; comment]
    void cel(Cursor cursor)
    {
        KissCelLine cel;
        cel.line = number_;
        int64_t object = 0, fix = 0;
        cursor.take('#');
        if (!readNumber(&cursor, false, &object) || (cursor.take('.') && !readNumber(&cursor, false, &fix)))
            return problem(KISS_CEL_LINE_UNREADABLE);
        cursor.skipSpaces();
        cel.name = cursor.word("*:");
        if (cel.name.empty())
            return problem(KISS_CEL_LINE_UNREADABLE);
        if (object > KISS_LARGEST_OBJECT)
            return problem(KISS_OBJECT_NUMBER_TOO_LARGE, object, KISS_LARGEST_OBJECT);
        cel.object = (int32_t)object;
        if (fix > KISS_LARGEST_FIX)
            problem(KISS_FIX_TOO_LARGE, fix, KISS_LARGEST_FIX);
        cel.fix = (int32_t)(fix < KISS_LARGEST_FIX ? fix : KISS_LARGEST_FIX);

        bool readable = true, colon = false, anySet = false;
        for (cursor.skipSpaces(); !cursor.restIsEmpty(); cursor.skipSpaces()) {
            int64_t n = 0;
            if (cursor.take(':')) {  // the sets, written ":0 1 2" or ": 0 1 2"
                colon = true;
                cel.sets = 0;
                continue;
            }
            if (cursor.take('*')) {
                if (readNumber(&cursor, false, &n))
                    cel.palette = (int32_t)(n < LARGEST_INT32 ? n : LARGEST_INT32);
                else
                    readable = false;
            } else if (colon && readNumber(&cursor, false, &n)) {
                anySet = true;
                if (n >= KISS_SETS)
                    problem(KISS_SET_OUT_OF_RANGE, n);
                else
                    cel.sets |= (uint16_t)(1 << n);
            } else {
                readable = false;
            }
            // A number runs into something else.
            if (!cursor.done() && !oneOf(cursor.peek(), " \t;:*")) {
                readable = false;
                cursor.word();
            }
        }
        if (!readable)
            problem(KISS_CEL_LINE_UNREADABLE);
        if (colon && !anySet)
            problem(KISS_NO_SETS_AFTER_COLON);
        if (cursor.take(';'))
            cel.comment.assign(cursor.at, cursor.end);
        cnf_->cels.push_back(cel);
    }

    void setLine(Cursor cursor)
    {
        KissSetLine set;
        set.line = number_;
        int64_t group = 0;
        cursor.take('$');
        if (cnf_->sets.size() >= KISS_SETS)
            problem(KISS_TOO_MANY_SETS, (int64_t)cnf_->sets.size() + 1, KISS_SETS);
        if (!readNumber(&cursor, false, &group) || group > 255)
            problem(KISS_SET_LINE_UNREADABLE, 0);
        else
            set.paletteGroup = (int32_t)group;
        cnf_->sets.push_back(set);
        positions(cursor, &cnf_->sets.back());
    }

    // X,Y or '*' for each next object, up to the end of the line or a ';'.
    // A position that cannot be read ends the line, as in viewers.
    void positions(Cursor cursor, KissSetLine* set)
    {
        for (cursor.skipSpaces(); !cursor.restIsEmpty(); cursor.skipSpaces()) {
            KissPosition position;
            int64_t x = 0, y = 0;
            if (cursor.take('*')) {
                position.given = false;
            } else if (readNumber(&cursor, true, &x) && cursor.take(',') && readNumber(&cursor, true, &y) &&
                       x >= SMALLEST_POSITION && x <= LARGEST_POSITION && y >= SMALLEST_POSITION &&
                       y <= LARGEST_POSITION) {
                position.given = true;
                position.x = (int32_t)x, position.y = (int32_t)y;
            } else {
                return problem(KISS_SET_LINE_UNREADABLE, (int64_t)set->positions.size() + 1);
            }
            if (!cursor.done() && cursor.peek() != ' ' && cursor.peek() != '\t' && cursor.peek() != ';')
                return problem(KISS_SET_LINE_UNREADABLE, (int64_t)set->positions.size() + 1);
            set->positions.push_back(position);
        }
        continuingSet_ = true;
    }

    KissConfiguration* cnf_;
    uint32_t number_ = 0;
    const char* lineBegin_ = NULL;
    bool continuingSet_ = false;  // the line before was a set line or its continuation
};

}  // namespace

KissConfiguration readConfiguration(const uint8_t* text, size_t size)
{
    KissConfiguration cnf;
    Reader reader(&cnf);
    const char *at = (const char*)text, *end = at + size;
    uint32_t number = 0;
    while (at < end) {
        const char* lineEnd = at;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
            ++lineEnd;
        reader.line(++number, at, lineEnd);
        at = lineEnd;
        if (at < end && *at == '\r' && at + 1 < end && at[1] == '\n')
            at += 2;  // CR LF
        else if (at < end)
            ++at;  // CR or LF
    }
    return cnf;
}
