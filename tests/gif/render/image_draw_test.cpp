// Draw, Bitmap and SetDrawOptions of the image, and the paint options of a renderer:
// background fill, doClearOnLoop, tiling, destination offsets and canvas validation.
#include <gtest/gtest.h>

#include "gif/graphics/canvas.h"
#include "gif/render/painter.h"
#include "render_test_util.h"

using namespace gif;
using rendertest::AddFrame;
using rendertest::Row;

namespace {

constexpr TColor R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255), Y = RGB(255, 255, 0),
                 K = clBlack, W = clWhite;
// Global table: 0 black, 1 red, 2 green, 3 blue, 4 white, 5 transparent-only magenta.
const std::vector<TColor> Colors = {K, R, G, B, W, RGB(255, 0, 255)};

TBitmap Filled(int width, int height, TColor color) {
    TBitmap bitmap(width, height);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    return bitmap;
}

// Plays synchronously on an instant clock, capturing row 0 of `screen` after every frame.
std::vector<std::vector<TColor>> PlayRows(TGIFImage& image, TBitmap& screen,
                                          TGIFDrawOptions options, const TRect& rect,
                                          std::weak_ptr<const void> lifetime = {}) {
    std::vector<std::vector<TColor>> rows;
    image.Clock = std::make_shared<TInstantClock>();
    image.OnAfterFrame = [&](TObject*) { rows.push_back(Row(screen)); };
    image.Paint(screen.Canvas(), options | doAnimate, rect, std::move(lifetime));
    image.OnAfterFrame = nullptr;
    return rows;
}

} // namespace

TEST(ImageDraw, SingleFrameAndStillImagesAreDrawnDirectly) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    AddFrame(image, {0, 0, 2, 1, {1, 5}, 5, 0, 5});
    int plays = 0;
    image.OnPlayStart = [&](TObject*) { ++plays; };
    TBitmap screen = Filled(4, 2, Y);
    image.Draw(screen.Canvas(), Rect(0, 0, 4, 2));   // default options: asynchronous
    EXPECT_EQ(Row(screen, 1), (std::vector<TColor>{R, R, Y, Y}));
    EXPECT_EQ(plays, 0);
    // Several frames without doAnimate: only frame 0, not transparent without doTransparent.
    AddFrame(image, {0, 0, 2, 1, {2, 2}, 5});
    image.SetDrawOptions(doAsync | doTile);
    image.Draw(screen.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_EQ(Row(screen, 0), (std::vector<TColor>{R, RGB(255, 0, 255), R, RGB(255, 0, 255)}));
    EXPECT_EQ(plays, 0);
}

TEST(ImageDraw, SynchronousDrawPlaysIntoTheCachedBitmapOnce) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    AddFrame(image, {0, 0, 2, 1, {1, 1}, 5});
    AddFrame(image, {1, 0, 1, 1, {3}, 5});
    image.Clock = std::make_shared<TInstantClock>();
    int frames = 0;
    image.OnBeforeFrame = [&](TObject*) { ++frames; };
    image.SetDrawOptions(doAnimate | doTransparent);
    TBitmap screen = Filled(4, 1, Y);
    image.Draw(screen.Canvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(Row(screen), (std::vector<TColor>{R, R, B, B}));
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(image.Bitmap()->Width(), 2);
    // The cached bitmap is drawn again without playing; tiled it is laid, not stretched.
    image.SetDrawOptions(doAnimate | doTransparent | doTile);   // drops the cache
    image.Draw(screen.Canvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(frames, 4);
    TBitmap other = Filled(3, 1, W);
    image.Draw(other.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(Row(other), (std::vector<TColor>{R, B, R}));
}

TEST(ImageDraw, BitmapShowsFrameZero) {
    TGIFImage image;
    EXPECT_EQ(image.Bitmap(), nullptr);
    rendertest::SetScreen(image, 3, 1, Colors);
    AddFrame(image, {1, 0, 1, 1, {2}, 5});
    AddFrame(image, {0, 0, 3, 1, {3, 3, 3}, 5});
    TBitmap* bitmap = image.Bitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Row(*bitmap), (std::vector<TColor>{K, G, K}));
    EXPECT_EQ(image.Bitmap(), bitmap);   // cached
    // A full-screen frame 0 is its own frame bitmap, colour indices and all.
    TGIFImage full;
    rendertest::SetScreen(full, 3, 1, Colors);
    AddFrame(full, {0, 0, 3, 1, {4, 2, 4}, 5});
    ASSERT_NE(full.Bitmap(), nullptr);
    EXPECT_EQ(full.Bitmap()->PixelFormat(), pf8bit);
    EXPECT_EQ(Row(*full.Bitmap()), (std::vector<TColor>{W, G, W}));
}

TEST(ImageDraw, SetDrawOptionsMovesALoneFramesTableToTheGlobalTable) {
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, {0, 0, 1, 1, {0}, 5});
    frame.LocalTable().AppendColor(G);
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    image.SetDrawOptions(image.DrawOptions());
    EXPECT_EQ(changes, 0);
    image.SetDrawOptions(doAnimate);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.DrawOptions(), doAnimate);
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 1);
    EXPECT_EQ(frame.LocalTable().EntryCount(), 0);
}

// Without doTransparent, disposal 2 fills with the draw background colour, or else the
// global table's background entry; transparent pixels are drawn in their own colour.
TEST(PainterPaint, BackgroundFillWithoutTransparency) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    image.Header().SetBackgroundIndex(3);
    AddFrame(image, {0, 0, 2, 1, {1, 2}, 5, 2});
    AddFrame(image, {1, 0, 1, 1, {5}, 5, 1, 5});
    TBitmap screen = Filled(2, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, 0, Rect(0, 0, 2, 1)),
              (std::vector<std::vector<TColor>>{{R, G}, {B, RGB(255, 0, 255)}}));
    image.DrawBackgroundColor = W;
    screen = Filled(2, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, 0, Rect(0, 0, 2, 1))[1][0], W);
    // With doTransparent the area goes back to what the destination showed.
    screen = Filled(2, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, doTransparent, Rect(0, 0, 2, 1))[1],
              (std::vector<TColor>{Y, Y}));
}

TEST(PainterPaint, ClearOnLoopClearsFrameZerosAreaEveryPass) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    rendertest::AddLoop(AddFrame(image, {0, 0, 2, 1, {1, 5}, 5, 1, 5}), 1);
    AddFrame(image, {1, 0, 1, 1, {2}, 5, 1});
    TBitmap screen = Filled(2, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, doLoop | doTransparent, Rect(0, 0, 2, 1)),
              (std::vector<std::vector<TColor>>{{R, Y}, {R, G}, {R, G}, {R, G}}));
    screen = Filled(2, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, doLoop | doTransparent | doClearOnLoop, Rect(0, 0, 2, 1)),
              (std::vector<std::vector<TColor>>{{R, Y}, {R, G}, {R, Y}, {R, G}}));
}

// A destination rectangle away from the canvas's origin: the buffers have their own
// coordinates, so disposal 2 clears the frame's own area, stretched like the frame.
TEST(PainterPaint, OffsetAndStretchedDestination) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    AddFrame(image, {0, 0, 2, 1, {1, 1}, 5, 1});
    AddFrame(image, {1, 0, 1, 1, {2}, 5, 2});
    AddFrame(image, {0, 0, 1, 1, {3}, 5, 1});
    TBitmap screen = Filled(7, 1, Y);
    EXPECT_EQ(PlayRows(image, screen, doTransparent, Rect(2, 0, 6, 1)),
              (std::vector<std::vector<TColor>>{
                  {Y, Y, R, R, R, R, Y},
                  {Y, Y, R, R, G, G, Y},
                  {Y, Y, B, B, Y, Y, Y},
              }));
}

// Tiling repeats every frame at steps of the screen size; disposal 2 clears every tile
// (to the background colour: no doTransparent).
TEST(PainterPaint, TilesAreDrawnAndClearedEverywhere) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 2, Colors);
    AddFrame(image, {0, 0, 2, 2, {1, 1, 1, 1}, 5, 1});
    AddFrame(image, {0, 0, 2, 1, {2, 2}, 5, 2});   // full width, not full height
    AddFrame(image, {1, 1, 1, 1, {3}, 5, 1});
    image.DrawBackgroundColor = W;
    TBitmap screen = Filled(5, 4, Y);
    std::vector<std::vector<TColor>> column;
    image.Clock = std::make_shared<TInstantClock>();
    image.OnAfterFrame = [&](TObject*) {
        std::vector<TColor> c;
        for (int y = 0; y < 4; ++y) c.push_back(screen.Pixels(4, y));
        column.push_back(c);
    };
    image.Paint(screen.Canvas(), doAnimate | doTile, Rect(0, 0, 5, 4));
    EXPECT_EQ(column, (std::vector<std::vector<TColor>>{
                          {R, R, R, R},
                          {G, R, G, R},
                          {W, R, W, R},   // frame 2's tiles start at x 1 and 3
                      }));
    EXPECT_EQ(Row(screen, 1), (std::vector<TColor>{R, B, R, B, R}));
}

TEST(PainterPaint, ValidateCanvasStopsOnceTheDestinationIsGone) {
    TGIFImage image;
    rendertest::SetScreen(image, 1, 1, Colors);
    AddFrame(image, {0, 0, 1, 1, {1}, 5, 2});
    AddFrame(image, {0, 0, 1, 1, {2}, 5, 2});
    auto screen = std::make_shared<TBitmap>(Filled(1, 1, Y));
    EXPECT_EQ(PlayRows(image, *screen, doValidateCanvas, Rect(0, 0, 1, 1), screen).size(), 2u);
    // A destination whose owner has let go: nothing is painted.
    auto token = std::make_shared<int>(0);
    std::weak_ptr<const void> lifetime = token;
    token.reset();
    EXPECT_TRUE(PlayRows(image, *screen, doValidateCanvas, Rect(0, 0, 1, 1), lifetime).empty());
    // The token is only looked at with doValidateCanvas.
    EXPECT_EQ(PlayRows(image, *screen, 0, Rect(0, 0, 1, 1), lifetime).size(), 2u);
}
