// The animation wizard's build: size, placement, background, delays, looping, and the new
// document it becomes.
#include "editor/core/animation_routines.h"
#include "editor/document/workspace_fixture.h"
#include "editor/wizards/animation_builder.h"
#include "editor/wizards/wizard_finish.h"
#include "gif/model/colormap.h"
#include "gif/model/text_extensions.h"

using namespace editor;
using namespace editortest;

namespace {

// Colours of the web palette only, so that the build's colour reduction keeps them exactly.
gif::TColor WebColour(int x, int y) {
    return gif::RGB(51 * (x % 6), 51 * (y % 6), 51 * ((x / 6 + y / 6) % 6));
}

class AnimationBuilder : public WorkspaceTest {
  protected:
    QString WritePicture(const QString& name, int width, int height,
                         gif::TColor (*colour)(int, int) = WebColour) {
        const QString path = dir.filePath(name);
        gif::TBitmap bitmap(width, height, gif::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bitmap.SetPixels(x, y, colour(x, y));
        bitmap.SaveToFile(NativePath(path));
        return path;
    }
    std::unique_ptr<gif::TGIFImage> Build(const TAnimationChoices& choices, const QStringList& paths) {
        return BuildAnimation(workspace.Context(), choices, paths);
    }
    // The colour frame `index` shows at (x, y) of its own rectangle.
    static gif::TColor Shown(gif::TGIFImage& image, int index, int x, int y) {
        gif::TGIFSubImage& frame = *image.Frame(index);
        return frame.EffectiveTable().ColorAt(frame.PixelAt(x, y));
    }
};

} // namespace

TEST_F(AnimationBuilder, CustomSizeCentredShowsThePicturesMiddlePixelForPixel) {
    TAnimationChoices choices;
    choices.CustomSize = true;
    choices.Width = 120;
    choices.Height = 80;
    choices.Center = true;
    auto image = Build(choices, {WritePicture("wide.bmp", 200, 100)});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount(), 1);
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(image->Height(), 80);
    gif::TGIFSubImage& frame = *image->Frame(0);
    ASSERT_EQ(frame.FrameWidth(), 120);
    ASSERT_EQ(frame.FrameHeight(), 80);
    int wrong = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if (Shown(*image, 0, x, y) != WebColour(x + 40, y + 10)) ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST_F(AnimationBuilder, SmallerPicturesSitOnTheFirstPicturesBackground) {
    // The first picture sets size and background: its pixel at (1, height - 1).
    const QString first = WritePicture("first.bmp", 30, 20, [](int x, int y) {
        return x == 1 && y == 19 ? gif::RGB(0, 102, 204) : gif::RGB(255, 255, 255);
    });
    const QString small = WritePicture("small.bmp", 10, 6, [](int, int) { return gif::RGB(255, 0, 0); });
    TAnimationChoices choices;
    auto image = Build(choices, {first, small});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount(), 2);
    EXPECT_EQ(image->Width(), 30);
    // Top left: the picture at (0, 0), the rest background.
    EXPECT_EQ(Shown(*image, 1, 0, 0), gif::RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 1, 9, 5), gif::RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 1, 10, 5), gif::RGB(0, 102, 204));
    EXPECT_EQ(Shown(*image, 1, 29, 19), gif::RGB(0, 102, 204));
    // Centred: offsets (30 - 10) / 2 = 10 and (20 - 6) / 2 = 7.
    choices.Center = true;
    image = Build(choices, {first, small});
    EXPECT_EQ(Shown(*image, 1, 9, 7), gif::RGB(0, 102, 204));
    EXPECT_EQ(Shown(*image, 1, 10, 7), gif::RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 1, 19, 12), gif::RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 1, 20, 12), gif::RGB(0, 102, 204));
    // Scaled: the picture fills the frame.
    choices.Scale = true;
    image = Build(choices, {first, small});
    EXPECT_EQ(Shown(*image, 1, 0, 0), gif::RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 1, 29, 19), gif::RGB(255, 0, 0));
}

TEST_F(AnimationBuilder, ThreeImagesPlayedThreeTimesHavePlayCountThree) {
    TAnimationChoices choices;
    choices.LoopForever = false;
    choices.PlayCount = 3;
    choices.Delay = 25;
    auto image = Build(choices, {WriteBmp("a.bmp"), WriteBmp("b.bmp"), WriteBmp("c.bmp")});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount(), 3);
    EXPECT_EQ(GetPlayCount(*image), 3);
    for (int i = 0; i < 3; ++i) {
        const gif::TGIFGraphicControlExtension* control = image->Frame(i)->ControlBlock();
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->DelayTime(), 25);
        EXPECT_EQ(control->DisposalCode(), 1);
    }
    // One comment on frame 0, and one colour table for all.
    int comments = 0;
    for (int b = 0; b < image->Frame(0)->Blocks().ItemCount(); ++b)
        if (auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(image->Frame(0)->Blocks().Extensions(b))) {
            ++comments;
            ASSERT_FALSE(comment->CommentLines().empty());
            EXPECT_EQ(comment->CommentLines().front(), "Created with Quillmark GIF Loopwright 3.0");
        }
    EXPECT_EQ(comments, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(image->Frame(i)->LocalTable().EntryCount(), 0);

    // Played once: no looping block; for ever: a looping block with count 0.
    choices.PlayCount = 1;
    image = Build(choices, {WriteBmp("a.bmp")});
    EXPECT_FALSE(HasLoopExtension(*image));
    choices.LoopForever = true;
    image = Build(choices, {WriteBmp("a.bmp")});
    EXPECT_TRUE(HasLoopExtension(*image));
    EXPECT_EQ(GetPlayCount(*image), 0);
}

TEST_F(AnimationBuilder, FilesThatDoNotLoadAreLeftOutAndTheFirstThatLoadsGivesTheSize) {
    const QString broken = dir.filePath("broken.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really");
    file.close();
    TAnimationChoices choices;
    auto image = Build(choices, {dir.filePath("gone.bmp"), broken, WriteBmp("b.bmp", 7, 5),
                                 WriteBmp("c.bmp", 9, 9)});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->FrameCount(), 2);
    EXPECT_EQ(image->Width(), 7);
    EXPECT_EQ(image->Height(), 5);
    // Nothing that loads: no animation at all.
    EXPECT_EQ(Build(choices, {dir.filePath("gone.bmp")}), nullptr);
    EXPECT_EQ(Build(choices, {}), nullptr);
}

TEST_F(AnimationBuilder, NonsenseNumbersAreKeptInsideTheirRanges) {
    TAnimationChoices choices;
    choices.CustomSize = true;
    choices.Width = -5;
    choices.Height = 100000;
    choices.Delay = 0;
    choices.LoopForever = false;
    choices.PlayCount = -3;
    // A picture one pixel wide has no second column: the background comes from column 0.
    auto image = Build(choices, {WritePicture("thin.bmp", 1, 4)});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width(), 1);
    EXPECT_EQ(image->Height(), MaxWizardSize);
    EXPECT_EQ(image->Frame(0)->ControlBlock()->DelayTime(), 1);
    EXPECT_EQ(GetPlayCount(*image), 1);
}

TEST_F(AnimationBuilder, TheBuiltAnimationBecomesANewUntitledDocument) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("open.gif", 2)));
    EditDelay(0, 77); // the open document has an edit that must not be lost
    const QStringList tempsBefore = TempFiles();
    TAnimationChoices choices;
    auto image = Build(choices, {WriteBmp("a.bmp"), WriteBmp("b.bmp")});
    ASSERT_TRUE(AdoptAsNewDocument(workspace, std::move(image)));
    host.Pump();
    ASSERT_EQ(workspace.DocumentCount(), 2);
    TDocument& created = Active();
    EXPECT_NE(&created, &Doc(0));
    EXPECT_TRUE(created.Modified());
    EXPECT_TRUE(created.FileName().startsWith("Untitled"));
    EXPECT_TRUE(QFileInfo(created.TempFileName()).fileName().startsWith("~GL"));
    EXPECT_TRUE(QFileInfo::exists(created.TempFileName()));
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 2);
    EXPECT_EQ(frames.Count(), 2);
    // The first document's edit went to its backing file and comes back with it.
    SwitchTo(Doc(0));
    EXPECT_EQ(Delay(workspace.WorkingImage(), 0), 77);
    EXPECT_FALSE(AdoptAsNewDocument(workspace, nullptr));
    EXPECT_EQ(workspace.DocumentCount(), 2);
}
