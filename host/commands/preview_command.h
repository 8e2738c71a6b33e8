// `porvane-host preview DOLL OUT.png [--set N]`: one set of a finished doll
// (set 0 unless --set says otherwise) drawn as a viewer shows it when the
// doll opens (kiss_files/kiss_picture.h), saved as a PNG picture. DOLL is
// a configuration, its folder or its LZH archive (doll_source.h); of several
// configurations, the first in name order is drawn, and the line names it.
#ifndef PORVANE_PREVIEW_COMMAND_H
#define PORVANE_PREVIEW_COMMAND_H

#include <string>

struct PreviewRequest {
    std::wstring doll;
    std::wstring picture;  // the PNG to write
    int set = 0;
};

// Returns the exit status: 0 when the picture was written, 1 otherwise.
int previewCommand(const PreviewRequest& request);

#endif
