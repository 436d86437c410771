// The Application object, the documents collection and the enumerator in-process.
#include "automation/model/documents.h"
#include "automation_fixture.h"

#include <QLabel>
#include <QProgressBar>

namespace automationtest {
namespace {

using automation::TStatus;

TEST_F(AutomationTest, WithoutDocumentsEveryMemberGivesItsNeutralResult) {
    auto active = app->ActiveDocument();
    EXPECT_TRUE(active.Succeeded());
    EXPECT_EQ(active.Value, nullptr);
    auto documents = app->DocumentCache().Value;
    EXPECT_EQ(documents->Count().Value, 0);
    EXPECT_EQ(documents->Cache(0).Value, nullptr);
    EXPECT_EQ(app->DocumentIndex().Value, -1);
    EXPECT_EQ(app->TabIndexForFile("/nowhere/a.gif").Value, -1);
    EXPECT_FALSE(app->IsFileOpen("").Value);
    EXPECT_EQ(app->VersionText().Value, "3.0");
    EXPECT_TRUE(app->AppPath().Value.endsWith('/'));
    EXPECT_TRUE(app->ExeName().Value.startsWith(app->AppPath().Value));
    // The documents collection is made once and kept.
    EXPECT_EQ(app->DocumentCache().Value, documents);
}

TEST_F(AutomationTest, ExtractFilePathKeepsTheSeparatorAndEmptyStaysEmpty) {
    EXPECT_EQ(app->ExtractFilePath("/home/user/pictures/cat.gif").Value, "/home/user/pictures/");
    EXPECT_EQ(app->ExtractFilePath("").Value, "");
    EXPECT_EQ(app->ExtractFilePath("cat.gif").Value, "");
    EXPECT_EQ(app->ExtractFilePath("/").Value, "/");
    EXPECT_EQ(app->ExtractFileName("/home/user/pictures/cat.gif").Value, "cat.gif");
    EXPECT_EQ(app->ExtractFileName("/home/user/").Value, "");
}

TEST_F(AutomationTest, WindowStateAboveTwoAndBelowZeroRestoresNormal) {
    app->SetWindowState(2);
    EXPECT_EQ(app->WindowState().Value, 2);
    app->SetWindowState(7);
    EXPECT_EQ(app->WindowState().Value, 0);
    app->SetWindowState(1);
    EXPECT_EQ(app->WindowState().Value, 1);
    app->SetWindowState(-3);
    EXPECT_EQ(app->WindowState().Value, 0);
    app->SetWidth(640);
    app->SetHeight(-5);
    EXPECT_EQ(app->Width().Value, 640);
    EXPECT_GE(app->Height().Value, 1);
}

TEST_F(AutomationTest, ThreeDocumentsEnumerateToThreeItemsAndSkipPastTheEndGivesFalse) {
    const QString a = Open("a.gif", 2), b = Open("b.gif", 3), c = Open("c.gif", 1);
    auto documents = app->DocumentCache().Value;
    ASSERT_EQ(documents->Count().Value, 3);
    EXPECT_EQ(documents->Cache(3).Value, nullptr);
    EXPECT_EQ(documents->Cache(-1).Value, nullptr);
    EXPECT_EQ(documents->Cache(1).Value->FileName().Value, QFileInfo(b).absoluteFilePath());

    auto enumerator = documents->_NewEnum().Value;
    auto items = enumerator->Next(10);
    EXPECT_EQ(items.Status, TStatus::False);
    ASSERT_EQ(items.Value.size(), 3u);
    QStringList names;
    for (const auto& item : items.Value)
        names << std::dynamic_pointer_cast<automation::IDocumentCache>(item)->FileName().Value;
    EXPECT_EQ(names, QStringList({QFileInfo(a).absoluteFilePath(), QFileInfo(b).absoluteFilePath(),
                                  QFileInfo(c).absoluteFilePath()}));

    auto fresh = documents->_NewEnum().Value;
    EXPECT_EQ(fresh->Skip(5).Status, TStatus::False);
    EXPECT_EQ(fresh->Position(), 3);
    EXPECT_TRUE(fresh->Next(1).Value.empty());
    fresh->Reset();
    EXPECT_EQ(fresh->Skip(3).Status, TStatus::Ok);
    EXPECT_EQ(fresh->Skip(-2).Status, TStatus::False);
    EXPECT_EQ(fresh->Position(), 3);
    auto clone = fresh->Clone().Value;
    EXPECT_EQ(clone->Position(), 0);
    auto two = clone->Next(2);
    EXPECT_EQ(two.Status, TStatus::Ok);
    EXPECT_EQ(two.Value.size(), 2u);
}

TEST_F(AutomationTest, DocumentCacheFollowsItsDocumentAndReadsEmptyOnceClosed) {
    Open("a.gif", 2);
    Open("b.gif", 2);
    auto first = app->DocumentCache().Value->Cache(0).Value;
    first->MakeActive();
    EXPECT_EQ(Active().FileName(), first->FileName().Value);
    EXPECT_EQ(app->DocumentIndex().Value, 0);
    app->SetDocumentIndex(1);
    EXPECT_EQ(app->DocumentIndex().Value, 1);
    app->SetDocumentIndex(9);
    EXPECT_EQ(app->DocumentIndex().Value, 1);

    first->MakeActive();
    app->ActiveDocument().Value->Close(true);
    EXPECT_EQ(Workspace().DocumentCount(), 1);
    EXPECT_EQ(first->FileName().Value, "");
    EXPECT_FALSE(first->Modified().Value);
    EXPECT_TRUE(first->MakeActive().Succeeded());
}

TEST_F(AutomationTest, OpeningAnOpenFileBeepsAndGivesFalse) {
    const QString path = Open("a.gif", 2);
    Open("b.gif", 2);
    EXPECT_FALSE(app->OpenFile(path).Value);
    EXPECT_EQ(prompter.Beeps, 1);
    EXPECT_EQ(Active().FileName(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(app->IsFileOpen(path).Value);
    EXPECT_EQ(app->TabIndexForFile(path).Value, 0);
    EXPECT_FALSE(app->OpenFile("").Value);
    EXPECT_TRUE(app->IsImageAnimation(path).Value);
}

TEST_F(AutomationTest, DialogsStatusAndProgressReachTheWindow) {
    dialogs.Texts = {"typed"};
    EXPECT_EQ(app->InputBox("Caption", "Prompt", "default").Value, "typed");
    EXPECT_EQ(app->InputBox("Caption", "Prompt", "default").Value, "default");
    dialogs.Buttons = {7};
    EXPECT_EQ(app->MessageBox("Text", "Caption", 4).Value, 7);
    EXPECT_EQ(dialogs.Asked.last(), "Caption|Text|4");

    app->SetStatusText("Working");
    EXPECT_EQ(window->findChild<QLabel*>("StatusPanel2")->text(), "Working");
    app->ShowProgress();
    app->SetProgress(250);
    auto* bar = window->findChild<QProgressBar*>("prgBar");
    EXPECT_EQ(bar->value(), bar->maximum());
    app->HideProgress();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(AutomationTest, MissingPartsFailWithNotAvailableAndNoEffectMembersSucceed) {
    for (const QString& error : {app->SetCurrentFolder("/tmp").Error, app->LoadThumbnails("/tmp").Error,
                                 app->MenuExists("&File").Error, app->SetExplorerShowing(true).Error})
        EXPECT_EQ(error, "not available");
    EXPECT_EQ(app->CurrentFolder().Value, "");
    EXPECT_FALSE(app->ThumbnailsShowing().Value);
    EXPECT_TRUE(app->StatusWarning("x").Succeeded());
    EXPECT_TRUE(app->ShellToAppAndWait("x").Succeeded());
    EXPECT_EQ(app->ThumbnailImageFilter().Value, automation::iftAll);
    prompter.OpenSucceeds = false;
    prompter.Then(editor::mrOk);
    EXPECT_FALSE(app->ShellToApp("/no/such/program").Value);
    EXPECT_EQ(prompter.Texts().last(), "Could not load the client.");
}

TEST_F(AutomationTest, GetImageSizeReadsThroughTheImagingControl) {
    const QString path = WriteGif("size.gif", 1, 33, 21);
    int height = 5, width = 5;
    EXPECT_TRUE(app->GetImageSize(path, height, width).Value);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(width, 33);
    EXPECT_FALSE(app->GetImageSize(dir.filePath("missing.png"), height, width).Value);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(width, 0);
}

} // namespace
} // namespace automationtest
