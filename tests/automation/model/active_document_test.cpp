// The active document and its frames in-process: the recorded changes, their captions,
// undo back to the same bytes, and the values that change nothing.
#include "automation/model/active_document.h"
#include "automation/model/frames.h"
#include "automation_fixture.h"
#include "editor/core/animation_routines.h"
#include "gif/model/graphic_control.h"

#include <QFile>

namespace automationtest {
namespace {

using automation::TStatus;

QString TopCaption(editor::TDocument& document) { return document.History().TopCaption(); }

// An animation whose frame 2 has no graphic control block and is interlaced.
QString WriteWithoutControl(const QString& path) {
    auto image = editortest::MakeAnimation(3, 20, 10);
    gif::TGIFSubImage* frame = image->Frame(2);
    gif::TGIFExtensionList& blocks = frame->Blocks();
    blocks.DeleteAt(blocks.IndexOf(frame->ControlBlock()));
    frame->SetControlBlock(nullptr);
    frame->SetInterlaced(true);
    image->SaveToFile(editor::NativePath(path));
    return path;
}

TEST_F(AutomationTest, NSLoopWritesThreeZeroAndOneAndReadsThemBack) {
    Open("a.gif", 3);
    auto doc = Doc();
    EXPECT_EQ(doc->NSLoop().Value, 1);
    const auto original = Bytes();
    doc->SetNSLoop(3);
    EXPECT_EQ(doc->NSLoop().Value, 3);
    EXPECT_EQ(TopCaption(Active()), "Change Animation Loop");
    const auto three = Bytes();
    doc->SetNSLoop(0);
    EXPECT_EQ(doc->NSLoop().Value, 0);
    doc->SetNSLoop(1);
    EXPECT_EQ(doc->NSLoop().Value, 1);
    EXPECT_EQ(editor::FindLoopExtension(*Workspace().WorkingImage().Frame(0)), nullptr);
    const int recorded = Active().History().Count();
    EXPECT_EQ(recorded, 3);
    // Nothing for 1 without a looping block, nor for counts that cannot be stored.
    doc->SetNSLoop(1);
    doc->SetNSLoop(65536);
    doc->SetNSLoop(-4);
    EXPECT_EQ(Active().History().Count(), recorded);
    EXPECT_EQ(doc->NSLoop().Value, 1);

    doc->Undo();
    EXPECT_EQ(doc->NSLoop().Value, 0);
    doc->Undo();
    EXPECT_EQ(Bytes(), three);
    doc->Undo();
    EXPECT_EQ(Bytes(), original);
    EXPECT_FALSE(doc->CanUndo().Value);
}

TEST_F(AutomationTest, AddFrameNoPromptsTakesPicturesAndRefusesEmptyOrDamagedOnes) {
    Open("a.gif", 2);
    auto doc = Doc();
    const auto before = Bytes();
    EXPECT_FALSE(doc->AddFrameNoPrompts({}, 10).Value);
    automation::TPicture damaged = Picture(8, 8, gif::RGB(255, 0, 0));
    damaged.resize(30);
    EXPECT_FALSE(doc->AddFrameNoPrompts(damaged, 10).Value);
    EXPECT_FALSE(doc->AddFrameNoPrompts({'B', 'M', 0, 1, 2}, 10).Value);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Active().History().Count(), 0);

    EXPECT_TRUE(doc->AddFrameNoPrompts(Picture(40, 30, gif::RGB(0, 0, 255)), 25).Value);
    EXPECT_EQ(Frames()->Count().Value, 3);
    EXPECT_EQ(TopCaption(Active()), "Add Frame");
    EXPECT_EQ(doc->SelectedFrame().Value, 1);
    EXPECT_EQ(Frames()->Frame(1).Value->Delay().Value, 25);
    doc->Undo();
    EXPECT_EQ(Bytes(), before);

    // The prompting AddFrame answers with the selected index; nothing converted gives -1.
    EXPECT_EQ(doc->AddFrame({}, 0).Value, -1);
}

TEST_F(AutomationTest, SelectedFrameOutOfRangeKeepsTheStoredIndex) {
    Open("a.gif", 3);
    auto doc = Doc();
    doc->SetSelectedFrame(2);
    EXPECT_EQ(doc->SelectedFrame().Value, 2);
    for (int bad : {3, -1, 1000})
        doc->SetSelectedFrame(bad);
    EXPECT_EQ(doc->SelectedFrame().Value, 2);
    EXPECT_TRUE(prompter.Unexpected.isEmpty());
}

TEST_F(AutomationTest, FramesIsOneObjectAndFrameOfCountIsNone) {
    Open("a.gif", 3);
    auto doc = Doc();
    EXPECT_EQ(doc->Frames().Value, doc->Frames().Value);
    auto frames = Frames();
    EXPECT_EQ(frames->Count().Value, 3);
    auto none = frames->Frame(3);
    EXPECT_TRUE(none.Succeeded());
    EXPECT_EQ(none.Value, nullptr);
    EXPECT_EQ(frames->Frame(-1).Value, nullptr);
    auto enumerator = frames->_NewEnum().Value;
    EXPECT_EQ(enumerator->Next(3).Value.size(), 3u);
    // A second active-document object follows the same document.
    EXPECT_EQ(app->ActiveDocument().Value->FileName().Value, doc->FileName().Value);
}

TEST_F(AutomationTest, DelayWithoutGraphicControlReadsMinusOneAndIgnoresWrites) {
    WriteWithoutControl(dir.filePath("plain.gif"));
    ASSERT_TRUE(app->OpenFile(dir.filePath("plain.gif")).Value);
    auto frame = Frames()->Frame(2).Value;
    EXPECT_EQ(frame->Delay().Value, -1);
    frame->SetDelay(50);
    frame->SetTransparent(true);
    frame->SetDisposal(2);
    EXPECT_EQ(frame->Delay().Value, -1);
    EXPECT_FALSE(frame->Transparent().Value);
    EXPECT_EQ(frame->Disposal().Value, 0);
    EXPECT_EQ(Active().History().Count(), 0);
    EXPECT_FALSE(Active().Modified());
}

TEST_F(AutomationTest, WritingTheCurrentValueRecordsNothing) {
    Open("a.gif", 2);
    auto frame = Frames()->Frame(1).Value;
    frame->SetLeft(frame->Left().Value);
    frame->SetTop(frame->Top().Value);
    frame->SetInterlaced(frame->Interlaced().Value);
    frame->SetTransparent(frame->Transparent().Value);
    frame->SetDelay(frame->Delay().Value);
    frame->SetDisposal(frame->Disposal().Value);
    frame->SetWidth(3);
    frame->SetHeight(3);
    // Out-of-range delays and disposal codes are ignored too.
    frame->SetDelay(0);
    frame->SetDelay(65536);
    frame->SetDisposal(8);
    frame->SetDisposal(-1);
    EXPECT_EQ(Active().History().Count(), 0);
    EXPECT_EQ(frame->Width().Value, 40);
}

TEST_F(AutomationTest, EveryRecordedFrameChangeUndoesToTheSameBytes) {
    WriteWithoutControl(dir.filePath("plain.gif"));
    ASSERT_TRUE(app->OpenFile(dir.filePath("plain.gif")).Value);
    auto frames = Frames();
    auto frame1 = frames->Frame(1).Value;
    auto frame2 = frames->Frame(2).Value;
    struct Change {
        QString caption;
        std::function<void()> write;
    };
    const std::vector<Change> changes = {
        {"Change X-Offset", [&] { frame1->SetLeft(7); }},
        {"Change Y-Offset", [&] { frame1->SetTop(4); }},
        {"Change Interlaced", [&] { frame1->SetInterlaced(true); }},
        {"Change Non-Interlaced", [&] { frame2->SetInterlaced(false); }},
        {"Change Transparent", [&] { frame1->SetTransparent(true); }},
        {"Change Delay", [&] { frame1->SetDelay(250); }},
        {"Change Disposal", [&] { frame1->SetDisposal(automation::idmBackground); }},
        {"Change Frame Image", [&] { frame1->SetBitmap(Picture(12, 9, gif::RGB(0, 255, 0))); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.caption.toStdString());
        const auto before = Bytes();
        const int count = Active().History().Count();
        change.write();
        ASSERT_EQ(Active().History().Count(), count + 1);
        EXPECT_EQ(TopCaption(Active()), change.caption);
        EXPECT_NE(Bytes(), before);
        EXPECT_TRUE(Active().Modified());
        Doc()->Undo();
        EXPECT_EQ(Bytes(), before);
        // An undo reloads the animation: a client asks for its frame objects again.
        frame1 = frames->Frame(1).Value;
        frame2 = frames->Frame(2).Value;
    }
}

TEST_F(AutomationTest, FrameObjectOfADeletedFrameReadsEmptyAndWritesNothing) {
    Open("a.gif", 3);
    auto frame = Frames()->Frame(2).Value;
    EXPECT_EQ(frame->Delay().Value, 30);
    Doc()->DeleteFrame(2);
    EXPECT_EQ(Frames()->Count().Value, 2);
    EXPECT_EQ(frame->Delay().Value, -1);
    EXPECT_EQ(frame->Left().Value, 0);
    EXPECT_TRUE(frame->Bitmap().Value.empty());
    const int count = Active().History().Count();
    frame->SetLeft(5);
    EXPECT_FALSE(frame->SetBitmap(Picture(4, 4, gif::clWhite)).Value);
    EXPECT_EQ(Active().History().Count(), count);
    // An index outside the animation deletes nothing and records nothing.
    Doc()->DeleteFrame(7);
    Doc()->DeleteFrame(-1);
    EXPECT_EQ(Active().History().Count(), count);
}

TEST_F(AutomationTest, EditorErrorsBecomeFailedResultsWithTheirMessage) {
    auto doc = std::make_shared<automation::TActiveDocument>(context);
    auto bitmap = doc->CurrentBitmap();
    EXPECT_EQ(bitmap.Status, TStatus::Failed);
    EXPECT_EQ(bitmap.Error, "There is no active document.");

    Open("a.gif", 2);
    auto frame = Frames()->Frame(1).Value;
    auto left = frame->SetLeft(70000);
    EXPECT_EQ(left.Status, TStatus::Failed);
    EXPECT_TRUE(left.Error.startsWith("Invalid frame offset 70000")) << left.Error.toStdString();
    EXPECT_EQ(frame->SetTop(-1).Status, TStatus::Failed);
    EXPECT_EQ(Active().History().Count(), 0);
    EXPECT_EQ(Doc()->ExportToAVI().Error, "not available");
    EXPECT_EQ(Doc()->ImportFromAVI("/tmp/x.avi").Error, "not available");
}

TEST_F(AutomationTest, PicturesCommentsHtmlAndTheTemporaryCopy) {
    const QString path = Open("a.gif", 2, 40, 30);
    auto doc = Doc();
    EXPECT_EQ(doc->HTMLCode("http://x/", "a.gif", 2).Value,
              "<A HREF=\"http://x/\"><IMG SRC=\"a.gif\" HEIGHT=\"30\" WIDTH=\"40\" BORDER=\"2\"></A>");
    gif::TBitmap shown;
    EXPECT_TRUE(automation::BitmapFromPicture(doc->CurrentBitmap().Value, shown));
    EXPECT_EQ(shown.Width(), 40);
    gif::TBitmap frameBitmap;
    EXPECT_TRUE(automation::BitmapFromPicture(Frames()->Frame(0).Value->Bitmap().Value, frameBitmap));
    EXPECT_EQ(frameBitmap.Height(), 30);

    editor::AddComment(*Workspace().WorkingImage().Frame(1), "one\ntwo");
    EXPECT_EQ(Frames()->Frame(1).Value->Comments().Value, "one\r\ntwo\r\n");
    EXPECT_EQ(Frames()->Frame(0).Value->Comments().Value, "");

    const QString copy = dir.filePath("copy.gif");
    EXPECT_TRUE(doc->SaveDocToTempFile(copy).Value);
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(doc->FileName().Value, QFileInfo(path).absoluteFilePath());
    prompter.Then(editor::mrOk);
    EXPECT_FALSE(doc->SaveDocToTempFile(dir.filePath("no/such/folder/x.gif")).Value);
    ASSERT_FALSE(prompter.Asked.empty());
    EXPECT_TRUE(prompter.Asked.back().Text.startsWith("Error saving file! Unable to save "));
}

TEST_F(AutomationTest, ReadOnlyModifiedAndNoEffectMembers) {
    Open("a.gif", 2);
    auto doc = Doc();
    EXPECT_FALSE(doc->ReadOnly().Value);
    doc->SetReadOnly(true);
    EXPECT_TRUE(doc->ReadOnly().Value);
    EXPECT_TRUE(app->DocumentCache().Value->Cache(0).Value->ReadOnly().Value);
    doc->SetModified(true);
    EXPECT_TRUE(doc->Modified().Value);
    EXPECT_FALSE(doc->CanRedo().Value);
    EXPECT_FALSE(doc->Optimized().Value);
    EXPECT_TRUE(doc->Optimize().Succeeded());
    EXPECT_TRUE(doc->InsertFrame(0, Picture(4, 4, gif::clWhite)).Succeeded());
    EXPECT_EQ(Frames()->Count().Value, 2);
}

} // namespace
} // namespace automationtest
