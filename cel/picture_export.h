// Saving the host's picture as a KiSS cel, or as a palette in palette mode.
//
// The call reports progress 0 of 1, locks the host's two handles, converts the
// picture into one block in memory, lets palette mode choose the kind of file
// and its name, writes the file (header, then block), releases everything in
// the order file, header handle, bits handle, block, and reports progress 1 of
// 1 once a file was created. Results:
//
//   0    the file is written
//   101  the progress callback asked to stop (at the start nothing is touched;
//        at the end the file is complete or, if writing failed, unchanged)
//   104  the picture cannot be held: a handle cannot be locked, the block
//        cannot be allocated, or the picture is too large for a cel
//   109  no file can be created at the path, or writing it failed; the file
//        that stood at the path before, if any, is unchanged
#ifndef PORVANE_PICTURE_EXPORT_H
#define PORVANE_PICTURE_EXPORT_H

#include "../base/host_records.h"

LONG exportPicture(LPSTR path, HLOCAL* bitmapInfo, HLOCAL* bits, const PictureInfoRecord* info,
                   ProgressCallback progress, LONG userValue);

#endif
