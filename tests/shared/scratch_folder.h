// A fresh folder for a test's files, removed with all it holds, for both
// builds: under the system's temporary folder (TMPDIR natively, GetTempPath
// under Wine). Natively the registry file of the platform layer points into
// it while it lives, so that no test touches the user's own. Free of gtest.
#ifndef PORVANE_SCRATCH_FOLDER_H
#define PORVANE_SCRATCH_FOLDER_H

#include <string>
#include <vector>

struct ScratchFolder {
    ScratchFolder();  // aborts when no folder can be made: no test can go on without it
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // `name` in the folder, with the build's own separator.
    std::string path(const std::string& name) const { return folder + separator + name; }
    // `name` in the folder as the host names it: with backslashes.
    std::string windowsPath(const std::string& name) const;
    // What the folder holds, sorted (natively without the registry file).
    std::vector<std::string> names() const;

    std::string folder;  // no trailing separator
#ifdef _WIN32
    static constexpr char separator = '\\';
#else
    static constexpr char separator = '/';
#endif
};

// The names in `folder`, sorted, without "." and "..". Under Wine the names
// are in the ANSI code page, and folders too long for the ANSI calls work.
std::vector<std::string> folderEntries(const std::string& folder);

// Removes `path`, a file or a folder with all it holds.
void removeTree(const std::string& path);

#ifdef _WIN32
// `path` for the wide file functions: with "\\?\" in front when it is too
// long for the ANSI ones.
std::wstring wholePath(const std::string& path);
#endif

#endif
