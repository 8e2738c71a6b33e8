// `porvane-host pack FOLDER NAME.lzh`: a finished set's folder as one LZH
// archive, as doll makers pass dolls around (what goes in:
// handover/archive_output.h), and one line saying what was packed or why
// nothing was. The doll command's --lzh packs its set the same way.
#ifndef PORVANE_PACK_COMMAND_H
#define PORVANE_PACK_COMMAND_H

#include <string>

#include "../handover/archive_output.h"

struct PackRequest {
    std::wstring folder;
    std::wstring archive;
};

// Returns the exit status: 0 when the archive was written, 1 otherwise.
int packCommand(const PackRequest& request);

// The line of a pack of `folder` into `archive`: "doll.lzh: the 9 files of
// doll (386,174 bytes) packed into 73,612 bytes", or why it was not written.
std::wstring packLine(const std::wstring& folder, const std::wstring& archive, const PackProblem& problem,
                      const PackedFolder& packed);

#endif
