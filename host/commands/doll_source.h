// A finished doll as check, preview and unpack read it: its configurations,
// and the files they name, found as a viewer finds them.
//
// The doll maker names one of:
//   - a configuration (.cnf): the doll's files are the others in its folder;
//   - a folder: every configuration in it, each with the folder's files;
//   - an LZH archive (.lzh, .lha), as dolls are passed around: every
//     configuration in it, and every file, by its name alone, in whatever
//     folder of the archive it lies, since viewers unpack the archive and
//     then look for each file by name.
// A file is found as KiSS viewers on Windows find it: the name spelled
// exactly so, else the first spelled the same but for the case of ASCII
// letters (kiss_names.h). Names are compared in Shift_JIS, as
// configurations write them; a file whose name Shift_JIS cannot hold is one
// no configuration can name. Subfolders of a folder are not looked into.
#ifndef PORVANE_DOLL_SOURCE_H
#define PORVANE_DOLL_SOURCE_H

#include <stdint.h>

#include <string>
#include <vector>

#include "../handover/kiss_output.h"
#include "../kiss_files/kiss_check.h"
#include "../lzh/lzh_reader.h"
#include "../pictures/picture_problem.h"

// The most of an archive that is unpacked to be read: a doll's files are a
// few megabytes, and a 32-bit cel of 8,000 pixels a side stays within these.
const uint64_t DOLL_LARGEST_ARCHIVE_ENTRY = 256u << 20;
const uint64_t DOLL_LARGEST_ARCHIVE_TOTAL = 512u << 20;

struct DollConfiguration {
    std::wstring name;         // its file name, for the doll maker's eyes
    std::string kissName;      // the same in Shift_JIS, as the check names it
    PictureProblemCode read = PICTURE_READ;  // or why it could not be read
    std::vector<uint8_t> bytes;
};

enum DollOpenCode {
    DOLL_OPENED = 0,
    DOLL_NOT_READ,           // read: why the configuration, folder or archive could not be read
    DOLL_NOT_AN_ARCHIVE,     // lzh: why the archive could not be read at all
    DOLL_NO_CONFIGURATION,   // the folder or archive holds no .cnf
    DOLL_NOT_A_DOLL,         // a file that is neither a configuration nor an archive
};

struct DollOpenProblem {
    DollOpenCode code = DOLL_OPENED;
    PictureProblemCode read = PICTURE_READ;
    LzhProblem lzh = LZH_OK;
};

class Doll {
public:
    // Reads what `given` names. Configurations come in name order.
    DollOpenProblem open(const std::wstring& given);

    const std::wstring& given() const { return given_; }
    const std::vector<DollConfiguration>& configurations() const { return configurations_; }
    // For an archive: its entries (with their problems) and where reading
    // stopped; empty for a folder.
    const LzhArchive& archive() const { return archive_; }
    bool isArchive() const { return isArchive_; }
    // The file or archive named, which nothing the command writes may replace.
    const ProtectedFiles& ownFiles() const { return ownFiles_; }

    // The file a configuration names `name`, as kiss_check.h describes it.
    KissFetched fetch(const std::string& name) const;
    // The name of that file as it is, without reading it; empty when there is none.
    std::string foundName(const std::string& name) const;
    KissFetcher fetcher() const
    {
        return [this](const std::string& name) { return fetch(name); };
    }

private:
    DollOpenProblem openFolder(const std::wstring& folder, const std::wstring& onlyConfiguration);
    DollOpenProblem openArchive();

    std::wstring given_;
    bool isArchive_ = false;
    std::vector<DollConfiguration> configurations_;
    std::vector<std::string> names_;    // every file's name, Shift_JIS, without folders
    std::vector<std::wstring> paths_;   // a folder's: each file's path, beside `names_`
    LzhArchive archive_;                // an archive's: each entry, beside `names_`
    ProtectedFiles ownFiles_;
};

// Opens the doll `given` names and says, a line each, what of it cannot be
// read: the archive's damaged entries, or why nothing can be read at all.
// False when there is no configuration to go on with; `*archiveDamaged`
// (when given) tells whether the archive had anything to say.
bool openDollAndSay(const std::wstring& given, Doll* doll, bool* archiveDamaged = NULL);

#endif
