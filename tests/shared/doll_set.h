// The files of a KiSS set as a doll maker's drawing becomes one, made here
// for the LZH tests and benchmark: 8-bit cels of soft-edged shapes on index
// 0 (a band of in-between indices at each edge), 32-bit cels of shaded
// shapes with a brush's grain whose alpha fades at the edges, palettes of
// 800 bytes with most entries unused, and the configuration. The same scale gives the same
// bytes every time. Free of gtest.
#ifndef PORVANE_DOLL_SET_H
#define PORVANE_DOLL_SET_H

#include <stdint.h>

#include <string>
#include <vector>

struct DollFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// An 8-bit cel of `width` x `height` pixels; `seed` varies the shape.
DollFile dollCel8(const std::string& name, int width, int height, int seed);

// A set: four 8-bit cels, two 32-bit cels, two palettes and doll.cnf, its
// cels `scale` times 40 x 50 pixels (scale 4: about 390 KB in all).
std::vector<DollFile> makeDollSet(int scale);

#endif
