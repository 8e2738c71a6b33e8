#include "made_record.h"

#include <stdio.h>
#include <string.h>

#include <zlib.h>

#include "../kiss_files/kiss_configuration.h"
#include "../kiss_files/kiss_names.h"

static const char RECORD_PREFIX[] = "; made by porvane-host: ";
enum {
    PREFIX_BYTES = sizeof RECORD_PREFIX - 1,
    CRC_DIGITS = 8,
    // The name, a space and the digits after the prefix, within the bytes a
    // viewer reads of a line.
    LONGEST_RECORDED_NAME = KISS_LONGEST_LINE - PREFIX_BYTES - 1 - CRC_DIGITS,
};

// ---------------------------------------------------------------------------
// Names

bool recordableName(const std::wstring& name)
{
    if (name.empty() || name.size() > LONGEST_RECORDED_NAME)
        return false;
    for (wchar_t c : name)
        if (c <= L' ' || c > L'~')
            return false;
    return true;
}

// A recordable name's bytes.
static std::string ascii(const std::wstring& name)
{
    return std::string(name.begin(), name.end());
}

static bool sameName(const std::wstring& a, const std::wstring& b)
{
    return recordableName(a) && recordableName(b) ? sameKissName(ascii(a), ascii(b)) : a == b;
}

// ---------------------------------------------------------------------------
// Lines

static uint32_t crcOf(uint32_t crc, const uint8_t* bytes, size_t size)
{
    while (size > 0) {  // zlib counts in uInt
        const uInt piece = size > 0x40000000u ? 0x40000000u : (uInt)size;
        crc = (uint32_t)crc32(crc, bytes, piece);
        bytes += piece, size -= piece;
    }
    return crc;
}

static std::string recordLine(const std::wstring& name, uint32_t crc)
{
    char digits[CRC_DIGITS + 1];
    snprintf(digits, sizeof digits, "%08x", (unsigned)crc);
    return RECORD_PREFIX + ascii(name) + " " + digits + "\r\n";
}

// One line of the text: [begin, end) without its line end; `next` is where
// the following line starts.
struct Line {
    size_t begin, end, next;
};

static Line lineAt(const uint8_t* bytes, size_t size, size_t at)
{
    const uint8_t* newline = (const uint8_t*)memchr(bytes + at, '\n', size - at);
    Line line = {at, newline != NULL ? (size_t)(newline - bytes) : size, 0};
    line.next = newline != NULL ? line.end + 1 : size;
    if (line.end > line.begin && bytes[line.end - 1] == '\r')
        --line.end;
    return line;
}

static bool isHexDigit(uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The file a record line names and its CRC; false when the line is not one.
static bool readRecordLine(const uint8_t* bytes, const Line& line, MadeFile* file)
{
    const size_t length = line.end - line.begin;
    const char* text = (const char*)bytes + line.begin;
    if (length < PREFIX_BYTES + 2 + CRC_DIGITS || memcmp(text, RECORD_PREFIX, PREFIX_BYTES) != 0 ||
        text[length - CRC_DIGITS - 1] != ' ')
        return false;
    uint32_t crc = 0;
    for (size_t i = length - CRC_DIGITS; i < length; ++i) {
        if (!isHexDigit((uint8_t)text[i]))
            return false;
        crc = crc << 4 | (uint32_t)(text[i] <= '9' ? text[i] - '0' : text[i] - 'a' + 10);
    }
    const std::string name(text + PREFIX_BYTES, text + length - CRC_DIGITS - 1);
    file->name.assign(name.begin(), name.end());
    file->crc = crc;
    return recordableName(file->name);
}

// ---------------------------------------------------------------------------

uint32_t madeCrc(const std::wstring& name, const uint8_t* bytes, size_t size)
{
    // The last line that records `name`, with its line end, is left out.
    Line own = {size, size, size};
    for (size_t at = 0; at < size;) {
        const Line line = lineAt(bytes, size, at);
        MadeFile file;
        if (readRecordLine(bytes, line, &file) && sameName(file.name, name))
            own = line;
        at = line.next;
    }
    const uint32_t before = crcOf(0, bytes, own.begin);
    return crcOf(before, bytes + own.next, size - own.next);
}

std::string withMadeRecord(const std::string& text, const std::wstring& configurationName,
                           const std::vector<MadeFile>& files)
{
    std::string whole = text;
    if (!whole.empty() && whole.back() != '\n')
        whole += "\r\n";
    for (const MadeFile& file : files)
        if (recordableName(file.name) && !sameName(file.name, configurationName))
            whole += recordLine(file.name, file.crc);
    if (recordableName(configurationName))
        whole += recordLine(configurationName, crcOf(0, (const uint8_t*)whole.data(), whole.size()));
    return whole;
}

MadeRecord readMadeRecord(const uint8_t* configuration, size_t size)
{
    MadeRecord record;
    for (size_t at = 0; at < size;) {
        const Line line = lineAt(configuration, size, at);
        MadeFile file;
        if (readRecordLine(configuration, line, &file))
            record.push_back(file);
        at = line.next;
    }
    return record;
}

static const MadeFile* named(const std::vector<MadeFile>& files, const std::wstring& name)
{
    for (const MadeFile& file : files)
        if (sameName(file.name, name))
            return &file;
    return nullptr;
}

FileStanding standingOf(const MadeRecord& record, const MadeFile& found)
{
    const MadeFile* recorded = named(record, found.name);
    if (recorded == nullptr)
        return NOT_RECORDED;
    return recorded->crc == found.crc ? RECORDED_AS_IS : RECORDED_BUT_CHANGED;
}

SetChanges planSetChanges(const MadeRecord& old, const std::vector<MadeFile>& made,
                          const std::vector<MadeFile>& found)
{
    SetChanges changes;
    for (const MadeFile& file : found) {
        const FileStanding standing = standingOf(old, file);
        const MadeFile* replacement = named(made, file.name);
        if (replacement != nullptr && standing != RECORDED_AS_IS && replacement->crc != file.crc)
            changes.keep.push_back(file.name);
        else if (replacement == nullptr && standing == RECORDED_AS_IS)
            changes.remove.push_back(file.name);
    }
    return changes;
}
