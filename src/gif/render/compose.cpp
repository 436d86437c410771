#include "gif/render/compose.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"
#include "gif/render/clock.h"
#include "gif/render/painter.h"

namespace gif {

std::vector<std::unique_ptr<TBitmap>> ComposeFrames(TGIFImage& image, TColor background) {
    std::vector<std::unique_ptr<TBitmap>> frames;
    if (image.Empty() || image.Width() <= 0 || image.Height() <= 0) return frames;

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
    painter.OnAfterFrame = [&frames, &screen](TObject*) {
        frames.push_back(std::make_unique<TBitmap>(screen));
    };
    painter.Execute();
    painter.WaitFor();
    return frames;
}

} // namespace gif
