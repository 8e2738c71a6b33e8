// What the converter writes, and the only way it writes: a cel through the
// plug-in's CreatePicture, handed over as the host picture program hands it,
// and a palette through the plug-in's own file writer (a temporary file
// beside the destination, put in place only when complete). No file is
// created any other way.
#ifndef PORVANE_KISS_OUTPUT_H
#define PORVANE_KISS_OUTPUT_H

#include <string>
#include <vector>

#include "file_access.h"
#include "plugin_loader.h"
#include "source_picture.h"

// Files no destination may be: the pictures being converted, however their
// names are spelled.
typedef std::vector<FileIdentity> ProtectedFiles;

struct CelOutcome {
    bool handedOver;      // false: refused before the plug-in was called
    LONG status;          // what CreatePicture returned; EXPORT_WRITE_ERROR when it was not called
    std::string written;  // the name the plug-in wrote (palette mode may change it)
    std::string failure;  // why not, in words, when status is not EXPORT_OK
};

// Hands `picture` to the plug-in to be saved as `destination`, with the
// host's progress callback and user value. A destination that is one of
// `protectedFiles`, or too long for the host's path buffer, is refused
// without calling the plug-in.
CelOutcome exportCel(const Plugin& plugin, const SourcePicture& picture, const std::string& destination,
                     const ProtectedFiles& protectedFiles, ProgressCallback progress, LONG userValue);

// Writes the KiSS palette that goes with an indexed picture's cel: its colour
// table, so that colour index i of the cel means palette entry i; entries
// the table does not have are black. Returns 0 with the reason in words.
int writePalette(const SourcePicture& picture, const std::string& path, const ProtectedFiles& protectedFiles,
                 std::string* failure);

#endif
