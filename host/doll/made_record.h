// What porvane wrote into a KiSS set, recorded at the end of the set's
// configuration, so that a later run into the same folder can tell the files
// it may replace without a word from those a doll maker has edited by hand
// (doll makers edit .cnf and .kcf files in text and palette editors), which
// it keeps.
//
// The record is one comment line a file, which KiSS viewers skip:
//
//     ; made by porvane-host: body.cel 2f9c0a17
//
// the prefix, the file's name in the set, a space, and the CRC-32 (ISO 3309,
// as zlib and PNG compute it) of the file's bytes in eight lowercase
// hexadecimal digits; the line ends in CR LF like the configuration's own.
// The names are plain ASCII without spaces, and every line stays within
// the 255 bytes viewers read. The configuration records itself last: its
// CRC is over its bytes without that one line. A file's recorded CRC is
// therefore always "the CRC of its bytes without the record line that names
// it" (madeCrc), the same rule for the configuration as for a cel.
//
// The record is read wherever its lines stand, so that lines she added after
// it do not hide it (they change the configuration's CRC, which then counts
// as edited). A line that starts like a record line but is not one, in full,
// is not part of the record.
#ifndef PORVANE_MADE_RECORD_H
#define PORVANE_MADE_RECORD_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct MadeFile {
    std::wstring name;  // in the set's folder
    uint32_t crc;       // madeCrc of its bytes
};
typedef std::vector<MadeFile> MadeRecord;

// The CRC-32 of `bytes` without the record line that names `name`, if they
// hold one (only a configuration does).
uint32_t madeCrc(const std::wstring& name, const uint8_t* bytes, size_t size);

// Whether `name` can stand in a record line: printable ASCII without spaces,
// short enough for the line. A file whose name cannot is left out of the
// record, so that a later run keeps it as a file it does not know.
bool recordableName(const std::wstring& name);

// The configuration `text` (Shift_JIS, lines ending in CR LF) followed by
// the record of `files` (the set's other files, as porvane wrote them) and
// then of itself, named `configurationName`. Text that does not end its last
// line gets a line end first, so that the record starts a line.
std::string withMadeRecord(const std::string& text, const std::wstring& configurationName,
                           const std::vector<MadeFile>& files);

// The record in a configuration's bytes; empty when it has none.
MadeRecord readMadeRecord(const uint8_t* configuration, size_t size);

// What a file found in the set's folder is, by the record of the set that
// was there: its bytes as porvane wrote them, changed since, or not in the
// record at all (made by hand, or by a porvane that kept no record).
enum FileStanding {
    RECORDED_AS_IS,
    RECORDED_BUT_CHANGED,
    NOT_RECORDED,
};
FileStanding standingOf(const MadeRecord& record, const MadeFile& found);

// What a new set does to the files the folder holds. `old` is the record of
// the set there (readMadeRecord of its configuration), `made` the new set's
// files, `found` the files the folder holds under the names of either
// (madeCrc of their bytes as they are). A file the new set replaces is kept
// aside unless it is as porvane made it, or has the very bytes that replace
// it (nothing is lost then); a file of the old set that the new one leaves
// out is removed when it is as porvane made it, and otherwise left where it
// is. Names are compared as Windows compares them: ASCII letters without
// regard to case.
struct SetChanges {
    std::vector<std::wstring> keep;    // replaced, but hers: to be kept under another name
    std::vector<std::wstring> remove;  // the old set's, untouched, and not in the new set
};
SetChanges planSetChanges(const MadeRecord& old, const std::vector<MadeFile>& made,
                          const std::vector<MadeFile>& found);

#endif
