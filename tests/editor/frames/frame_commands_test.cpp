// The frame and animation commands on an open document: each one undone gives back the
// animation byte for byte, and the edge cases of moving, deleting, resizing and reversing.
#include <functional>

#include "editor/core/animation_routines.h"
#include "editor/document/workspace_fixture.h"
#include "editor/frames/frame_commands.h"
#include "gif/model/text_extensions.h"
#include "gif/render/compose.h"

using namespace editor;
using namespace editortest;

namespace {

class FrameCommands : public WorkspaceTest {
protected:
    void Open(int frames = 4) {
        auto image = MakeAnimation(frames);
        AddLoopExtension(*image, 0, 3);
        const QString path = dir.filePath("anim.gif");
        image->SaveToFile(NativePath(path));
        ASSERT_TRUE(workspace.OpenGifDocument(path));
    }
    gif::TGIFImage& Image() { return workspace.WorkingImage(); }
};

} // namespace

TEST_F(FrameCommands, EveryCommandUndoesToTheSameBytes) {
    TGlobalChange global;
    global.XOffset = "1";
    global.Delay = "7";
    global.Disposal = 2;
    global.Interlaced = {true, true, true};
    global.Transparent = {true, true, true};
    global.TransparentColor = gif::RGB(0, 255, 0);
    global.LocalPalette = {true, true, true};
    global.AnyFieldSet = true;
    const std::pair<const char*, std::function<bool(TWorkspace&)>> commands[] = {
        {"Delete Frame", [](TWorkspace& w) { return DeleteFrame(w, 1); }},
        {"Move Frame", [](TWorkspace& w) { return MoveFrame(w, 0, 2); }},
        {"Change Animation Size", [](TWorkspace& w) { return ResizeCommand(w, 8, 6); }},
        {"Reverse Frame Order", [](TWorkspace& w) { return ReverseFrameOrder(w); }},
        {"Change Animation Loop", [](TWorkspace& w) { return ApplyLoopChoice(w, {true, 1, 3}); }},
        {"Global Properties Change", [global](TWorkspace& w) { return ApplyGlobalChange(w, global); }},
        {"Add GIF Comment", [](TWorkspace& w) { return PasteComments(w, "from the clipboard"); }},
        {"GIF Optimization", [](TWorkspace& w) { return OptimizeAnimation(w); }},
    };
    for (const auto& [caption, command] : commands) {
        SCOPED_TRACE(caption);
        Open();
        frames.Select(1);
        const auto before = GifBytes(Image());
        ASSERT_TRUE(command(workspace));
        EXPECT_EQ(Active().History().TopCaption(), caption);
        EXPECT_TRUE(Active().Modified());
        Active().UndoLast();
        EXPECT_EQ(GifBytes(Image()), before);
        workspace.CloseDocumentNow(Active());
    }
}

TEST_F(FrameCommands, DeletingTheOnlyFrameIsRefused) {
    Open(1);
    EXPECT_FALSE(DeleteFrame(workspace, 0));
    EXPECT_EQ(prompter.Texts().last(), "The image anim.gif must have, at least, one frame image.");
    EXPECT_EQ(Image().FrameCount(), 1);
    EXPECT_EQ(Active().History().Count(), 0);
}

TEST_F(FrameCommands, MovesFollowTheSelectionAndTheEnds) {
    Open(3);
    frames.Select(0);
    workspace.Actions().EnableFrameActions(0, 3);
    EXPECT_FALSE(workspace.Actions().Enabled(TActionId::FrameMoveUp));
    EXPECT_TRUE(workspace.Actions().Enabled(TActionId::FrameMoveDown));
    EXPECT_FALSE(MoveSelectedFrame(workspace, TFrameMove::Up));
    ASSERT_TRUE(MoveSelectedFrame(workspace, TFrameMove::ToEnd));
    EXPECT_EQ(FrameColours(Image()), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(GetPlayCount(Image()), 3);   // the looping block stays on the first frame
    EXPECT_FALSE(workspace.Actions().Enabled(TActionId::FrameMoveDown));
    EXPECT_TRUE(workspace.Actions().Enabled(TActionId::FrameMoveUp));
    EXPECT_EQ(frames.Selected(), 2);
    ASSERT_TRUE(MoveSelectedFrame(workspace, TFrameMove::Up));
    EXPECT_EQ(FrameColours(Image()), (std::vector<int>{1, 0, 2}));
    EXPECT_TRUE(workspace.Actions().Enabled(TActionId::FrameMoveDown));
}

TEST_F(FrameCommands, ReverseKeepsTheLoopBlockOnTheNewFirstFrame) {
    Open(3);
    ASSERT_TRUE(ReverseFrameOrder(workspace));
    EXPECT_EQ(FrameColours(Image()), (std::vector<int>{2, 1, 0}));
    ASSERT_NE(FindLoopExtension(*Image().Frame(0)), nullptr);
    EXPECT_EQ(FindLoopExtension(*Image().Frame(2)), nullptr);
    EXPECT_EQ(frames.Count(), 3);
}

TEST_F(FrameCommands, ResizeLimitsAndComposesWhatThePlayerShows) {
    auto image = MakeAnimation(2, 20, 10);
    // Frame 1 covers only the left half and restores to the background afterwards.
    image->Frame(1)->SetPlacement(0, 0, 10, 10);
    image->Frame(0)->ControlBlock()->SetDisposalCode(gif::dmBackground);
    EXPECT_FALSE(ResizeAnimation(*image, 20, 10));
    ASSERT_TRUE(ResizeAnimation(*image, 0, 2000));
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 1000);
    // Each frame is now a full picture of the animation at that frame, as shown.
    auto expected = MakeAnimation(2, 20, 10);
    expected->Frame(1)->SetPlacement(0, 0, 10, 10);
    expected->Frame(0)->ControlBlock()->SetDisposalCode(gif::dmBackground);
    const auto shownBefore = gif::ComposeFrames(*expected, gif::clBlack);
    for (int i = 0; i < 2; ++i) {
        const gif::TGIFSubImage& frame = *image->Frame(i);
        EXPECT_EQ(frame.FrameWidth(), 10);
        EXPECT_EQ(frame.FrameHeight(), 1000);
        EXPECT_EQ(frame.FrameLeft(), 0);
        ASSERT_NE(frame.ControlBlock(), nullptr);   // the delay survives
        EXPECT_EQ(frame.ControlBlock()->DelayTime(), 10 * (i + 1));
    }
    const auto shownAfter = gif::ComposeFrames(*image, gif::clBlack);
    ASSERT_EQ(shownAfter.size(), 2u);
    // The width has the same limit: 1000 is kept, more becomes 1000.
    ASSERT_TRUE(ResizeAnimation(*image, 1000, 5));
    EXPECT_EQ(image->Width(), 1000);
    ASSERT_TRUE(ResizeAnimation(*image, 1001, 6));
    EXPECT_EQ(image->Width(), 1000);
    EXPECT_EQ(image->Height(), 6);
    // Left edge of frame 1: what frame 1 drew; right edge: the background frame 0 left.
    EXPECT_EQ(shownAfter[1]->Pixels(0, 500), shownBefore[1]->Pixels(0, 5));
    EXPECT_EQ(shownAfter[1]->Pixels(9, 500), shownBefore[1]->Pixels(19, 5));
}

TEST_F(FrameCommands, LoopChoicesFollowTheTable) {
    Open(2);
    EXPECT_FALSE(ApplyLoopChoice(workspace, {false, 3, 3}));   // unchanged
    ASSERT_TRUE(ApplyLoopChoice(workspace, {false, 1, 3}));    // play once: block removed
    EXPECT_FALSE(HasLoopExtension(Image()));
    EXPECT_EQ(Active().History().Newest()->Kind, 2);
    ASSERT_TRUE(ApplyLoopChoice(workspace, {false, 5, 1}));
    EXPECT_EQ(GetPlayCount(Image()), 5);
    EXPECT_EQ(Active().History().Newest()->Kind, 1);
    ASSERT_TRUE(ApplyLoopChoice(workspace, {true, 1, 5}));
    EXPECT_EQ(GetPlayCount(Image()), 0);
    EXPECT_FALSE(ApplyLoopChoice(workspace, {true, 1, 0}));
    Active().UndoLast();
    Active().UndoLast();
    Active().UndoLast();
    EXPECT_EQ(GetPlayCount(Image()), 3);
}

TEST_F(FrameCommands, GlobalChangeLeavesDelaysAboveTheLimitAndNothingWhenEmpty) {
    Open(2);
    EXPECT_FALSE(ApplyGlobalChange(workspace, {}));
    TGlobalChange change;
    change.Delay = "40000";
    change.YOffset = "2";
    change.AnyFieldSet = true;
    ASSERT_TRUE(ApplyGlobalChange(workspace, change));
    EXPECT_EQ(Delay(Image(), 1), 20);
    EXPECT_EQ(Image().Frame(1)->FrameTop(), 2);
    change.Delay = "0";   // typed 0 is applied; writing the backing file makes it the default
    ASSERT_TRUE(ApplyGlobalChange(workspace, change));
    EXPECT_EQ(Delay(Image(), 1), settings.Value(keys::DefaultDelay));
}

TEST_F(FrameCommands, PasteCommentsCutsAt255Characters) {
    Open(2);
    ASSERT_TRUE(PasteComments(workspace, QString(300, 'c')));
    const auto& blocks = Image().Frame(0)->Blocks();
    auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(blocks.Extensions(blocks.ItemCount() - 1));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->CommentLines().at(0).size(), 255u);
}
