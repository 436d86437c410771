// The octree colour quantizer. Colours are inserted one by one; whenever the tree holds
// more leaves than wanted, the most recently created reducible node of the deepest level
// that has one is folded into a leaf. Memory stays bounded by the colour count.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gif/base/types.h"

namespace gif {

class TBitmap;

struct TOctreeNode {
    uint64_t PixelCount = 0;
    uint64_t RedSum = 0;
    uint64_t GreenSum = 0;
    uint64_t BlueSum = 0;
    bool Leaf = false;
    int32_t NextReducible = -1;          // next node of the same level's reducible list
    std::array<int32_t, 8> Children{};   // node numbers, -1 for none
};

class TColorQuantizer {
public:
    // A quantizer keeping at most `maxColors` (>= 1) colours in a tree `colorBits` (1..8) deep.
    TColorQuantizer(int maxColors, int colorBits);

    // Inserts one colour, then reduces while there are more leaves than maxColors.
    void AddColor(uint8_t red, uint8_t green, uint8_t blue);
    // Inserts every pixel of the bitmap (read as 24 bits), top row first, left to right.
    void AddBitmap(const TBitmap& bitmap);

    int LeafCount() const { return leafCount_; }
    int MaxColors() const { return maxColors_; }
    int ColorBits() const { return colorBits_; }
    // The leaves depth first, children in index order: each the average colour of its
    // pixels (sum div count per channel; black for a leaf without pixels).
    std::vector<TColor> Colors() const;

private:
    int32_t CreateNode(int level);
    void FreeNode(int32_t node);
    // Folds one reducible node into a leaf; false when none is left.
    bool Reduce();

    int maxColors_;
    int colorBits_;
    int leafCount_ = 0;
    int32_t root_ = -1;
    std::array<int32_t, 8> reducible_;    // list heads per level 0..7
    std::vector<TOctreeNode> nodes_;      // node pool; freed nodes are reused
    std::vector<int32_t> free_;
    // Colours seen recently and the leaves that took them, direct-mapped by colour. A leaf
    // that still exists is still where its colours' walk ends (creating nodes elsewhere
    // changes no path, and folding frees the leaves it folds), so an entry is valid while
    // its node has not been freed since: every free bumps the node's version.
    struct TCacheEntry {
        uint32_t Color = 0;
        uint32_t Version = 0;
        int32_t Leaf = -1;
    };
    static constexpr int CacheBits = 14;
    std::vector<TCacheEntry> cache_;
    std::vector<uint32_t> versions_;      // per node of the pool
};

} // namespace gif
