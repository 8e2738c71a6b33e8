// A second reader of the archives porvane writes, for the writer's tests:
// level 0 headers, -lh0- and -lh5-. It shares nothing with host/lzh, and is
// kept plain rather than fast (bits one at a time, codes looked up in a map),
// so that a fault the writer and porvane's own reader made alike cannot
// hide.
#ifndef PORVANE_LZH_TEST_DECODER_H
#define PORVANE_LZH_TEST_DECODER_H

#include <stdint.h>

#include <string>
#include <vector>

struct TestLzhEntry {
    std::string name;
    std::string method;
    uint32_t dosStamp;  // time in the low half, date in the high half
    uint32_t packedSize;
    int blocks;  // of an -lh5- stream
    std::vector<uint8_t> data;
};

// The entries of `archive`, or what is wrong with it (empty when nothing).
std::string testDecodeLzh(const std::vector<uint8_t>& archive, std::vector<TestLzhEntry>* entries);

#endif
