// Copy, Cut and Paste of frames, and picture insertion, through the clipboard of the
// offscreen platform.
#include <QClipboard>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "editor/document/frame_insertion.h"
#include "editor/document/workspace_fixture.h"
#include "editor/frames/frame_clipboard.h"

using namespace editor;
using namespace editortest;

namespace {

class FrameClipboard : public WorkspaceTest {
protected:
    FrameClipboard() { settings.SetValue(keys::PaletteDefaults, 1); }
    gif::TGIFImage& Image() { return workspace.WorkingImage(); }
};

} // namespace

TEST_F(FrameClipboard, CopyThenPasteIntoAnotherDocumentKeepsTheFrame) {
    // Source: frame 1 sits at 2, 1, waits 45, restores to the background, is transparent.
    auto source = MakeAnimation(3, 8, 6);
    gif::TGIFSubImage& frame = *source->Frame(1);
    frame.SetPlacement(2, 1, 4, 3);
    std::fill(frame.Pixels(), frame.Pixels() + 12, uint8_t(2));
    frame.Pixels()[0] = 3;
    frame.ControlBlock()->SetDelayTime(45);
    frame.ControlBlock()->SetDisposalCode(gif::dmBackground);
    frame.ControlBlock()->SetTransparentFlag(true);
    frame.ControlBlock()->SetTransparentIndex(3);
    const QString a = dir.filePath("a.gif");
    source->SaveToFile(NativePath(a));
    ASSERT_TRUE(workspace.OpenGifDocument(a));
    TFrameClipboard clipboard(workspace);
    frames.Select(1);
    ASSERT_TRUE(clipboard.Copy());
    EXPECT_TRUE(QFileInfo(clipboard.FileName()).fileName().startsWith("~GL"));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/gif"));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());

    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("b.gif", 2, 8, 6)));
    const auto before = GifBytes(Image());
    frames.Select(0);
    ASSERT_TRUE(clipboard.Paste());   // after the selected frame
    ASSERT_EQ(Image().FrameCount(), 3);
    const gif::TGIFSubImage& pasted = *Image().Frame(1);
    EXPECT_EQ(pasted.FrameLeft(), 2);
    EXPECT_EQ(pasted.FrameTop(), 1);
    EXPECT_EQ(pasted.ControlBlock()->DelayTime(), 45);
    EXPECT_EQ(pasted.ControlBlock()->DisposalCode(), gif::dmBackground);
    EXPECT_TRUE(pasted.ControlBlock()->TransparentFlag());
    // The same colours as the copied frame, pixel by pixel (pixel 0 is transparent).
    gif::TGIFSubImage& original = *source->Frame(1);
    for (int p = 1; p < 12; ++p) {
        const auto& from = original.EffectiveTable().Entries()[original.Pixels()[p]];
        const auto& to = pasted.EffectiveTable().Entries()[pasted.Pixels()[p]];
        EXPECT_EQ(from, to) << p;
    }
    EXPECT_EQ(pasted.EffectiveTable().Entries()[pasted.ControlBlock()->TransparentIndex()],
              (gif::TGIFColor{0, 0, 255}));
    EXPECT_EQ(Active().History().TopCaption(), "Paste Frame");
    Active().UndoLast();
    EXPECT_EQ(GifBytes(Image()), before);
}

TEST_F(FrameClipboard, CutRemovesTheFrameAndAnEmptySelectionCopiesNothing) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 3)));
    TFrameClipboard clipboard(workspace);
    frames.Select(-1);
    EXPECT_FALSE(clipboard.Copy());
    EXPECT_TRUE(clipboard.FileName().isEmpty());
    frames.Select(2);
    ASSERT_TRUE(clipboard.Cut());
    EXPECT_EQ(Image().FrameCount(), 2);
    EXPECT_EQ(Active().History().TopCaption(), "Delete Frame");
    const QString file = clipboard.FileName();
    {
        TFrameClipboard gone(workspace);
        frames.Select(0);
        ASSERT_TRUE(gone.Copy());
        EXPECT_TRUE(QFileInfo::exists(gone.FileName()));
    }
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(FrameClipboard, AddingAPictureIsUndoneToTheSameBytes) {
    auto image = MakeAnimation(3);
    // Frame 2 draws with a table of its own: inserting merges the tables.
    for (gif::TColor c : {0x102030u, 0x405060u, 0x708090u, 0xA0B0C0u})
        image->Frame(2)->LocalTable().AppendColor(c);
    const QString path = dir.filePath("tables.gif");
    image->SaveToFile(NativePath(path));
    ASSERT_TRUE(workspace.OpenGifDocument(path));
    const auto before = GifBytes(Image());
    gif::TBitmap picture(6, 5, gif::pf24bit);   // two pixels wider and higher: enlarge
    settings.SetValue(keys::ClipDefault, 1);
    settings.SetValue(keys::ClipFrame, 0);
    ASSERT_EQ(AddFrameFromBitmap(workspace, picture, 1, "Add Frame"), 1);
    EXPECT_EQ(Image().Width(), 6);
    EXPECT_EQ(frames.Count(), 4);
    Active().UndoLast();
    EXPECT_EQ(GifBytes(Image()), before);
    EXPECT_EQ(frames.Count(), 3);
}

TEST_F(FrameClipboard, AnotherProgramsPictureIsPastedNotTheLastCopy) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2, 8, 6)));
    TFrameClipboard clipboard(workspace);
    frames.Select(0);
    ASSERT_TRUE(clipboard.Copy());
    EXPECT_TRUE(clipboard.HoldsOwnCopy());
    // Another program copies a picture: a bitmap only, without GIF data.
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(QColor(250, 10, 10));
    QGuiApplication::clipboard()->setImage(picture);
    EXPECT_FALSE(clipboard.HoldsOwnCopy());
    ASSERT_TRUE(clipboard.Paste());
    ASSERT_EQ(Image().FrameCount(), 3);
    const gif::TGIFSubImage& pasted = *Image().Frame(1);
    EXPECT_EQ(pasted.FrameWidth(), 5);
    EXPECT_EQ(pasted.FrameHeight(), 3);
    const auto colour = pasted.EffectiveTable().Entries()[pasted.PixelData()[0]];
    EXPECT_EQ(colour, (gif::TGIFColor{250, 10, 10}));
}

TEST_F(FrameClipboard, PastedFrameHasALocalTableOnlyWhenTheCopiedOneHad) {
    auto image = MakeAnimation(3, 8, 6);
    for (gif::TColor c : {0x102030u, 0x405060u, 0x708090u, 0xA0B0C0u})
        image->Frame(2)->LocalTable().AppendColor(c);
    const QString path = dir.filePath("tables.gif");
    image->SaveToFile(NativePath(path));
    ASSERT_TRUE(workspace.OpenGifDocument(path));
    TFrameClipboard clipboard(workspace);
    frames.Select(2); // the frame with a table of its own
    ASSERT_TRUE(clipboard.Copy());
    frames.Select(0);
    ASSERT_TRUE(clipboard.Paste());
    const gif::TGIFSubImage& own = *Image().Frame(1);
    EXPECT_GT(own.LocalTable().EntryCount(), 0);
    EXPECT_EQ(own.EffectiveTable().Entries()[own.PixelData()[0]], (gif::TGIFColor{0x90, 0x80, 0x70}));
    frames.Select(0); // on the global table
    ASSERT_TRUE(clipboard.Copy());
    ASSERT_TRUE(clipboard.Paste());
    const gif::TGIFSubImage& global = *Image().Frame(1);
    EXPECT_EQ(global.LocalTable().EntryCount(), 0);
    EXPECT_EQ(global.EffectiveTable().Entries()[global.PixelData()[0]], (gif::TGIFColor{0, 0, 0}));
}
