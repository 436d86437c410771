#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

using namespace gif;
using giftest::WarningLog;

TEST(Image, NewImageDefaults) {
    TGIFImage image;
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.GifVersion(), gvUnknown);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.DrawOptions(), 0x060F);
    EXPECT_EQ(image.ReductionMethod, 6);
    EXPECT_EQ(image.ReductionDepth(), 8);
    EXPECT_EQ(image.DitherMethod, 0);
    EXPECT_EQ(image.EncodingMethod, emLZW);
    EXPECT_EQ(image.AnimationSpeed, 100);
    EXPECT_EQ(image.DrawBackgroundColor, clNone);
    EXPECT_THROW(image.SetReductionDepth(2), GIFException);
    EXPECT_THROW(image.SetReductionDepth(9), GIFException);
    image.SetReductionDepth(3);
    EXPECT_EQ(image.ReductionDepth(), 3);
}

TEST(Image, PlacementOnEmptyScreenGrowsSilently) {
    TGIFImage image;
    WarningLog log;
    log.Attach(image);
    giftest::AddFrame(image, 2, 3, 10, 20);
    EXPECT_EQ(image.Width(), 12);
    EXPECT_EQ(image.Height(), 23);
    EXPECT_TRUE(log.Entries.empty());
}

TEST(Image, PlacementBeyondScreenWarnsThreeTimes) {
    TGIFImage image;
    WarningLog log;
    giftest::AddFrame(image, 0, 0, 10, 10);
    log.Attach(image);
    TGIFSubImage& frame = giftest::AddFrame(image, 5, 5, 10, 10);
    EXPECT_EQ(image.Width(), 15);
    EXPECT_EQ(image.Height(), 15);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Image width too small for contained frames",
                                                        "Image height too small for contained frames",
                                                        "Image exceeds Logical Screen size"}));
    for (const auto& e : log.Entries) {
        EXPECT_EQ(e.Sender, "TGIFSubImage");
        EXPECT_EQ(e.Severity, 1);
    }
    log.Entries.clear();
    frame.SetFrameTop(10);   // only the height is short
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Image height too small for contained frames",
                                                        "Image exceeds Logical Screen size"}));
}

TEST(Image, ScreenSizeCannotShrinkBelowFrames) {
    TGIFImage image;
    giftest::AddFrame(image, 4, 0, 6, 5);
    EXPECT_THROW(image.SetWidth(9), GIFException);
    EXPECT_THROW(image.SetHeight(4), GIFException);
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    image.SetWidth(10);   // unchanged: no notification
    EXPECT_EQ(changes, 0);
    image.SetWidth(40);
    EXPECT_EQ(image.Width(), 40);
    EXPECT_EQ(changes, 1);
}

TEST(Frame, ResizingReallocatesZeroedPixels) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 2, 2, {1, 2, 3, 4});
    frame.SetFrameLeft(1);   // same size keeps the pixels
    EXPECT_EQ(frame.PixelAt(1, 1), 4);
    frame.SetFrameWidth(3);
    EXPECT_EQ(frame.PixelCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(frame.Pixels()[i], 0);
    frame.Pixels()[0] = 9;
    frame.SetFrameHeight(1);
    EXPECT_EQ(frame.PixelCount(), 3);
    EXPECT_EQ(frame.PixelAt(0, 0), 0);
}

TEST(Frame, PixelAccessChecks) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 3, 2, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(frame.PixelAt(2, 1), 5);
    EXPECT_EQ(frame.RowAt(1)[0], 3);
    EXPECT_THROW(frame.PixelAt(3, 0), GIFException);
    EXPECT_THROW(frame.RowAt(-1), GIFException);
    EXPECT_THROW(frame.RowAt(2), GIFException);
    TGIFSubImage empty(&image);
    EXPECT_TRUE(empty.IsBlank());
    EXPECT_THROW(empty.EnsurePixels(), GIFException);
    frame.ReleasePixels();
    EXPECT_TRUE(frame.IsBlank());
    EXPECT_EQ(frame.PixelAt(0, 0), 0);   // allocated again on access
}

TEST(Frame, EffectiveTable) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 1, 1);
    EXPECT_EQ(&frame.EffectiveTable(), &frame.LocalTable());   // both empty
    image.GlobalColorMap().AppendColor(clWhite);
    EXPECT_EQ(&frame.EffectiveTable(), &image.GlobalColorMap());
    frame.LocalTable().AppendColor(clBlack);
    EXPECT_EQ(&frame.EffectiveTable(), &frame.LocalTable());
}

TEST(Image, VersionsAndDepths) {
    TGIFImage image;
    image.GlobalColorMap().AppendColor(clBlack);
    image.GlobalColorMap().AppendColor(clWhite);
    TGIFSubImage& a = giftest::AddFrame(image, 0, 0, 1, 1);
    EXPECT_EQ(image.GifVersion(), gv87a);
    TGIFSubImage& b = giftest::AddFrame(image, 0, 0, 1, 1);
    for (int i = 0; i < 20; ++i) b.LocalTable().AppendColor(RGB(uint8_t(i), 0, 0));
    EXPECT_EQ(image.ScreenBitDepth(), 5);
    EXPECT_EQ(image.ScreenColorResolution(), 4);
    b.Blocks().Add(std::make_unique<TGIFCommentExtension>(&b));
    EXPECT_EQ(b.GifVersion(), gv89a);
    EXPECT_EQ(image.GifVersion(), gv89a);
    EXPECT_EQ(a.GifVersion(), gv87a);
    image.Header().SetPixelAspect(49);
    EXPECT_EQ(image.Header().GifVersion(), gv89a);
}

TEST(Image, ResetKeepsBackgroundAndAspect) {
    TGIFImage image;
    image.Header().SetBackgroundIndex(3);
    image.Header().SetPixelAspect(49);
    image.GlobalColorMap().AppendColor(clWhite);
    giftest::AddFrame(image, 0, 0, 4, 4);
    image.ResetImage();
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 0);
    EXPECT_EQ(image.Header().BackgroundIndex(), 3);
    EXPECT_EQ(image.Header().PixelAspect(), 49);
}

TEST(Image, AddFrameRejectsOtherObjects) {
    TGIFImage image;
    TGIFImage other;
    TPersistent plain;
    try {
        image.AddFrame(&plain);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Object type not supported for operation");
    }
    EXPECT_TRUE(image.Empty());
}

TEST(Image, RefreshPalettesMovesLoneLocalTableToGlobal) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 1, 1);
    frame.LocalTable().AppendColor(RGB(1, 2, 3));
    image.RefreshPalettes();
    EXPECT_EQ(frame.LocalTable().EntryCount(), 0);
    EXPECT_EQ(image.GlobalColorMap().ColorAt(0), RGB(1, 2, 3));
}

namespace {

// An image with two frames, a transparent one with blocks, and non-default settings.
void BuildSample(TGIFImage& image) {
    image.GlobalColorMap().AppendColor(clBlack);
    image.GlobalColorMap().AppendColor(clWhite);
    giftest::AddFrame(image, 0, 0, 2, 2, {0, 1, 1, 0});
    TGIFSubImage& second = giftest::AddFrame(image, 1, 1, 1, 1, {1});
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&second);
    loop->LoopCount = 4;
    second.Blocks().Add(std::move(loop));
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&second);
    gce->SetTransparentFlag(true);
    gce->SetTransparentIndex(1);
    gce->SetDelayTime(25);
    second.Blocks().Add(std::move(gce));
    second.LocalTable().AppendColor(RGB(9, 9, 9));
    second.LocalTable().AppendColor(RGB(8, 8, 8));
    second.SetInterlaced(true);
    image.ReductionMethod = 7;
    image.DitherMethod = 2;
    image.DrawBackgroundColor = clWhite;
    image.EncodingMethod = emRLE;
    image.AnimationSpeed = 50;
}

} // namespace

TEST(ImageCopy, CopiesTreeAndSettingsButNotAllOfThem) {
    TGIFImage source;
    BuildSample(source);
    int sourceWarnings = 0;
    source.WarningHandler = [&](TObject*, uint8_t, const std::string&) { ++sourceWarnings; };
    std::vector<int> progress;
    source.OnProgress = [&](TObject*, TProgressStage, uint8_t percent, bool, const TRect&,
                            const std::string& message) {
        EXPECT_EQ(message, "Copying...");
        progress.push_back(percent);
    };

    TGIFImage copy;
    copy.WarningHandler = [](TObject*, uint8_t, const std::string&) {};
    copy.Assign(&source);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100, 100}));
    EXPECT_FALSE(copy.WarningHandler);
    EXPECT_FALSE(copy.OnProgress);
    ASSERT_EQ(copy.FrameCount(), 2);
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.GlobalColorMap().EntryCount(), 2);
    EXPECT_EQ(copy.ReductionMethod, 7);
    EXPECT_EQ(copy.DitherMethod, 2);
    EXPECT_EQ(copy.DrawBackgroundColor, clWhite);
    EXPECT_EQ(copy.EncodingMethod, emLZW);   // not copied
    EXPECT_EQ(copy.AnimationSpeed, 100);     // not copied

    TGIFSubImage* frame = copy.Frame(1);
    EXPECT_TRUE(frame->IsTransparent());
    EXPECT_TRUE(frame->IsInterlaced());
    ASSERT_EQ(frame->Blocks().ItemCount(), 2);
    ASSERT_NE(frame->ControlBlock(), nullptr);
    EXPECT_NE(frame->ControlBlock(), source.Frame(1)->ControlBlock());
    EXPECT_EQ(frame->ControlBlock()->OwnerFrame(), frame);
    EXPECT_EQ(frame->ControlBlock()->DelayTime(), 25);
    EXPECT_EQ(frame->ControlBlock()->TransparentIndex(), 1);
    EXPECT_EQ(frame->LocalTable().ColorAt(1), RGB(8, 8, 8));
    EXPECT_EQ(frame->PixelAt(0, 0), 1);

    // The copies are independent.
    source.Frame(0)->Pixels()[0] = 1;
    EXPECT_EQ(copy.Frame(0)->PixelAt(0, 0), 0);
    source.ResetImage();
    EXPECT_EQ(copy.Frame(1)->ControlBlock()->DelayTime(), 25);
}

TEST(ImageCopy, SelfAndNone) {
    TGIFImage image;
    BuildSample(image);
    image.Assign(&image);
    EXPECT_EQ(image.FrameCount(), 2);
    image.Frame(0)->Assign(image.Frame(0));
    EXPECT_EQ(image.Frame(0)->PixelAt(1, 0), 1);
    image.Frame(1)->Assign(nullptr);
    EXPECT_TRUE(image.Frame(1)->IsBlank());
    EXPECT_EQ(image.Frame(1)->Blocks().ItemCount(), 0);
    EXPECT_FALSE(image.Frame(1)->IsTransparent());
    image.Assign(nullptr);
    EXPECT_TRUE(image.Empty());
}

TEST(FrameCopy, BlankSourceGivesBlankFrame) {
    TGIFImage image;
    TGIFSubImage blank(&image);
    blank.Blocks().Add(std::make_unique<TGIFCommentExtension>(&blank));
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 2, 2, {1, 1, 1, 1});
    frame.Assign(&blank);
    EXPECT_TRUE(frame.IsBlank());
    EXPECT_EQ(frame.Blocks().ItemCount(), 0);
}

TEST(Lists, IndexErrorsAndMoves) {
    TGIFImage image;
    TGIFSubImage& a = giftest::AddFrame(image, 0, 0, 1, 1);
    TGIFSubImage& b = giftest::AddFrame(image, 0, 0, 1, 1);
    try {
        image.Images().ItemAt(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    image.Images().MoveItem(0, 1);
    EXPECT_EQ(image.Frame(0), &b);
    EXPECT_EQ(image.Frame(1), &a);
    std::unique_ptr<TGIFItem> detached = image.Images().Detach(&a);
    EXPECT_EQ(detached.get(), &a);
    EXPECT_EQ(image.FrameCount(), 1);
    image.Images().InsertAt(0, std::move(detached));
    EXPECT_EQ(image.Frame(0), &a);
    image.Images().DeleteAt(0);
    EXPECT_EQ(image.FrameCount(), 1);
}
