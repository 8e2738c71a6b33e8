#include "doll_set.h"

#include <math.h>
#include <stdio.h>

#include "../../cel/cel_format.h"

namespace {

std::vector<uint8_t> kissHeader(uint8_t mark, uint8_t depth, int width, int height)
{
    std::vector<uint8_t> bytes(CEL_HEADER_BYTES);
    encodeCelHeader({mark, depth, (uint16_t)width, (uint16_t)height}, bytes.data());
    return bytes;
}

// How far inside an ellipse filling the picture a pixel is, in pixels
// (negative outside), and where it lies along a slanted gradient (0..1).
struct Place {
    double inside, along;
};
Place placeOf(int x, int y, int width, int height, int seed)
{
    const double a = width / 2.0 - 1, b = height / 2.0 - 1;
    const double u = (x + 0.5 - width / 2.0) / a, v = (y + 0.5 - height / 2.0) / b;
    const double wobble = 1 + 0.08 * sin(atan2(v, u) * (3 + seed % 4) + seed);
    const double inside = (wobble - sqrt(u * u + v * v)) * (a < b ? a : b);
    const double along = ((x + 0.7 * y) / (width + 0.7 * height));
    return {inside, along};
}

std::vector<uint8_t> palette(int seed)
{
    std::vector<uint8_t> bytes = kissHeader(CEL_MARK_PALETTE, 24, 256, 1);
    bytes.resize(CEL_HEADER_BYTES + 256 * 3, 0);
    for (int i = 1; i < 48; ++i) {  // the rest stay black, unused
        bytes[CEL_HEADER_BYTES + 3 * i] = (uint8_t)(40 + (i * 37 + seed * 11) % 200);
        bytes[CEL_HEADER_BYTES + 3 * i + 1] = (uint8_t)(30 + (i * 53 + seed * 7) % 210);
        bytes[CEL_HEADER_BYTES + 3 * i + 2] = (uint8_t)(20 + (i * 71 + seed * 5) % 220);
    }
    return bytes;
}

// A painted part: shaded by a gradient, with the grain of a brush (a
// little noise in each channel) and alpha fading over three pixels.
DollFile cel32(const std::string& name, int width, int height, int seed)
{
    DollFile file = {name, kissHeader(CEL_MARK_CEL, 32, width, height)};
    uint32_t grain = 12345u + (uint32_t)seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Place p = placeOf(x, y, width, height, seed);
            const double alpha = p.inside >= 1.5 ? 1 : p.inside <= -1.5 ? 0 : (p.inside + 1.5) / 3;
            const double shade = 0.75 + 0.25 * p.along;
            const uint8_t a = (uint8_t)lround(255 * alpha);
            grain = grain * 1103515245u + 12345u;
            const int noise = (int)(grain >> 28) % 5 - 2;
            const uint8_t bgra[4] = {(uint8_t)(a ? lround((90 + 40 * seed) % 200 * shade) + noise : 0),
                                     (uint8_t)(a ? lround(170 * shade) + noise : 0),
                                     (uint8_t)(a ? lround(240 * shade) - noise : 0), a};
            file.bytes.insert(file.bytes.end(), bgra, bgra + 4);
        }
    return file;
}

}

DollFile dollCel8(const std::string& name, int width, int height, int seed)
{
    DollFile file = {name, kissHeader(CEL_MARK_CEL, 8, width, height)};
    const int first = 1 + 10 * (seed % 4);  // this part's ten indices
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Place p = placeOf(x, y, width, height, seed);
            uint8_t index = 0;
            if (p.inside >= 2)
                index = (uint8_t)(first + 2 + (int)(p.along * 7.999));  // flat bands of the gradient
            else if (p.inside >= 0)
                index = (uint8_t)(first + (p.inside >= 1));  // the soft edge
            file.bytes.push_back(index);
        }
    return file;
}

std::vector<DollFile> makeDollSet(int scale)
{
    const int width = 40 * scale, height = 50 * scale;
    const char* parts[] = {"body", "dress", "hair", "ribbon"};
    std::vector<DollFile> set;
    std::string cnf = "; a doll made for porvane's LZH tests\n(" + std::to_string(2 * width) + "," +
                      std::to_string(2 * height) + ")\n%doll.kcf\n%shade.kcf\n";
    for (int k = 0; k < 4; ++k) {
        set.push_back(dollCel8(std::string(parts[k]) + ".cel", width, height, k));
        char line[96];
        snprintf(line, sizeof line, "#%d.99 %s.cel *0 : 0 1 2 3 4 5 6 7 8 9 ; %s\n", k, parts[k], parts[k]);
        cnf += line;
    }
    for (int k = 0; k < 2; ++k) {
        const std::string name = "shade" + std::to_string(k + 1) + ".cel";
        set.push_back(cel32(name, width, height, k));
        cnf += "#" + std::to_string(4 + k) + ".99 " + name + " *1 : 0 1 2 3 4 5 6 7 8 9\n";
    }
    set.push_back({"doll.kcf", palette(1)});
    set.push_back({"shade.kcf", palette(2)});
    cnf += "$0 * 0,0 40,20 80,60 20,80 0,0 0,0\n";
    set.push_back({"doll.cnf", std::vector<uint8_t>(cnf.begin(), cnf.end())});
    return set;
}
