#include "gif/render/compose.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"
#include "gif/render/clock.h"
#include "gif/render/painter.h"

namespace gif {

std::vector<std::unique_ptr<TBitmap>> ComposeFrames(TGIFImage& image, TColor background) {
    std::vector<std::unique_ptr<TBitmap>> frames;
    ComposeFramesEach(image, background, [&frames](int, const TBitmap& picture) {
        frames.push_back(std::make_unique<TBitmap>(picture));
    });
    return frames;
}

void ComposeFramesEach(TGIFImage& image, TColor background,
                       const std::function<void(int, const TBitmap&)>& shown) {
    if (image.Empty() || image.Width() <= 0 || image.Height() <= 0) return;

    TBitmap screen(image.Width(), image.Height(), pf24bit);
    const TRect whole = Rect(0, 0, image.Width(), image.Height());
    screen.Canvas().Brush.Color = background & 0xFFFFFF;
    screen.Canvas().FillRect(whole);

    // Synchronous play on a clock that never really waits; the image's own handlers
    // are not called.
    TGIFRenderEnvironment environment;
    environment.Clock = std::make_shared<TInstantClock>();
    TGIFPainter painter(image, screen.Canvas(), whole, doAnimate | doTransparent,
                        std::move(environment));
    painter.OnPlayStart = nullptr;
    painter.OnBeforeFrame = nullptr;
    painter.OnLoop = nullptr;
    painter.OnPlayEnd = nullptr;
    painter.OnAfterFrame = [&painter, &screen, &shown](TObject*) {
        shown(painter.ActiveFrame(), screen);
    };
    painter.Execute();
    painter.WaitFor();
}

} // namespace gif
