// Palette mode: with the user's "ChengePallet" setting at exactly 1, a 24-bit
// picture of exactly 256 x 1 pixels (a strip of 256 colours) is written as a
// KiSS palette instead of a cel. Its 24-bit row already is a palette's data
// block, and depth 24, width 256, height 1 already are a palette's header
// fields; only the mark changes, and the file name gets the extension ".kcf"
// where the end of the name allows it.
#ifndef PORVANE_PALETTE_MODE_H
#define PORVANE_PALETTE_MODE_H

#include <stdint.h>

#include "cel_format.h"

namespace PaletteMode {

// Called once per export, after the conversion and before the file is
// created. Reads the setting (every time), and when palette mode applies
// rewrites `path` in place (the host leaves room for 4 more characters) and
// marks the header as a palette.
void apply(int16_t depth, int32_t width, int32_t height, char* path, CelHeader* header);

// The rename rule on its own: looking back from the end over the last six
// bytes, a folder separator (backslash or slash) means the name has no
// extension (".kcf" is appended), a full stop starts the extension (it is
// replaced by ".kcf"); otherwise the name stays. The second byte of a
// double-byte character counts as neither. A name that does not fit 255 characters before
// or after the rewrite also stays. Returns 1 when `path` was changed.
int renameToPalette(char* path);

}

#endif
