// A KiSS set's folder packed into one LZH archive, as doll makers pass their
// dolls around: `porvane-host pack`, and the doll command's --lzh.
//
// Every file of the folder goes in, and nothing else: not its subfolders
// (a set is one flat folder), not the hidden system files Explorer leaves
// (Thumbs.db, desktop.ini), and not an older archive of the set that the new
// one replaces. Each keeps its name exactly as in the folder, in Shift_JIS
// as Japanese archivers store names, and its modification time as Explorer
// shows it (the user's local time, with the daylight saving of its own
// date). The files go in name order, so the same folder gives the same
// archive. Every file is read before the archive is made, and the archive is
// written whole or not at all (kiss_output.h).
#ifndef PORVANE_ARCHIVE_OUTPUT_H
#define PORVANE_ARCHIVE_OUTPUT_H

#include <stdint.h>

#include <string>
#include <vector>

#include "../lzh/lzh_problem.h"
#include "../pictures/picture_problem.h"
#include "write_problem.h"

enum PackProblemCode {
    PACK_DONE = 0,
    PACK_NO_SUCH_FOLDER,      // path: the folder
    PACK_NOT_A_FOLDER,        // path: the file named as the folder
    PACK_FOLDER_UNREADABLE,   // path: the folder; read: why
    PACK_FOLDER_EMPTY,        // path: the folder
    PACK_NAME_NOT_SHIFT_JIS,  // path: a file whose name Shift_JIS cannot hold
    PACK_FILE_UNREADABLE,     // path: the file; read: why
    PACK_ARCHIVE_IS_IN_SET,   // path: the archive's name, which is one of the set's files (not an .lzh)
    PACK_LZH,                 // path: the file concerned, or empty; lzh: the writer's problem
    PACK_NOT_WRITTEN,         // written: why
};

struct PackProblem {
    PackProblemCode code = PACK_DONE;
    std::wstring path;
    PictureProblemCode read = PICTURE_READ;
    LzhProblem lzh = LZH_OK;
    WriteProblem written;
};

// What went into the archive.
struct PackedFolder {
    std::vector<std::wstring> files;           // the names, in the archive's order
    std::vector<std::wstring> foldersLeftOut;  // subfolders' names
    uint64_t bytes = 0;                        // of the files
    uint64_t archiveBytes = 0;
};

// Packs the files of `folder` into the archive `archive`. On a problem no
// archive is written, and one that was there stays as it was.
PackProblem packFolder(const std::wstring& folder, const std::wstring& archive, PackedFolder* packed = NULL);

#endif
