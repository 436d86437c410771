// The optimisation wizard's results, its Finish, and its live estimate against what Finish
// then makes of the document.
#include "editor/document/workspace_fixture.h"
#include "editor/wizards/optimization_results.h"
#include "editor/wizards/wizard_finish.h"
#include "gif/model/colormap.h"
#include "gif/model/text_extensions.h"

#include <chrono>
#include <thread>

using namespace editor;
using namespace editortest;

namespace {

// An animation with work for every choice: a local table on frame 2, a transparent frame,
// a frame that repeats the one before, a comment.
std::unique_ptr<gif::TGIFImage> MixedAnimation() {
    auto image = MakeAnimation(5, 24, 16);
    for (int y = 4; y < 10; ++y)
        for (int x = 3; x < 12; ++x) image->Frame(3)->Pixels()[y * 24 + x] = 1;
    std::copy(image->Frame(0)->Pixels(), image->Frame(0)->Pixels() + 24 * 16, image->Frame(1)->Pixels());
    gif::TGIFSubImage& local = *image->Frame(2);
    for (gif::TColor c : {gif::RGB(9, 9, 9), gif::RGB(200, 100, 0), gif::RGB(0, 255, 0)})
        local.LocalTable().AppendColor(c);
    gif::TGIFGraphicControlExtension* control = image->Frame(4)->ControlBlock();
    control->SetTransparentFlag(true);
    control->SetTransparentIndex(0);
    auto comment = std::make_unique<gif::TGIFCommentExtension>(image->Frame(0));
    comment->CommentLines().push_back("a comment");
    image->Frame(0)->Blocks().Add(std::move(comment));
    return image;
}

TOptimizationChoices Combination(int bits) {
    TOptimizationChoices choices;
    choices.OptimizeAll = bits & 1;
    choices.RemoveLocal = bits & 2;
    choices.PaletteSort = bits & 4;
    choices.Trim = bits & 8;
    choices.DuplicatePixels = bits & 16;
    choices.NonVisible = bits & 32;
    choices.Smallest = bits & 64;
    return choices;
}

class OptimizationWizard : public WorkspaceTest {
  protected:
    void OpenMixed() {
        const QString path = dir.filePath("mixed.gif");
        MixedAnimation()->SaveToFile(NativePath(path));
        ASSERT_TRUE(workspace.OpenGifDocument(path));
    }
    static std::optional<int64_t> Estimate(TOptimizationSession& session,
                                           const TOptimizationChoices& choices) {
        session.Estimator().Request(choices);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (session.Estimator().State().Running && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return session.Estimator().State().Size;
    }
};

} // namespace

TEST(OptimizationTexts, SizesSavingsAndDownloadTime) {
    EXPECT_EQ(BytesText(0), "0 bytes");
    EXPECT_EQ(BytesText(999), "999 bytes");
    EXPECT_EQ(BytesText(36000), "36,000 bytes");
    EXPECT_EQ(BytesText(1234567), "1,234,567 bytes");
    EXPECT_EQ(SavingsText(1000, 1000), "None");
    EXPECT_EQ(SavingsText(1000, 1200), "None");
    EXPECT_EQ(SavingsText(0, 0), "None");
    EXPECT_EQ(SavingsText(1000, 877), "123 bytes (12.3%)");
    EXPECT_EQ(SavingsText(100000, 95000), "5,000 bytes ( 5.0%)");
    EXPECT_EQ(DownloadText(36000, "28.8"), "10.00 secs with a");
    EXPECT_EQ(DownloadText(36000, "14.4"), "20.00 secs with a");
    EXPECT_EQ(DownloadText(36000, "garbage"), "Using a");
    EXPECT_EQ(DownloadText(36000, "0"), "Using a");
    EXPECT_EQ(ModemSpeeds(), QStringList({"14.4", "28.8", "56.6"}));
    EXPECT_EQ(ModemSpeeds()[DefaultModemSpeed], "28.8");
}

TEST_F(OptimizationWizard, NothingCheckedStillGivesResultsWithSavingsNone) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("plain.gif", 3)));
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    TOptimizationChoices nothing;
    nothing.PaletteSort = false;
    const gif::TGIFImage& optimized = session.Optimize(nothing);
    EXPECT_EQ(optimized.FrameCount(), 3);
    EXPECT_EQ(session.OptimizedSize(), session.CurrentSize());
    EXPECT_EQ(SavingsText(session.CurrentSize(), session.OptimizedSize()), "None");
}

TEST_F(OptimizationWizard, CheckBoxesApplyOnlyWhereThereIsSomethingToDo) {
    OpenMixed();
    TOptimizationSession mixed(workspace.WorkingImage(), workspace.Defaults());
    EXPECT_TRUE(mixed.OptimizeAllEnabled());
    EXPECT_TRUE(mixed.RemoveLocalEnabled());
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("plain.gif", 2)));
    TOptimizationSession plain(workspace.WorkingImage(), workspace.Defaults());
    EXPECT_TRUE(plain.OptimizeAllEnabled());
    EXPECT_FALSE(plain.RemoveLocalEnabled());
    // The merge is left out while its box is not offered, whatever it says.
    TOptimizationChoices choices;
    choices.RemoveLocal = true;
    gif::TGIFImage copy;
    RunOptimization(mixed.Snapshot(), copy, choices, false);
    EXPECT_GT(copy.Frame(2)->LocalTable().EntryCount(), 0);
    RunOptimization(mixed.Snapshot(), copy, choices, true);
    EXPECT_EQ(copy.Frame(2)->LocalTable().EntryCount(), 0);
}

TEST_F(OptimizationWizard, TransparentFramesStayTransparent) {
    // Clearing every frame's transparency before the passes would show the colour behind
    // the transparent pixels: the picture would change.
    OpenMixed();
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    TOptimizationChoices choices; // the palette sort only
    const gif::TGIFImage& optimized = session.Optimize(choices);
    ASSERT_EQ(optimized.FrameCount(), 5);
    ASSERT_NE(optimized.Frame(4)->ControlBlock(), nullptr);
    EXPECT_TRUE(optimized.Frame(4)->ControlBlock()->TransparentFlag());
}

TEST_F(OptimizationWizard, FinishWithReplaceIsOneStepThatUndoesToTheSameBytes) {
    OpenMixed();
    const std::vector<uint8_t> before = GifBytes(workspace.WorkingImage());
    const int historyBefore = Active().History().Count();
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    const gif::TGIFImage& optimized = session.Optimize(Combination(0x3F));
    ASSERT_TRUE(ReplaceActiveAnimation(workspace, optimized));
    EXPECT_EQ(Active().History().Count(), historyBefore + 1);
    EXPECT_TRUE(Active().Modified());
    EXPECT_NE(GifBytes(workspace.WorkingImage()), before);
    EXPECT_EQ(frames.Count(), workspace.WorkingImage().FrameCount());
    Active().UndoLast();
    EXPECT_EQ(GifBytes(workspace.WorkingImage()), before);
    EXPECT_EQ(Active().History().Count(), historyBefore);
}

TEST_F(OptimizationWizard, FinishAsNewAnimationLeavesTheOriginalAlone) {
    OpenMixed();
    const std::vector<uint8_t> before = GifBytes(workspace.WorkingImage());
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    const gif::TGIFImage& optimized = session.Optimize(Combination(0x3F));
    auto copy = std::make_unique<gif::TGIFImage>();
    copy->Assign(&optimized);
    const int64_t size = session.OptimizedSize();
    ASSERT_TRUE(AdoptAsNewDocument(workspace, std::move(copy)));
    host.Pump();
    ASSERT_EQ(workspace.DocumentCount(), 2);
    EXPECT_EQ(EncodedSize(workspace.WorkingImage()), size);
    SwitchTo(Doc(0));
    EXPECT_EQ(GifBytes(workspace.WorkingImage()), before);
}

TEST_F(OptimizationWizard, LiveEstimateEqualsTheSizeFinishMakesForEveryCombination) {
    OpenMixed();
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    for (int bits = 0; bits < 128; ++bits) {
        const TOptimizationChoices choices = Combination(bits);
        const std::optional<int64_t> estimate = Estimate(session, choices);
        ASSERT_TRUE(estimate.has_value()) << bits;
        // Next on the frames page takes the finished estimate's copy; Finish replaces.
        const gif::TGIFImage& optimized = session.Optimize(choices);
        EXPECT_EQ(session.OptimizedSize(), *estimate) << bits;
        ASSERT_TRUE(ReplaceActiveAnimation(workspace, optimized));
        EXPECT_EQ(EncodedSize(workspace.WorkingImage()), *estimate) << bits;
        // What the document's backing file holds is that size too.
        EXPECT_EQ(QFileInfo(Active().TempFileName()).size(), *estimate) << bits;
        Active().UndoLast();
    }
}

TEST_F(OptimizationWizard, ACopyMadeWithoutAFinishedEstimateIsTheSameAsTheEstimate) {
    OpenMixed();
    TOptimizationSession session(workspace.WorkingImage(), workspace.Defaults());
    const TOptimizationChoices choices = Combination(0x7F);
    const std::optional<int64_t> estimate = Estimate(session, choices);
    ASSERT_TRUE(estimate.has_value());
    // Another choice was asked for since: the copy is made again, to the same size.
    session.Estimator().Request(Combination(0));
    session.Optimize(choices);
    EXPECT_EQ(session.OptimizedSize(), *estimate);
}
