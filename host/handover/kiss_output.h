// What the converter writes, and the only way it writes: a cel through the
// plug-in's CreatePicture, handed over as the host picture program hands it,
// and a palette, a configuration, an archive or a picture through the
// plug-in's own file writer (a temporary file beside the destination, put in
// place only when complete). No file is created any other way.
//
// The plug-in takes ANSI paths. A destination whose name the ANSI code page
// cannot hold (ハート♥.cel on Japanese Windows, 顔.cel on a Western one) is
// written under a stand-in name of plain letters in its own folder, reached
// as the current folder so that the folder's own name never needs to be
// ANSI, and the finished file then takes its real name by the writer's
// rules: a read-only file is not replaced, and another program's brief hold
// is ridden out.
#ifndef PORVANE_KISS_OUTPUT_H
#define PORVANE_KISS_OUTPUT_H

#include <string>
#include <vector>

#include "../system/file_access.h"
#include "plugin_loader.h"
#include "source_picture.h"
#include "write_problem.h"

// Files no destination may be: the pictures being converted, however their
// names are spelled.
typedef std::vector<FileIdentity> ProtectedFiles;

// Whether `path` names one of `protectedFiles`.
bool isProtected(const std::wstring& path, const ProtectedFiles& protectedFiles);

// Names longer than this are refused before anything is tried: MAX_PATH
// with room for the terminating zero, as Windows' own calls take them.
const size_t MAX_NAME_CHARACTERS = MAX_PATH - 1;

struct CelOutcome {
    LONG status;           // what CreatePicture returned; EXPORT_WRITE_ERROR when it was not called
    std::wstring written;  // the name written (palette mode may change the extension)
    WriteProblem problem;  // why not, when status is not EXPORT_OK
};

// Hands `picture` to the plug-in to be saved as `destination`, with the
// host's progress callback and user value. A destination that is one of
// `protectedFiles`, or too long for the host's path buffer, is refused
// without calling the plug-in.
CelOutcome exportCel(const Plugin& plugin, const SourcePicture& picture, const std::wstring& destination,
                     const ProtectedFiles& protectedFiles, ProgressCallback progress, LONG userValue);

// Writes the KiSS palette that goes with cels of colour indices: `colours`
// (0xAARRGGBB, alpha unused), so that colour index i of a cel means palette
// entry i; entries past the end are black. Returns what went wrong, if anything.
WriteProblem writePalette(const std::vector<uint32_t>& colours, const std::wstring& path,
                          const ProtectedFiles& protectedFiles);

// The same with several palette groups (a viewer's set k shows group k),
// each of its own colours; every group takes all 256 entries.
WriteProblem writePaletteGroups(const std::vector<std::vector<uint32_t>>& groups, const std::wstring& path,
                                const ProtectedFiles& protectedFiles);

// The bytes of that palette file: its header, then each group's colours.
std::string paletteFile(const std::vector<std::vector<uint32_t>>& groups);

// Writes `text` as the file `path` through the plug-in's file writer: a KiSS
// set's configuration. Returns what went wrong, if anything.
WriteProblem writeTextFile(const std::string& text, const std::wstring& path);

// Writes `size` bytes as the file `path` the same way: an LZH archive, a PNG
// picture. A file of more than 4 GB cannot be written in one piece, and is
// refused as one that cannot be created.
WriteProblem writeBytesFile(const uint8_t* bytes, size_t size, const std::wstring& path,
                            const ProtectedFiles& protectedFiles);

#endif
