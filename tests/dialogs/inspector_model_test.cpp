// The Frame Inspector's edits: each row commits through CommitEdit with its caption and is
// undone byte for byte; refused entries change nothing; the palette and comment pages.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "dialogs/inspector/inspected_document.h"
#include "dialogs/inspector/inspector_model.h"
#include "editor/core/animation_routines.h"
#include "editor/core/settings.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/history.h"

using namespace dialogs;
using namespace editortest;

namespace {

// A document that records commands into a real history, so that they can be undone.
struct RecordingDocument : IInspectedDocument {
    explicit RecordingDocument(editor::TEditContext& context) : context(context) {}
    QString ShortName() const override { return "test.gif"; }
    void PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                     const QString& caption) override {
        history.Push(context, kind, subKind, arg1, arg2, frameIndex, caption);
    }
    // Marking writes the backing file: what it would hold is kept.
    void SetModified(bool value) override {
        modified += value;
        atModified = GifBytes(context.Image);
    }
    void DisplayFrame(int index) override { shown.push_back(index); }
    void SetSelectedFrame(int) override {}
    void ReloadFromBackingFile() override { ++reloads; }

    editor::TEditContext& context;
    editor::THistoryList history;
    int modified = 0;
    std::vector<uint8_t> atModified;
    int reloads = 0;
    std::vector<int> shown;
};

struct Fixture {
    Fixture() : image(MakeAnimation(3)), list(3), context{*image, list, prompter, settings},
                document(context), model(*image, prompter, 100) {}
    QTemporaryDir dir;
    std::unique_ptr<gif::TGIFImage> image;
    TFakeFrameList list;
    TScriptedPrompter prompter;
    editor::Settings settings{dir.filePath("s.ini")};
    editor::TEditContext context;
    RecordingDocument document;
    TInspectorModel model;

    QString Commit(int row, const QString& text, int frame = 1) {
        return model.CommitEdit(document, row, text, model.RowValues(frame)[row], frame);
    }
    void UndoAll() {
        while (document.history.Count() > 0) document.history.UndoNewest(context);
    }
};

} // namespace

TEST(InspectorModel, EveryEditableRowCommitsWithItsCaptionAndUndoesExactly) {
    const std::tuple<int, const char*, const char*, const char*> rows[] = {
        {irXOffset, "7", "7", "Change X-Offset"},
        {irYOffset, "70000", "4464", "Change Y-Offset"},   // low 16 bits
        {irInterlaced, "yes", "Yes", "Interlaced"},
        {irTransparent, "YES", "Yes", "Transparent"},
        {irLocalPalette, "Yes", "Yes", "Add Local Palette"},
        {irDelay, " 25 ", "25", "Change Delay"},
        {irDisposal, "background", "Background", "Change Disposal"},
    };
    for (const auto& [row, typed, shown, caption] : rows) {
        SCOPED_TRACE(caption);
        Fixture f;
        const auto before = GifBytes(*f.image);
        EXPECT_EQ(f.Commit(row, typed), shown);
        ASSERT_EQ(f.document.history.Count(), 1);
        EXPECT_EQ(f.document.history.TopCaption(), caption);
        EXPECT_EQ(f.model.RowValues(1)[row], shown);
        EXPECT_NE(GifBytes(*f.image), before);
        f.UndoAll();
        EXPECT_EQ(GifBytes(*f.image), before);
    }
}

TEST(InspectorModel, SwitchingOffAndRemovingUseTheirOwnCaptions) {
    Fixture f;
    f.image->Frame(1)->SetInterlaced(true);
    f.image->Frame(1)->ControlBlock()->SetTransparentFlag(true);
    f.image->Frame(1)->LocalTable().CopyFrom(f.image->GlobalColorMap());
    const auto before = GifBytes(*f.image);
    f.Commit(irInterlaced, "No");
    EXPECT_EQ(f.document.history.TopCaption(), "Non-Interlaced");
    f.Commit(irTransparent, "false");
    EXPECT_EQ(f.document.history.TopCaption(), "Non-Transparent");
    f.Commit(irLocalPalette, "no");
    EXPECT_EQ(f.document.history.TopCaption(), "Remove Local Palette");
    f.UndoAll();
    EXPECT_EQ(GifBytes(*f.image), before);
}

TEST(InspectorModel, RefusedEntriesRestoreTheCellAndRecordNothing) {
    Fixture f;
    EXPECT_EQ(f.Commit(irDelay, "abc"), "20");
    EXPECT_EQ(f.Commit(irXOffset, ""), "0");
    EXPECT_EQ(f.Commit(irInterlaced, "maybe"), "No");
    EXPECT_EQ(f.Commit(irDisposal, "Gone"), "None");
    EXPECT_EQ(f.Commit(irHeight, "99"), "3");   // read-only
    EXPECT_EQ(f.Commit(irDelay, "2 5"), "20");  // digits, but not one number
    EXPECT_EQ(f.prompter.Texts(),
              (QStringList{"This field requires a number value.", "This field requires a number value.",
                           "Accepted values for this field are: Yes, No or True or False.",
                           "Accepted values for this field are: None, Remove, Background, Previous",
                           "'2 5' is not a valid integer value."}));
    // "0012" on a frame whose offset is 12: the same value, no command.
    f.image->Frame(1)->SetFrameLeft(12);
    EXPECT_EQ(f.Commit(irXOffset, "0012"), "12");
    EXPECT_EQ(f.document.history.Count(), 0);
    EXPECT_EQ(f.document.modified, 0);
}

TEST(InspectorModel, AFrameWithoutControlBlockGetsOneBeforeTheEdit) {
    Fixture f;
    f.image->Frame(2)->Blocks().DeleteAt(0);
    f.settings.SetValue(editor::keys::DefaultDelay, 100);
    TInspectorModel model(*f.image, f.prompter, 250);
    EXPECT_EQ(model.RowValues(2)[irDelay], "250");   // the default delay is shown
    EXPECT_EQ(model.RowValues(2)[irDisposal], "Remove");
    const auto before = GifBytes(*f.image);
    EXPECT_EQ(model.CommitEdit(f.document, irDisposal, "Previous", "Remove", 2), "Previous");
    const auto* control = f.image->Frame(2)->ControlBlock();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->DelayTime(), 100);
    EXPECT_EQ(control->DisposalCode(), gif::dmPrevious);
    f.UndoAll();
    EXPECT_EQ(GifBytes(*f.image), before);
}

TEST(InspectorModel, LocalPaletteWithoutGlobalTableStillRecords) {
    gif::TGIFImage image;
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetPlacement(0, 0, 1, 1);
    image.AddFrame(std::move(frame));
    TFakeFrameList list(1);
    TScriptedPrompter prompter;
    QTemporaryDir dir;
    editor::Settings settings(dir.filePath("s.ini"));
    editor::TEditContext context{image, list, prompter, settings};
    RecordingDocument document(context);
    TInspectorModel model(image, prompter, 100);
    EXPECT_EQ(model.CommitEdit(document, irLocalPalette, "Yes", "No", 0), "Yes");
    EXPECT_EQ(document.history.TopCaption(), "Add Local Palette");
    EXPECT_EQ(image.Frame(0)->LocalTable().EntryCount(), 0);
}

TEST(InspectorModel, PaletteEntriesAddChangeAndDelete) {
    Fixture f;
    const auto before = GifBytes(*f.image);
    ASSERT_TRUE(f.model.AddLocalPalette(f.document, 1));
    EXPECT_EQ(f.document.history.TopCaption(), "Add Local Palette");
    EXPECT_TRUE(f.model.LocalTableJustCreated);
    // The new table is sorted by use: deletion is refused with the optimised message.
    EXPECT_FALSE(f.model.DeleteColour(f.document, 1, 0));
    EXPECT_TRUE(f.prompter.Texts().last().startsWith("The palette is already optimized"));
    ASSERT_TRUE(f.model.AddColour(f.document, 1, gif::RGB(1, 2, 3)));
    EXPECT_EQ(f.document.reloads, 1);   // the new table: reloaded once
    EXPECT_FALSE(f.model.LocalTableJustCreated);
    const int count = f.image->Frame(1)->LocalTable().EntryCount();
    ASSERT_TRUE(f.model.ChangeColour(f.document, 1, count - 1, gif::RGB(4, 5, 6)));
    EXPECT_EQ(f.document.history.TopCaption(), "Change Color Palette Entry");
    f.UndoAll();
    EXPECT_EQ(GifBytes(*f.image), before);

    // An unsorted table: an entry that pixels use stays, a duplicate goes.
    Fixture g;
    auto& table = g.image->Frame(1)->LocalTable();   // pixels all 1
    for (gif::TColor c : {0x000000u, 0x0000FFu, 0x00FF00u, 0x0000FFu}) table.AppendColor(c);
    const auto unsorted = GifBytes(*g.image);
    EXPECT_FALSE(g.model.DeleteColour(g.document, 1, 1));
    EXPECT_EQ(g.prompter.Texts().last(), "This color is required by the image and cannot be removed.");
    EXPECT_TRUE(g.model.DeleteColour(g.document, 1, 3));
    EXPECT_EQ(g.document.history.TopCaption(), "Delete Color Palette Entry");
    EXPECT_EQ(table.EntryCount(), 3);
    g.UndoAll();
    EXPECT_EQ(GifBytes(*g.image), unsorted);
}

TEST(InspectorModel, CommentsAreAddedChangedAndRemovedWithUndo) {
    Fixture f;
    editor::AddComment(*f.image->Frame(2), "existing");
    const auto before = GifBytes(*f.image);
    ASSERT_EQ(f.model.Comments().size(), 1u);
    const TCommentEntry added = f.model.AddComment(f.document);
    EXPECT_EQ(added.Caption, "Comment 2");   // appended to the list: its position
    EXPECT_EQ(added.FrameIndex, 0);
    EXPECT_EQ(f.model.Comments()[0].Text, "Comment 2");   // on frame 0, so first when listed again
    EXPECT_EQ(f.model.Comments()[1].Caption, "Comment 2");
    EXPECT_TRUE(f.model.ChangeComment(f.document, f.model.Comments()[1], "changed\r\ntwice"));
    EXPECT_FALSE(f.model.ChangeComment(f.document, f.model.Comments()[1], "changed\r\ntwice"));
    f.model.RemoveComment(f.document, f.model.Comments()[0]);
    EXPECT_EQ(f.model.Comments().size(), 1u);
    const QStringList captions{"Add GIF Comment", "Change GIF Comment", "Delete GIF Comment"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.document.history.At(i)->Caption, captions[i]);
    f.UndoAll();
    EXPECT_EQ(GifBytes(*f.image), before);
}

TEST(InspectorModel, LayoutsAndListings) {
    const std::tuple<int, int, int> layouts[] = {{2, 1, 2}, {5, 2, 3}, {16, 4, 4}, {255, 15, 17}, {256, 16, 16}};
    for (const auto& [n, rows, columns] : layouts) {
        EXPECT_EQ(PaletteLayout(n).Rows, rows) << n;
        EXPECT_EQ(PaletteLayout(n).Columns, columns) << n;
    }
    EXPECT_EQ(EnterableRow(irPlaying), irDelay);
    EXPECT_EQ(EnterableRow(irDimensions), irHeight);
    EXPECT_EQ(EnterableRow(irDisplay), irInterlaced);
    Fixture f;
    f.image->Frame(1)->SetPlacement(0, 0, 2, 1);
    EXPECT_EQ(f.model.FrameSelectorEntries(),
              (QStringList{"Frame 0: [3 x 4]", "Frame 1: [1 x 2]", "Frame 2: [3 x 4]"}));
}

// Every edit changes the working image before it marks the document modified, so that the
// backing file written by the mark holds the edit.
TEST(InspectorModel, EveryEditIsMadeBeforeTheDocumentIsMarked) {
    Fixture f;
    const auto marked = [&f](const char* what) {
        EXPECT_EQ(f.document.atModified, GifBytes(*f.image)) << what;
        f.document.atModified.clear();
    };
    f.Commit(irXOffset, "3");
    marked("offset");
    f.Commit(irDelay, "250");
    marked("delay");
    f.Commit(irTransparent, "Yes");
    marked("transparent");
    f.Commit(irLocalPalette, "Yes");
    marked("local palette");
    ASSERT_TRUE(f.model.AddColour(f.document, 1, gif::RGB(1, 2, 3)));
    marked("add colour");
    ASSERT_TRUE(f.model.ChangeColour(f.document, 1, 0, gif::RGB(9, 9, 9)));
    marked("change colour");
    const TCommentEntry added = f.model.AddComment(f.document);
    marked("add comment");
    EXPECT_EQ(f.model.Comments()[0].Text, added.Caption);
    ASSERT_TRUE(f.model.ChangeComment(f.document, f.model.Comments()[0], "new words"));
    marked("change comment");
    f.model.RemoveComment(f.document, f.model.Comments()[0]);
    marked("remove comment");
}
