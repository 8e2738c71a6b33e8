// `porvane-host unpack DOLL --to FOLDER`: every cel of a finished doll as a
// PNG picture with its colours, as a doll maker takes a doll apart to draw
// on it again. DOLL is a configuration, its folder or its LZH archive
// (doll_source.h); the cels are those its configurations name, each once,
// in the order they are listed.
//
// A cel of colour numbers is coloured by its palette (the one its line
// names, palette 0 where there is no such palette, as viewers do) in palette
// group 0, colour 0 transparent (kiss_files/kiss_picture.h); a 32-bit cel is
// as it is. Each becomes NAME.png after the cel's own name, in FOLDER (made
// when missing). A picture she has under that name is never lost: when it
// is the same picture it is left as it is, otherwise it is kept as
// NAME-old.png (NAME-old2.png, ... when that is taken too), and the line
// says so.
#ifndef PORVANE_UNPACK_COMMAND_H
#define PORVANE_UNPACK_COMMAND_H

#include <string>

struct UnpackRequest {
    std::wstring doll;
    std::wstring toFolder;
};

// Returns the exit status: 0 when every cel became a picture, 1 otherwise.
int unpackCommand(const UnpackRequest& request);

#endif
