// The undo history: every command kind the editor pushes, applied as the edit commands do
// (push first, then change the working image), is undone back to the same bytes; the limit,
// failing reversals, temporary files and the document-level undo.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <functional>

#include "editor/core/animation_routines.h"
#include "editor/core/frame_moves.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/history.h"
#include "editor/undo/palette_command.h"
#include "editor/undo/snapshot_commands.h"
#include "editor/undo/undo_last.h"
#include "gif/model/text_extensions.h"

using namespace editor;
using namespace editortest;
using gif::TGIFImage;

namespace {

struct Workspace {
    explicit Workspace(int frames) : image(MakeAnimation(frames)), list(frames) {}
    TEditContext Context() { return {*image, list, prompter, settings}; }
    std::unique_ptr<TGIFImage> image;
    TFakeFrameList list;
    TScriptedPrompter prompter;
    Settings settings;
};

struct UndoCase {
    const char* Name;
    std::function<void(TGIFImage&)> Prepare;   // the animation before the edit
    int Kind, SubKind, Arg1, Arg2, FrameIndex;
    std::function<void(TEditContext&)> Edit;    // the edit itself, after the push
};

gif::TGIFSubImage& F(TGIFImage& image, int i) { return *image.Frame(i); }

void GiveLocalTable(TGIFImage& image, int i, std::initializer_list<gif::TColor> colours) {
    for (gif::TColor c : colours) F(image, i).LocalTable().AppendColor(c);
}

std::vector<UndoCase> Cases() {
    using namespace gif;
    auto none = [](TGIFImage&) {};
    return {
        {"ReverseFrameOrder", [](TGIFImage& im) { AddLoopExtension(im, 0, 3); },
         ckActiveAnimation, 8, -1, -1, -1,
         [](TEditContext& c) {
             for (int i = 1; i < c.Image.FrameCount(); ++i) MoveFrameInImage(c, i, 0);
         }},
        {"AddLocalPalette", none, ckPalette, 1, -1, -1, 1,
         [](TEditContext& c) { F(c.Image, 1).LocalTable().CopyFrom(c.Image.GlobalColorMap()); }},
        {"ChangeGlobalPalette", none, ckPalette, 3, -1, -1, -1,
         [](TEditContext& c) {
             c.Image.GlobalColorMap().SetColorAt(2, RGB(9, 8, 7));
             c.Image.GlobalColorMap().AppendColor(RGB(1, 1, 1));
         }},
        {"ReplaceLocalPalette", [](TGIFImage& im) { GiveLocalTable(im, 2, {0, 0xFF, 0xFF00, 0xFF0000}); },
         ckPalette, 2, -1, -1, 2,
         [](TEditContext& c) { F(c.Image, 2).LocalTable().RemoveAll(); }},
        {"AddColorPaletteEntry", none, ckPalette, 5, -1, -1, -1,
         [](TEditContext& c) { c.Image.GlobalColorMap().AppendColor(clWhite); }},
        {"DeleteUnusedGlobalEntry", none, ckPalette, 6, 1, -1, -1,
         // Frame 1 uses index 1: recolour it first so that nothing uses it.
         [](TEditContext& c) { DeleteColorEntry(c.Image, -1, 1); }},
        {"DeleteDuplicatedLocalEntry",
         [](TGIFImage& im) { GiveLocalTable(im, 3, {0, 0xFF, 0xFF00, 0xFF, 0xFF0000}); },
         ckPalette, 6, 3, -1, 3,
         [](TEditContext& c) { DeleteColorEntry(c.Image, 3, 3); }},
        {"ChangeColorPaletteEntry", none, ckPalette, 7, 2, int(RGB(0, 255, 0)), -1,
         [](TEditContext& c) { c.Image.GlobalColorMap().SetColorAt(2, RGB(5, 5, 5)); }},
        {"AddFrame", none, ckFrame, 1, -1, -1, 1,
         [](TEditContext& c) {
             auto frame = std::make_unique<TGIFSubImage>(&c.Image);
             frame->SetPlacement(1, 1, 2, 2);
             c.Image.Images().InsertAt(1, std::move(frame));
             c.Frames.InsertItem(1);
         }},
        {"DeleteFirstFrame", [](TGIFImage& im) {
             AddLoopExtension(im, 0, 0);
             GiveLocalTable(im, 0, {0x123456, 0x654321});
             AddComment(F(im, 0), "first");
         },
         ckFrame, 2, -1, -1, 0, [](TEditContext& c) { DeleteFrameAt(c, 0); }},
        {"ChangeFrameGeometry", none, ckFrame, 3, -1, -1, 1,
         [](TEditContext& c) {
             F(c.Image, 1).SetPlacement(1, 2, 2, 1);
             F(c.Image, 1).SetInterlaced(true);
             c.Image.SetWidth(9);
         }},
        {"MoveFrame", [](TGIFImage& im) { AddLoopExtension(im, 0, 5); },
         ckFrame, 4, -1, 3, 0, [](TEditContext& c) { MoveFrameInImage(c, 0, 3); }},
        {"AddGIFComment", none, ckComment, 1, -1, 1, 2,
         [](TEditContext& c) { AddComment(F(c.Image, 2), "hello"); }},
        {"DeleteGIFComment",
         [](TGIFImage& im) {
             auto comment = std::make_unique<TGIFCommentExtension>(&F(im, 1));
             comment->CommentLines() = {"a\nb", "c"};
             F(im, 1).Blocks().InsertAt(0, std::move(comment));
         },
         ckComment, 2, -1, 0, 1, [](TEditContext& c) { F(c.Image, 1).Blocks().DeleteAt(0); }},
        {"ChangeGIFComment", [](TGIFImage& im) { AddComment(F(im, 0), "old"); },
         ckComment, 3, -1, 1, 0,
         [](TEditContext& c) {
             static_cast<TGIFCommentExtension*>(F(c.Image, 0).Blocks().Extensions(1))
                 ->CommentLines() = {"new", "text"};
         }},
        {"AddGraphicControl", [](TGIFImage& im) { F(im, 2).Blocks().DeleteAt(0); },
         ckGraphicControl, 1, -1, -1, 2,
         [](TEditContext& c) { EnsureGraphicControl(F(c.Image, 2), 100); }},
        {"RemoveGraphicControl",
         [](TGIFImage& im) {
             F(im, 2).ControlBlock()->SetTransparentFlag(true);
             F(im, 2).ControlBlock()->SetTransparentIndex(3);
             F(im, 2).ControlBlock()->SetDisposalCode(dmPrevious);
         },
         ckGraphicControl, 2, -1, -1, 2,
         [](TEditContext& c) { F(c.Image, 2).Blocks().DeleteAt(0); }},
        {"ChangeTransparentColorWithDuplicateEntries",
         [](TGIFImage& im) {
             im.GlobalColorMap().AppendColor(RGB(0, 255, 0));   // index 4 repeats index 2
             F(im, 1).ControlBlock()->SetTransparentFlag(true);
             F(im, 1).ControlBlock()->SetTransparentIndex(4);
         },
         ckGraphicControl, 3, -1, -1, 1,
         [](TEditContext& c) {
             auto* control = F(c.Image, 1).ControlBlock();
             control->SetTransparentFlag(false);
             control->SetDelayTime(3);
             control->SetDisposalCode(dmBackground);
             control->SetTransparentIndex(1);
             control->SetUserInputFlag(true);
         }},
        {"AddLoop", none, ckLoop, 1, -1, -1, 0,
         [](TEditContext& c) { AddLoopExtension(c.Image, 0, 4); }},
        {"RemoveLoop", [](TGIFImage& im) { AddLoopExtension(im, 0, 7); }, ckLoop, 2, -1, -1, 0,
         [](TEditContext& c) {
             F(c.Image, 0).Blocks().DeleteAt(0);
         }},
        {"ChangePlayTwiceToFive", [](TGIFImage& im) { AddLoopExtension(im, 0, 2); },
         ckLoop, 3, -1, -1, 0, [](TEditContext& c) { SetPlayCount(c.Image, 5); }},
        {"ChangeNoLoopToForever", none, ckLoop, 3, -1, -1, 0,
         [](TEditContext& c) { SetPlayCount(c.Image, 0); }},
    };
}

} // namespace

TEST(UndoHistory, EveryCommandKindGivesBackTheSameBytes) {
    for (const UndoCase& test : Cases()) {
        SCOPED_TRACE(test.Name);
        Workspace ws(4);
        if (std::string(test.Name) == "DeleteUnusedGlobalEntry")
            std::fill(F(*ws.image, 1).Pixels(), F(*ws.image, 1).Pixels() + 12, uint8_t(0));
        test.Prepare(*ws.image);
        const auto before = GifBytes(*ws.image);
        const int items = ws.list.Count();
        TEditContext context = ws.Context();
        THistoryList history;
        history.Push(context, test.Kind, test.SubKind, test.Arg1, test.Arg2, test.FrameIndex,
                     test.Name);
        ASSERT_EQ(history.Count(), 1);
        test.Edit(context);
        ASSERT_NE(GifBytes(*ws.image), before) << "the edit changed nothing";
        history.UndoNewest(context);
        EXPECT_EQ(history.Count(), 0);
        EXPECT_EQ(GifBytes(*ws.image), before);
        EXPECT_EQ(ws.list.Count(), items);
    }
    EXPECT_TRUE(TempFiles().isEmpty()) << TempFiles().join(", ").toStdString();
}

TEST(UndoHistory, DeletingAColourKeepsEveryPixelsColour) {
    Workspace ws(4);
    GiveLocalTable(*ws.image, 3, {0, 0xFF, 0xFF00, 0xFF, 0xFF0000});
    F(*ws.image, 3).Pixels()[0] = 4;   // the last colour, which moves down
    F(*ws.image, 3).Pixels()[1] = 3;   // the duplicate that goes
    DeleteColorEntry(*ws.image, 3, 3);
    const auto& table = F(*ws.image, 3).LocalTable();
    ASSERT_EQ(table.EntryCount(), 4);
    EXPECT_EQ(table.Entries()[F(*ws.image, 3).Pixels()[0]], (gif::TGIFColor{0, 0, 255}));
    EXPECT_EQ(table.Entries()[F(*ws.image, 3).Pixels()[1]], (gif::TGIFColor{255, 0, 0}));
}

TEST(UndoHistory, SnapshotsOfAnUnchangedAnimationStoreItsImageDataOnce) {
    Workspace ws(12);
    ws.image = MakeAnimation(12, 96, 64);
    uint32_t noise = 7;
    for (int i = 0; i < 12; ++i)
        for (uint8_t& pixel : F(*ws.image, i).PixelData()) pixel = uint8_t((noise = noise * 1103515245 + 12345) >> 29 & 3);
    const std::vector<uint8_t> original = GifBytes(*ws.image);
    TEditContext context = ws.Context();
    auto diskTaken = [] {
        qint64 bytes = 0;
        for (const QString& name : TempFiles()) bytes += QFileInfo(QDir::temp().filePath(name)).size();
        return bytes;
    };
    {
        THistoryList history;
        for (int i = 0; i < 50; ++i) history.Push(context, ckActiveAnimation, 8, -1, -1, -1, "x");
        EXPECT_LE(diskTaken(), 2 * qint64(original.size()));

        // A changed frame is stored anew, the others are shared still; undo gives the
        // animation back byte for byte, and what it reads back is shared too.
        F(*ws.image, 5).Pixels()[0] ^= 1;
        const std::vector<uint8_t> changed = GifBytes(*ws.image);
        history.Push(context, ckActiveAnimation, 8, -1, -1, -1, "changed");
        const qint64 afterChange = diskTaken();
        EXPECT_LE(afterChange, 2 * qint64(original.size()) + 96 * 64);
        F(*ws.image, 0).Pixels()[0] ^= 1;
        history.UndoNewest(context);
        EXPECT_EQ(GifBytes(*ws.image), changed);
        history.Push(context, ckActiveAnimation, 8, -1, -1, -1, "after undo");
        EXPECT_LE(diskTaken(), afterChange + 4096);
    }
    EXPECT_TRUE(TempFiles().isEmpty()) << TempFiles().join(", ").toStdString();
}

TEST(UndoHistory, LimitDropsTheOldestAndItsTemporaryFile) {
    Workspace ws(2);
    TEditContext context = ws.Context();
    {
        THistoryList history;
        ASSERT_EQ(history.Limit(), 50);
        for (int i = 0; i < 51; ++i) history.Push(context, ckActiveAnimation, 8, -1, -1, -1, "x");
        EXPECT_EQ(history.Count(), 51);
        const QString oldest = static_cast<TActiveAnimation*>(history.At(0))->TempFileName();
        ASSERT_TRUE(QFileInfo::exists(oldest));
        history.Push(context, ckActiveAnimation, 8, -1, -1, -1, "52nd");
        EXPECT_EQ(history.Count(), 51);
        EXPECT_FALSE(QFileInfo::exists(oldest));
        // 51 snapshots and the one file of image data they share.
        EXPECT_EQ(TempFiles().size(), 52);
        // A lower limit trims nothing now; the next push drops only one.
        history.SetLimit(10);
        history.Push(context, ckFrame, 4, -1, 1, 0, "move");
        EXPECT_EQ(history.Count(), 52);
        EXPECT_EQ(history.TopCaption(), "move");
        EXPECT_EQ(history.TopFrameIndex(), 0);
        history.Push(context, 99, 1, -1, -1, -1, "unknown kind adds nothing");
        EXPECT_EQ(history.Count(), 52);
    }
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST(UndoHistory, AFailingUndoKeepsTheCommandAndTheImage) {
    Workspace ws(3);
    TEditContext context = ws.Context();
    THistoryList history;
    const char* expected[][2] = {{"5", "Unknown Action Type from TGCExt!"},
                                 {"7", "Unknown Action Type from TNSLoop!"},
                                 {"4", "Unknown Action Type from TCommentExt!"},
                                 {"3", "Unknown Action Type from TFrame!"},
                                 {"2", "Unknown Action Type from TCommandPalette!"}};
    for (const auto& [kind, message] : expected) {
        history.Push(context, QString(kind).toInt(), 0, -1, -1, 0, "bad");
        const auto before = GifBytes(*ws.image);
        try {
            history.UndoNewest(context);
            FAIL() << "no error for " << message;
        } catch (const ECommandError& error) {
            EXPECT_STREQ(error.what(), message);
        }
        EXPECT_EQ(history.Count(), 1);
        EXPECT_EQ(GifBytes(*ws.image), before);
        history.Clear();
    }
    // Commands that cannot even be built.
    EXPECT_THROW(history.Push(context, ckFrame, 1, -1, -1, 7, "x"), ECommandError);
    try {
        history.Push(context, ckPalette, 6, -1, -1, -1, "x");
    } catch (const ECommandError& error) {
        EXPECT_STREQ(error.what(), "AColorIndex is -1!");
    }
    history.Push(context, ckComment, 3, -1, 0, 0, "not a comment at 0");
    EXPECT_THROW(history.UndoNewest(context), ECommandError);
    EXPECT_EQ(history.Count(), 1);
}

namespace {

// A document that records what undo asked of it.
struct RecordingDocument : IUndoDocument {
    bool IsUntitled() const override { return untitled; }
    QString FileName() const override { return fileName; }
    QString TempFileName() const override { return {}; }
    void MarkBackingStale() override { log << "stale"; }
    void SetModified(bool value) override { log << (value ? "modified" : "unmodified"); }
    void DeleteTempFile() override { log << "delete temp"; }
    void SetSelectedFrame(int index) override { log << QString("selected %1").arg(index); }
    void ReloadWorkingImage(const QString& path) override { log << "reload " + path; }
    bool WriteBackingFile() override { return false; }
    int InspectorRow() const override { return row; }
    void SelectInspectorRow(int value) override { row = value; }
    void UpdateUndoState() override { log << "undo state"; }
    void RepaintFrameList() override {}
    void CloseNow() override { log << "close"; }

    bool untitled = false;
    QString fileName;
    int row = 3;
    QStringList log;
};

} // namespace

TEST(UndoLast, SelectsTheInspectorRowNamedInTheCaption) {
    Workspace ws(3);
    TEditContext context = ws.Context();
    THistoryList history;
    RecordingDocument document;
    document.untitled = true;
    history.Push(context, ckFrame, 4, -1, 2, 0, "first");
    history.Push(context, ckGraphicControl, 3, -1, -1, 1, "Change Delay");
    UndoLast(context, history, document);
    EXPECT_EQ(document.row, 10);
    EXPECT_TRUE(document.log.contains("stale"));
    EXPECT_EQ(ws.list.Log.last(), "show 1");
    history.Push(context, ckGraphicControl, 3, -1, -1, 1, "Something Else");
    UndoLast(context, history, document);
    EXPECT_EQ(document.row, 10);   // no label in the caption: the current row stays
}

TEST(UndoLast, EmptyHistoryOfASavedDocumentReloadsTheFile) {
    Workspace ws(2);
    TEditContext context = ws.Context();
    THistoryList history;
    RecordingDocument document;
    document.fileName = MakeTempFile(GetTempFolder());
    history.Push(context, ckGraphicControl, 3, -1, -1, 0, "Change Delay");
    UndoLast(context, history, document);
    EXPECT_EQ(document.log, (QStringList{"unmodified", "delete temp", "selected 0",
                                         "reload " + document.fileName, "undo state"}));
    DeleteFileIfNamed(document.fileName);
    // An untitled document stays modified.
    RecordingDocument untitled;
    untitled.untitled = true;
    history.Push(context, ckGraphicControl, 3, -1, -1, 0, "Change Delay");
    UndoLast(context, history, untitled);
    EXPECT_FALSE(untitled.log.contains("unmodified"));
}

TEST(UndoLast, UndoingTheOnlyFrameClosesTheDocument) {
    gif::TGIFImage image;
    TFakeFrameList list(0);
    TScriptedPrompter prompter;
    Settings settings;
    TEditContext context{image, list, prompter, settings};
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetPlacement(0, 0, 1, 1);
    image.AddFrame(std::move(frame));
    list.InsertItem(0);
    THistoryList history;
    history.Push(context, ckFrame, 1, -1, -1, 0, "Add Frame");
    RecordingDocument document;
    document.untitled = true;
    UndoLast(context, history, document);
    EXPECT_EQ(image.FrameCount(), 0);
    EXPECT_EQ(document.log.last(), "close");
}
