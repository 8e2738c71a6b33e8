// The pictures a command line names. A folder stands for the files in it
// (not its subfolders), a name with * or ? for the files it matches, each
// set in name order; the files are then sorted: KiSS files (.cel, .kcf,
// .cnf) and files that are not pictures are counted and skipped, never
// tried, so that `export *` in a folder of cels and pictures converts the
// pictures alone.
#ifndef PORVANE_PICTURE_LIST_H
#define PORVANE_PICTURE_LIST_H

#include <string>
#include <vector>

struct PictureList {
    std::vector<std::wstring> pictures;   // to convert; a name that names nothing is kept, to be reported
    std::vector<std::wstring> unmatched;  // names with * or ? that matched no file
    size_t kissFiles = 0;
    size_t otherFiles = 0;
};

PictureList listPictures(const std::vector<std::wstring>& names);

// True for a name with * or ? in it.
bool hasWildcard(const std::wstring& name);

#endif
