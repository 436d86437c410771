// Pictures inserted as frames: which questions are asked, and where the frame goes.
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace_fixture.h"

using namespace editor;
using namespace editortest;

namespace {

// Records the questions and answers them: palette OK, trim, insert after the selection.
struct TRecordingFramePrompts : IFramePrompts {
    bool AskPaletteSettings() override {
        Asked << "palette";
        return true;
    }
    bool AskFrameSize(bool& trim) override {
        Asked << "size";
        trim = true;
        return true;
    }
    int AskInsertIndex(int selected) override {
        Asked << "insert";
        return selected + 1;
    }
    QStringList Asked;
};

class FrameInsertion : public WorkspaceTest {
  protected:
    FrameInsertion() { workspace.SetFramePrompts(&prompts); }
    ~FrameInsertion() override { workspace.SetFramePrompts(nullptr); }
    // A picture of `format` (24-bit, or a few colours at 4 bits) of the given size.
    static gif::TBitmap Picture(int width, int height, gif::TPixelFormat format) {
        gif::TBitmap bitmap(width, height, gif::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixels(x, y, (x + y) % 2 ? gif::RGB(255, 0, 0) : gif::RGB(0, 0, 255));
        if (format != gif::pf24bit) bitmap.SetPixelFormat(format);
        return bitmap;
    }
    int Add(gif::TBitmap bitmap) { return AddFrameFromBitmap(workspace, bitmap, 1, "Add Frame"); }
    TRecordingFramePrompts prompts;
};

} // namespace

TEST_F(FrameInsertion, PaletteQuestionOnlyForPicturesOfEightBitsOrMore) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2, 4, 3)));
    ASSERT_EQ(Add(Picture(4, 3, gif::pf24bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList{"palette"});

    prompts.Asked.clear();
    ASSERT_EQ(Add(Picture(4, 3, gif::pf4bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList());

    // With the stored palette settings as the default, no question either.
    settings.SetValue(keys::PaletteDefaults, 1);
    ASSERT_EQ(Add(Picture(4, 3, gif::pf24bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList());
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 5);
}

TEST_F(FrameInsertion, FrameSizeQuestionFromTwoPixelsLarger) {
    settings.SetValue(keys::PaletteDefaults, 1);
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2, 10, 8)));
    ASSERT_EQ(Add(Picture(12, 8, gif::pf24bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList{"size"});
    ASSERT_EQ(Add(Picture(10, 10, gif::pf24bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList({"size", "size"}));
    // Trimmed: the animation keeps its size.
    EXPECT_EQ(workspace.WorkingImage().Width(), 10);
    EXPECT_EQ(workspace.WorkingImage().Height(), 8);
    // One pixel wider and higher is not asked about: the animation takes the picture's size.
    ASSERT_EQ(Add(Picture(11, 9, gif::pf24bit)), 1);
    EXPECT_EQ(prompts.Asked, QStringList({"size", "size"}));
    EXPECT_EQ(workspace.WorkingImage().Width(), 11);
}

TEST_F(FrameInsertion, InsertPositionAroundTheSelectedFrame) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 3)));
    frames.Select(2);
    EXPECT_EQ(AskInsertPosition(workspace), 3);
    EXPECT_EQ(prompts.Asked, QStringList{"insert"});
    // Nothing selected: at the start, without asking.
    frames.Select(-1);
    EXPECT_EQ(AskInsertPosition(workspace), 0);
    EXPECT_EQ(prompts.Asked, QStringList{"insert"});
}

TEST_F(FrameInsertion, PictureFilesBecomeFramesAfterTheSelection) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 3, 5, 4)));
    frames.Select(0);
    InsertFileAsFrame(workspace, WriteBmp("p.bmp", 5, 4));
    ASSERT_EQ(workspace.WorkingImage().FrameCount(), 4);
    EXPECT_EQ(frames.Selected(), 1);
    EXPECT_EQ(Active().History().TopCaption(), "Add Frame");
    EXPECT_EQ(prompts.Asked, QStringList({"insert", "palette"}));

    // A file that is not there: the user is told, nothing is inserted.
    prompts.Asked.clear();
    InsertFileAsFrame(workspace, dir.filePath("missing.bmp"));
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 4);
    EXPECT_EQ(prompts.Asked, QStringList());
    EXPECT_FALSE(prompter.Texts().isEmpty());
}

TEST_F(FrameInsertion, ScriptsAddAfterTheSelectionWithoutQuestions) {
    gif::TBitmap picture = Picture(4, 3, gif::pf24bit);
    EXPECT_FALSE(AddFrameAfterSelection(workspace, picture, 25));
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 3, 4, 3)));
    const auto before = GifBytes(workspace.WorkingImage());
    frames.Select(1);
    ASSERT_TRUE(AddFrameAfterSelection(workspace, picture, 25));
    EXPECT_EQ(prompts.Asked, QStringList());
    ASSERT_EQ(workspace.WorkingImage().FrameCount(), 4);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 2), 25);
    EXPECT_EQ(frames.Selected(), 2);
    EXPECT_TRUE(Active().Modified());
    Active().UndoLast();
    EXPECT_EQ(GifBytes(workspace.WorkingImage()), before);
}
