#include "gif/reduce/octree.h"

#include <algorithm>

#include "gif/graphics/bitmap.h"
#include "gif/reduce/dib.h"

namespace gif {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(std::max(maxColors, 1)), colorBits_(std::clamp(colorBits, 1, 8)),
      cache_(size_t(1) << CacheBits) {
    reducible_.fill(-1);
}

int32_t TColorQuantizer::CreateNode(int level) {
    int32_t n;
    if (!free_.empty()) {
        n = free_.back();
        free_.pop_back();
        nodes_[size_t(n)] = TOctreeNode{};
    } else {
        n = int32_t(nodes_.size());
        nodes_.emplace_back();
        versions_.push_back(0);
    }
    TOctreeNode& node = nodes_[size_t(n)];
    node.Children.fill(-1);
    if (level == colorBits_) {
        node.Leaf = true;
        ++leafCount_;
    } else {
        node.NextReducible = reducible_[size_t(level)];
        reducible_[size_t(level)] = n;
    }
    return n;
}

void TColorQuantizer::FreeNode(int32_t node) {
    ++versions_[size_t(node)];
    free_.push_back(node);
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
    uint32_t key = uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
    TCacheEntry& cached = cache_[(key * 2654435761u) >> (32 - CacheBits)];
    if (cached.Leaf >= 0 && cached.Color == key &&
        versions_[size_t(cached.Leaf)] == cached.Version) {
        TOctreeNode& leaf = nodes_[size_t(cached.Leaf)];
        ++leaf.PixelCount;
        leaf.RedSum += red;
        leaf.GreenSum += green;
        leaf.BlueSum += blue;
        return;
    }
    if (root_ < 0) root_ = CreateNode(0);
    int32_t n = root_;
    // A leaf is reached at the latest at level colorBits_.
    for (int level = 0; level <= colorBits_; ++level) {
        if (nodes_[size_t(n)].Leaf) break;
        int shift = 7 - level;
        int index = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) |
                    ((blue >> shift) & 1);
        int32_t child = nodes_[size_t(n)].Children[size_t(index)];
        if (child < 0) {
            child = CreateNode(level + 1);   // may move nodes_: index again afterwards
            nodes_[size_t(n)].Children[size_t(index)] = child;
        }
        n = child;
    }
    TOctreeNode& leaf = nodes_[size_t(n)];
    ++leaf.PixelCount;
    leaf.RedSum += red;
    leaf.GreenSum += green;
    leaf.BlueSum += blue;
    cached = {key, versions_[size_t(n)], n};
    while (leafCount_ > maxColors_ && Reduce()) {
    }
}

bool TColorQuantizer::Reduce() {
    int level = colorBits_ - 1;
    while (reducible_[size_t(level)] < 0 && level > 0) --level;
    int32_t n = reducible_[size_t(level)];
    if (n < 0) return false;
    reducible_[size_t(level)] = nodes_[size_t(n)].NextReducible;
    TOctreeNode& node = nodes_[size_t(n)];
    int children = 0;
    for (int32_t& child : node.Children) {
        if (child < 0) continue;
        const TOctreeNode& c = nodes_[size_t(child)];
        node.PixelCount += c.PixelCount;
        node.RedSum += c.RedSum;
        node.GreenSum += c.GreenSum;
        node.BlueSum += c.BlueSum;
        FreeNode(child);
        child = -1;
        ++children;
    }
    node.Leaf = true;
    node.NextReducible = -1;
    leafCount_ -= children - 1;
    return true;
}

void TColorQuantizer::AddBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    TDIBReader reader(bitmap, pf24bit);
    for (int y = 0; y < reader.Height(); ++y) {
        const uint8_t* row = reader.ScanLine(y);
        for (int x = 0; x < reader.Width(); ++x)
            AddColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
}

std::vector<TColor> TColorQuantizer::Colors() const {
    std::vector<TColor> out;
    if (root_ < 0) return out;
    out.reserve(size_t(leafCount_));
    // Depth first with an explicit stack; the tree is at most 9 levels deep.
    std::vector<int32_t> stack{root_};
    while (!stack.empty()) {
        int32_t n = stack.back();
        stack.pop_back();
        const TOctreeNode& node = nodes_[size_t(n)];
        if (node.Leaf) {
            if (node.PixelCount == 0) {
                out.push_back(clBlack);
            } else {
                out.push_back(RGB(uint8_t(node.RedSum / node.PixelCount),
                                  uint8_t(node.GreenSum / node.PixelCount),
                                  uint8_t(node.BlueSum / node.PixelCount)));
            }
            continue;
        }
        for (int i = 7; i >= 0; --i)
            if (node.Children[size_t(i)] >= 0) stack.push_back(node.Children[size_t(i)]);
    }
    return out;
}

} // namespace gif
