#include "gif/optimize/display_check.h"

#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/render/compose.h"
#include "gif/render/timing.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <unordered_set>

namespace gif::optimize {

namespace {

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

// Word-at-a-time hash in four independent lanes (so the multiplications overlap): 256 bits
// of state, mixed and folded into two 64-bit values at the end.
void HashBytes(std::span<const uint8_t> bytes, uint64_t (&out)[2]) {
    constexpr uint64_t P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full;
    uint64_t lane[4] = {P1 + P2, P2, 0, 0 - P1};
    size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32) {
        for (int k = 0; k < 4; ++k) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + i + 8 * size_t(k), 8);
            const uint64_t v = lane[k] ^ word;
            lane[k] = ((v << 29) | (v >> 35)) * P1; // the turn carries high bits down
        }
    }
    uint64_t tail[4] = {};
    std::memcpy(tail, bytes.data() + i, bytes.size() - i);
    for (int k = 0; k < 4; ++k)
        lane[k] = Mix(lane[k] ^ Mix(tail[k] + uint64_t(k)));
    out[0] = Mix(lane[0] ^ (lane[1] * P1) ^ bytes.size());
    out[1] = Mix(lane[2] ^ (lane[3] * P2) ^ (bytes.size() << 1));
}

} // namespace

TColor UnusedColor(std::initializer_list<const TGIFImage*> images) {
    std::unordered_set<uint32_t> used;
    auto add = [&used](const TGIFColorMap& table) {
        for (const TGIFColor& c : table.Entries())
            used.insert(uint32_t(c.Red) | uint32_t(c.Green) << 8 | uint32_t(c.Blue) << 16);
    };
    for (const TGIFImage* image : images) {
        add(image->Header().GlobalTable());
        for (int i = 0; i < image->FrameCount(); ++i)
            add(image->Frame(i)->LocalTable());
    }
    // At most 256 colours per table: a few hundred steps find a free one.
    for (uint32_t c = 0x010203;; c += 0x0F1D2B) {
        c &= 0xFFFFFF;
        if (!used.count(c)) return TColor(c);
    }
}

int64_t CopiedScreenPixels(const TGIFImage& image) {
    int64_t width = image.Width(), height = image.Height();
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank()) continue; // copied without its placement
        width = std::max<int64_t>(width, std::min(frame.FrameLeft() + frame.FrameWidth(), 0xFFFF));
        height = std::max<int64_t>(height, std::min(frame.FrameTop() + frame.FrameHeight(), 0xFFFF));
    }
    return width * height;
}

std::vector<TShownPicture> ShownPictures(TGIFImage& image, TColor background) {
    std::vector<TShownPicture> pictures;
    // A picture differs from the one before only under this frame and the one before it
    // (drawing one, disposing of the other), so only those rows are hashed again.
    std::vector<std::array<uint64_t, 2>> rows;
    TRect previous{};
    ComposeFramesEach(image, background, [&](int index, const TBitmap& picture) {
        const int height = picture.Height();
        const auto rowBytes = size_t(BytesPerScanLine(picture.Width(), pf24bit));
        const TRect rect = image.Frame(index)->BoundsRect();
        auto hashRows = [&](int top, int bottom) {
            for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
                uint64_t hash[2];
                HashBytes({picture.ScanLine(y), rowBytes}, hash);
                rows[size_t(y)] = {hash[0], hash[1]};
            }
        };
        if (rows.empty()) {
            rows.resize(size_t(height));
            hashRows(0, height);
        } else if (rect.Top <= previous.Bottom && previous.Top <= rect.Bottom) {
            hashRows(std::min(rect.Top, previous.Top), std::max(rect.Bottom, previous.Bottom));
        } else {
            // Two small frames far apart: the rows between them are as they were.
            hashRows(previous.Top, previous.Bottom);
            hashRows(rect.Top, rect.Bottom);
        }
        previous = rect;
        TShownPicture shown{};
        for (int y = 0; y < height; ++y) {
            shown.Hash[0] = Mix(shown.Hash[0] ^ rows[size_t(y)][0]) + uint64_t(y);
            shown.Hash[1] = Mix(shown.Hash[1] + rows[size_t(y)][1] * 0x9E3779B97F4A7C15ull);
        }
        shown.Delay = FrameDelayUnits(*image.Frame(index), true);
        pictures.push_back(shown);
        // The frame's bitmap, made for this play, is not drawn again: freed now, its memory
        // serves the next frame's instead of fresh pages.
        image.Frame(index)->DropBitmap();
        image.Frame(index)->DropMask();
    });
    return pictures;
}

std::vector<TShownPicture> Timeline(const std::vector<TShownPicture>& pictures) {
    std::vector<TShownPicture> timeline;
    for (const TShownPicture& picture : pictures) {
        if (!timeline.empty() && timeline.back().Hash[0] == picture.Hash[0] &&
            timeline.back().Hash[1] == picture.Hash[1])
            timeline.back().Delay += picture.Delay;
        else
            timeline.push_back(picture);
    }
    return timeline;
}

} // namespace gif::optimize
