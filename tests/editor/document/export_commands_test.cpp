// The Export commands' protocols: the HTML page and the export of the Export Images dialog's
// OK, answered from a script.
#include "editor/document/export_commands.h"
#include "editor/document/workspace_fixture.h"

#include <QDir>
#include <QFileInfo>

using namespace editor;
using namespace editortest;

namespace {

QByteArray ExpectedPage(const QString& gif, int height, int width) {
    return "<HTML>\r\n"
           "<HEAD>\r\n"
           "  <META NAME=\"GENERATOR\" CONTENT=\"Quillmark GIF Loopwright\">\r\n"
           "  <TITLE></TITLE>\r\n"
           "</HEAD>\r\n"
           "\r\n"
           "<BODY BGCOLOR=\"#FFFFFF\">\r\n"
           "<IMG SRC=\"" + gif.toUtf8() + "\" ALT=\"Animated Image\" HEIGHT=\"" +
           QByteArray::number(height) + "\" WIDTH=\"" + QByteArray::number(width) + "\">\r\n"
           "</BODY></HTML>\r\n";
}

} // namespace

TEST_F(WorkspaceTest, HtmlPageOfLogoInArtByteForByte) {
    QDir(dir.path()).mkpath("art");
    const QString logo = WriteGif("art/logo.gif", 2, /*width=*/120, /*height=*/40);
    workspace.OpenGifDocument(logo);
    const QString page = dir.filePath("logo.htm");
    prompter.ThenFiles({page});
    EXPECT_TRUE(FileExportHtmlExecute(workspace));
    EXPECT_TRUE(prompter.Asked.empty()) << qPrintable(prompter.Texts().join("; "));
    ASSERT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_EQ(prompter.FileDialogs[0].Filter, "HTML Files|*.htm;*.html");
    EXPECT_EQ(prompter.FileDialogs[0].DefaultSuffix, "htm");
    EXPECT_EQ(prompter.FileDialogs[0].FileName, "logo");
    EXPECT_EQ(Bytes(page), ExpectedPage(logo, 40, 120));
}

TEST_F(WorkspaceTest, HtmlPageOfUntitledDocumentAsksToSaveFirst) {
    workspace.OpenFileByType(WriteBmp("p.bmp", 7, 5));
    host.Pump();
    ASSERT_TRUE(Active().IsUntitled());
    // Even a file of the untitled name in the working folder is not the document's file.
    QFile stray(QDir::current().filePath(Active().FileName()));
    const bool strayMade = !stray.exists() && stray.open(QIODevice::WriteOnly);
    stray.close();

    for (int answer : {mrNo, mrCancel}) {
        prompter.Then(answer);
        EXPECT_FALSE(FileExportHtmlExecute(workspace));
    }
    EXPECT_EQ(prompter.Texts(), QStringList(2, msg::SaveBeforeHtml));
    EXPECT_EQ(prompter.Asked[0].Buttons, TButtons::YesNoCancel);
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Confirmation);
    EXPECT_TRUE(prompter.FileDialogs.empty());

    // Yes, then the save dialog is cancelled: still no file, no page.
    prompter.Then(mrYes).ThenFiles({});
    EXPECT_FALSE(FileExportHtmlExecute(workspace));
    EXPECT_EQ(prompter.FileDialogs.size(), 1u);

    // Yes and a name: saved, then the page names the saved file.
    const QString saved = dir.filePath("saved.gif");
    const QString page = dir.filePath("saved.htm");
    prompter.Then(mrYes).ThenFiles({saved}).ThenFiles({page});
    EXPECT_TRUE(FileExportHtmlExecute(workspace));
    EXPECT_EQ(prompter.FileDialogs.back().FileName, "saved");
    EXPECT_EQ(Bytes(page), ExpectedPage(saved, 5, 7));
    EXPECT_TRUE(prompter.Unexpected.isEmpty()) << qPrintable(prompter.Unexpected.join("; "));
    if (strayMade) stray.remove();
}

TEST_F(WorkspaceTest, HtmlPageOfMovedFileAsksAndUnwritablePageIsReported) {
    const QString gif = WriteGif("a.gif", 2);
    workspace.OpenGifDocument(gif);
    QFile::remove(gif);
    prompter.Then(mrNo);
    EXPECT_FALSE(FileExportHtmlExecute(workspace));
    EXPECT_EQ(prompter.Texts(), QStringList{msg::SaveBeforeHtml});

    WriteGif("a.gif", 2);
    prompter.Asked.clear();
    prompter.ThenFiles({dir.filePath("missing/a.htm")}).Then(mrOk);
    EXPECT_FALSE(FileExportHtmlExecute(workspace));
    ASSERT_EQ(prompter.Asked.size(), 1u);
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(prompter.Asked[0].Text.contains("missing/a.htm")) << qPrintable(prompter.Asked[0].Text);
}

TEST_F(WorkspaceTest, HtmlPageWithoutDocumentDoesNothing) {
    EXPECT_FALSE(FileExportHtmlExecute(workspace));
    EXPECT_TRUE(prompter.Asked.empty());
    EXPECT_TRUE(prompter.FileDialogs.empty());
}

class ExportImagesTest : public WorkspaceTest {
  protected:
    // Three frames; frame 1 is emptied when `withEmpty`.
    std::unique_ptr<gif::TGIFImage> Animation(bool withEmpty = false) {
        auto image = MakeAnimation(3, 12, 8);
        if (withEmpty) image->Frame(1)->ResetFrame();
        return image;
    }
};

TEST_F(ExportImagesTest, CancelInTheSaveDialogKeepsTheDialogOpen) {
    auto image = Animation();
    io::TExportOptions options;
    options.Format = io::TExportFormat::efJpeg;
    int started = 0;
    TExportProgress progress{[&](int) { ++started; }, [] {}};
    prompter.ThenFiles({});
    EXPECT_FALSE(ExportImagesOnOk(prompter, *image, {0, 2}, options, {}, progress));
    ASSERT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_EQ(prompter.FileDialogs[0].Filter, "Jpg Images|*.jpg");
    EXPECT_TRUE(prompter.FileDialogs[0].FileName.isEmpty());
    EXPECT_EQ(started, 0);
    EXPECT_EQ(prompter.BusyDepth, 0);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.jpg"}).isEmpty());
}

TEST_F(ExportImagesTest, EachFormatAsksWithItsFilter) {
    auto image = Animation();
    io::TExportOptions options;
    for (auto format : {io::TExportFormat::efGif, io::TExportFormat::efJpeg, io::TExportFormat::efBitmap}) {
        options.Format = format;
        prompter.ThenFiles({});
        ExportImagesOnOk(prompter, *image, {0}, options);
    }
    ASSERT_EQ(prompter.FileDialogs.size(), 3u);
    EXPECT_EQ(prompter.FileDialogs[0].Filter, "GIF Images|*.gif");
    EXPECT_EQ(prompter.FileDialogs[1].Filter, "Jpg Images|*.jpg");
    EXPECT_EQ(prompter.FileDialogs[2].Filter, "Bitmap Images|*.bmp");
    // Without a frame chosen the dialog simply closes.
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {}, options));
    EXPECT_EQ(prompter.FileDialogs.size(), 3u);
}

TEST_F(ExportImagesTest, FramesZeroAndTwoAsJpegUnderXJpg) {
    auto image = Animation();
    io::TExportOptions options;
    options.Format = io::TExportFormat::efJpeg;
    int maximum = -1, steps = 0, busyDuringSteps = 0;
    TExportProgress progress{[&](int m) { maximum = m; },
                             [&] { ++steps; busyDuringSteps += prompter.BusyDepth; }};
    prompter.ThenFiles({dir.filePath("x.jpg")});
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {0, 2}, options, {}, progress));
    EXPECT_EQ(QDir(dir.path()).entryList({"*.jpg"}), (QStringList{"xGL10.jpg", "xGL12.jpg"}));
    EXPECT_EQ(maximum, 2);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(busyDuringSteps, 2);
    EXPECT_EQ(prompter.BusyDepth, 0);
    EXPECT_TRUE(prompter.Asked.empty());
}

TEST_F(ExportImagesTest, EmptyFrameWritesThePlaceholderAndSaysSoOnce) {
    auto image = Animation(/*withEmpty=*/true);
    io::TExportOptions options;
    options.Format = io::TExportFormat::efBitmap;
    prompter.ThenFiles({dir.filePath("e.bmp")}).Then(mrOk);
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {0, 1, 2, 5}, options));
    EXPECT_EQ(prompter.Texts(), QStringList{"An error occurred exporting one or more images."});
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Information);
    EXPECT_EQ(prompter.Asked[0].Buttons, TButtons::Ok);
    gif::TBitmap placeholder;
    placeholder.LoadFromFile(NativePath(dir.filePath("eGL11.bmp")));
    EXPECT_EQ(placeholder.Width(), 125);
    EXPECT_EQ(placeholder.Height(), 50);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("eGL15.bmp")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("eGL12.bmp")));
}

TEST_F(ExportImagesTest, ShortNameAndUnwritableFilesAreNotReported) {
    auto image = Animation();
    io::TExportOptions options;
    options.Format = io::TExportFormat::efGif;
    // GIF names take ".gif" first; a bitmap keeps the short name as chosen.
    prompter.ThenFiles({dir.filePath("ab")});
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {2}, options));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("abGL12.gif")));
    options.Format = io::TExportFormat::efBitmap;
    prompter.ThenFiles({dir.filePath("ab")});
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {2}, options));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("GL12ab")));
    // Files that cannot be written are passed over without a message.
    prompter.ThenFiles({dir.filePath("missing/x.gif")});
    EXPECT_TRUE(ExportImagesOnOk(prompter, *image, {0, 1}, options));
    EXPECT_TRUE(prompter.Asked.empty());
}
