// The enabling rules of the actions and the GIF library's warning box.
#include "editor/document/warning_box.h"
#include "editor/document/workspace_fixture.h"

using namespace editor;
using namespace editortest;

TEST(ActionStates, InitialStateAndFramePositionRules) {
    TActionStates actions;
    EXPECT_TRUE(actions.Enabled(TActionId::FileNew));
    EXPECT_TRUE(actions.Enabled(TActionId::FrameAdd));
    EXPECT_FALSE(actions.Enabled(TActionId::FileSave));
    EXPECT_FALSE(actions.Enabled(TActionId::AnimationPause));
    EXPECT_EQ(ActionInfo(TActionId::FrameMoveDown).Shortcut, std::string("Ctrl+D"));

    struct Case {
        int Index, Count;
        bool Delete, Up, Down;
    };
    for (const Case& c : {Case{0, 3, true, false, true}, Case{1, 3, true, true, true},
                          Case{2, 3, true, true, false}, Case{0, 1, true, false, false},
                          Case{-1, 0, false, true, false}}) {
        actions.EnableFrameActions(c.Index, c.Count);
        EXPECT_EQ(actions.Enabled(TActionId::FrameDelete), c.Delete) << c.Index;
        EXPECT_EQ(actions.Enabled(TActionId::EditCopy), c.Delete) << c.Index;
        EXPECT_EQ(actions.Enabled(TActionId::FrameMoveUp), c.Up) << c.Index;
        EXPECT_EQ(actions.Enabled(TActionId::FrameMoveBegin), c.Up) << c.Index;
        EXPECT_EQ(actions.Enabled(TActionId::FrameMoveDown), c.Down) << c.Index;
        EXPECT_EQ(actions.Enabled(TActionId::FrameMoveEnd), c.Down) << c.Index;
    }
}

TEST_F(WorkspaceTest, PlaybackSwitchesActionsOffAndBack) {
    workspace.OpenGifDocument(WriteGif("a.gif", 3));
    workspace.DisplayFrame(2);
    TActionStates& actions = workspace.Actions();
    workspace.PlaybackStarted();
    EXPECT_TRUE(actions.Playing());
    for (TActionId id : {TActionId::AnimationPlay, TActionId::FileOpen, TActionId::FileNew,
                         TActionId::FrameAdd, TActionId::FrameMoveUp, TActionId::FileClose})
        EXPECT_FALSE(actions.Enabled(id)) << ActionInfo(id).Name;
    workspace.PlaybackStopped();
    EXPECT_FALSE(actions.Playing());
    EXPECT_TRUE(actions.Enabled(TActionId::AnimationPlay));
    EXPECT_TRUE(actions.Enabled(TActionId::FrameMoveUp));
    EXPECT_FALSE(actions.Enabled(TActionId::FrameMoveDown)); // the last frame is selected
    EXPECT_TRUE(actions.Enabled(TActionId::FileOpen));
}

TEST_F(WorkspaceTest, FrameIndexOutsideTheImageShowsTheListError) {
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    const int shown = host.FramesShown;
    workspace.DisplayFrame(-1);
    workspace.DisplayFrame(5); // beyond the list: ignored
    frames.InsertItem(2);      // a list item without a frame behind it
    prompter.Then(mrOk);
    workspace.DisplayFrame(2);
    EXPECT_EQ(prompter.Texts(), QStringList{"EListError getting SubImages[2] in DrawPreviewImage"});
    EXPECT_EQ(host.FramesShown, shown);
    EXPECT_EQ(Active().StatusText, "a.gif - [Height: 3 x Width: 4]");
}

TEST(WarningBox, TextAndTheThreeAnswers) {
    EXPECT_EQ(WarningText(1, "TGIFSubImage", "Invalid color index"),
              "A GIF process has resulted in a warning. The source is traced to TGIFSubImage with "
              "the following message: \"Invalid color index.\"");
    EXPECT_TRUE(WarningText(0, "X", "m").contains("resulted in special comments."));
    EXPECT_TRUE(WarningText(2, "X", "m").contains("resulted in an error."));

    QTemporaryDir dir;
    Settings settings(dir.filePath("s.ini"));
    settings.SetValue(keys::Warnings, 1);
    TScriptedPrompter prompter;
    gif::TGIFImage image;
    InstallWarningBox(image, prompter, settings);
    gif::TObject source;

    prompter.Then(mrIgnore);
    image.Warning(&source, 1, "first");
    EXPECT_EQ(prompter.Asked.back().Buttons, TButtons::AbortIgnoreAll);
    EXPECT_EQ(prompter.Asked.back().Kind, TMessageKind::Warning);

    prompter.Then(mrAbort);
    EXPECT_THROW(image.Warning(&source, 1, "second"), EProcessAborted);

    prompter.Then(mrAll);
    image.Warning(&source, 1, "third");
    EXPECT_EQ(settings.Value(keys::Warnings), 0);
    image.Warning(&source, 1, "fourth"); // silent now
    EXPECT_EQ(prompter.Asked.size(), 3u);
    EXPECT_STREQ(EProcessAborted().what(), "This process has been aborted.");
}
