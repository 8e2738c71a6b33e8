#include "huffman_lengths.h"

#include <algorithm>
#include <vector>

namespace {

const int kMaxSymbols = 1024;

// Depths of the leaves of a Huffman tree over `weights` (sorted ascending),
// built with two queues: leaves in weight order, and inner nodes in the order
// they are made, whose weights never decrease. On equal weights a leaf goes
// first, so that the tree is the same on every machine.
std::vector<int> leafDepths(const std::vector<uint32_t>& weights)
{
    const int leaves = (int)weights.size();
    std::vector<uint64_t> weight(weights.begin(), weights.end());
    weight.resize(2 * leaves - 1);
    std::vector<int> parent(2 * leaves - 1, -1);
    int nextLeaf = 0, nextInner = leaves, made = leaves;
    auto takeSmallest = [&]() {
        if (nextLeaf < leaves && (nextInner == made || weight[nextLeaf] <= weight[nextInner]))
            return nextLeaf++;
        return nextInner++;
    };
    while (made < 2 * leaves - 1) {
        const int a = takeSmallest(), b = takeSmallest();
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = made++;
    }
    // Parents come after their children: from the root down.
    std::vector<int> depth(2 * leaves - 1, 0);
    for (int node = 2 * leaves - 3; node >= 0; --node)
        depth[node] = depth[parent[node]] + 1;
    depth.resize(leaves);
    return depth;
}

}

int huffmanLengths(const uint32_t* frequencies, int count, int maxBits, uint8_t* lengths)
{
    std::vector<int> used;
    for (int symbol = 0; symbol < count && symbol < kMaxSymbols; ++symbol) {
        lengths[symbol] = 0;
        if (frequencies[symbol] > 0)
            used.push_back(symbol);
    }
    if (used.size() < 2)
        return (int)used.size();

    // The most frequent first, ties to the lower symbol: they get the
    // shorter codes.
    std::stable_sort(used.begin(), used.end(),
                     [&](int a, int b) { return frequencies[a] > frequencies[b]; });
    std::vector<uint32_t> ascending;
    for (auto it = used.rbegin(); it != used.rend(); ++it)
        ascending.push_back(frequencies[*it]);
    const std::vector<int> depths = leafDepths(ascending);

    // How many codes of each length; then the lengths beyond maxBits are
    // brought in, as JPEG's encoder does: two leaves at the deepest level
    // become one a level up and, beside a shorter leaf made an inner node,
    // its new sibling. The code stays complete.
    const int deepest = *std::max_element(depths.begin(), depths.end());
    std::vector<int> codesOfLength(deepest + 1, 0);
    for (int depth : depths)
        ++codesOfLength[depth];
    for (int bits = deepest; bits > maxBits; --bits) {
        while (codesOfLength[bits] > 0) {
            int shorter = bits - 2;
            while (shorter > 1 && codesOfLength[shorter] == 0)
                --shorter;
            codesOfLength[bits] -= 2;
            codesOfLength[bits - 1] += 1;
            codesOfLength[shorter + 1] += 2;
            codesOfLength[shorter] -= 1;
        }
    }
    // The shortest lengths to the most frequent symbols.
    size_t next = 0;
    for (int bits = 1; bits <= std::min(deepest, maxBits); ++bits)
        for (int k = 0; k < codesOfLength[bits]; ++k)
            lengths[used[next++]] = (uint8_t)bits;
    return (int)used.size();
}

void canonicalCodes(const uint8_t* lengths, int count, uint16_t* codes)
{
    const int kBits = 16;
    int codesOfLength[kBits + 1] = {};
    for (int symbol = 0; symbol < count; ++symbol)
        ++codesOfLength[lengths[symbol]];
    codesOfLength[0] = 0;
    uint32_t next[kBits + 2] = {};
    for (int bits = 1; bits <= kBits; ++bits)
        next[bits + 1] = (next[bits] + codesOfLength[bits]) << 1;
    for (int symbol = 0; symbol < count; ++symbol)
        codes[symbol] = lengths[symbol] ? (uint16_t)next[lengths[symbol]]++ : 0;
}
