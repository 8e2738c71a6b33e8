#include "configuration_text.h"

static std::wstring number(long long value)
{
    return std::to_wstring(value);
}

size_t ansiBytesAtMost(const std::wstring& line)
{
    size_t bytes = 0;
    for (wchar_t c : line)
        bytes += (unsigned)c < 0x80 ? 1 : 2;
    return bytes;
}

// `text` cut so that `line + text` stays within a line's bytes.
static std::wstring fitted(const std::wstring& line, const std::wstring& text)
{
    std::wstring kept;
    size_t bytes = ansiBytesAtMost(line);
    for (wchar_t c : text) {
        bytes += (unsigned)c < 0x80 ? 1 : 2;
        if (bytes > KISS_LONGEST_LINE)
            break;
        kept += c;
    }
    return kept;
}

static void addComment(const std::wstring& comment, std::wstring* text)
{
    *text += fitted(L"", L"; " + comment) + L"\r\n";
}

// `$group x,y x,y ...`, continued on lines that start with a space.
static void addSetLine(int group, const std::vector<Position>& positions, std::wstring* text)
{
    std::wstring line = L"$" + number(group);
    for (const Position& at : positions) {
        const std::wstring item = L" " + number(at.x) + L"," + number(at.y);
        if (ansiBytesAtMost(line + item) > KISS_LONGEST_LINE) {
            *text += line + L"\r\n";
            line.clear();
        }
        line += item;
    }
    *text += line + L"\r\n";
}

std::wstring configurationText(const SetPlan& plan, const SetsLayout& layout, const ConfigurationComments& comments)
{
    std::wstring text;
    for (const std::wstring& comment : comments.heading)
        addComment(comment, &text);
    text += L"(" + number(layout.playfieldWidth) + L"," + number(layout.playfieldHeight) + L")\r\n";
    text += L"[0\r\n";  // the border: colour 0 of the first palette, the background
    for (const std::wstring& palette : plan.palettes)
        text += L"%" + palette + L"\r\n";

    // Objects front first: the top layer is object 0.
    const size_t count = plan.parts.size();
    for (size_t object = 0; object < count; ++object) {
        const PlannedPart& part = plan.parts[count - 1 - object];
        std::wstring line = L"#" + number((long long)object);
        if (part.fixed)
            line += L"." + number(KISS_FIXED_IN_PLACE);
        line += L" " + part.cel + L" *" + number((long long)part.palette);
        if (!part.layerName.empty())
            line += fitted(line, L" ; " + part.layerName);
        text += line + L"\r\n";
    }
    for (size_t set = 0; set < layout.sets.size(); ++set) {
        if (set < comments.sets.size())
            addComment(comments.sets[set], &text);
        // Each colour set is coloured with its own group; the dress-up set,
        // the last, with the colours as drawn.
        const bool dressUp = layout.dressUp && set + 1 == layout.sets.size();
        std::vector<Position> frontFirst(layout.sets[set].rbegin(), layout.sets[set].rend());
        addSetLine(dressUp ? 0 : (int)set, frontFirst, &text);
    }
    return text;
}
