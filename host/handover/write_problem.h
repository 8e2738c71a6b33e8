// Why a file was not written: one code, from the error the system gave at
// the step that failed, and from what stands at the name where the error
// alone does not say (access is denied alike for a read-only file, a folder
// and a folder the user may not write to). The words are chosen where the
// line is printed (words/problem_words.h).
#ifndef PORVANE_WRITE_PROBLEM_H
#define PORVANE_WRITE_PROBLEM_H

#include <windows.h>

#include <stdint.h>

#include <string>

enum WriteProblemCode {
    WRITE_DONE = 0,          // no problem
    WRITE_FOLDER_MISSING,    // path: the folder
    WRITE_FOLDER_IS_FILE,    // path: the file standing where the folder should
    WRITE_NAME_IS_FOLDER,
    WRITE_READ_ONLY,
    WRITE_HELD_BY_ANOTHER,
    WRITE_NO_PERMISSION,     // the folder may not be written to
    WRITE_DISK_FULL,
    WRITE_DISK_READ_ONLY,    // a write-protected disk or card
    WRITE_NAME_TOO_LONG,     // the name, or its folder for the temporary file beside it
    WRITE_NAME_NOT_ALLOWED,  // characters Windows does not allow in a name
    WRITE_IS_A_PICTURE,      // one of the pictures being converted
    WRITE_STOPPED,           // the progress callback asked to stop
    WRITE_NO_MEMORY,
    WRITE_PLUGIN_ANSWERED,   // number: what CreatePicture returned
    WRITE_CANNOT_CREATE,     // none of the above: the file cannot be created there
    WRITE_CANNOT_REPLACE,    // none of the above: the file there cannot be replaced
};

struct WriteProblem {
    WriteProblemCode code = WRITE_DONE;
    std::wstring path;
    int64_t number = 0;
};

// Why `path` could not be written, from `error`, GetLastError() as the
// failed step left it.
WriteProblem diagnoseWriteFailure(const std::wstring& path, DWORD error);

#endif
