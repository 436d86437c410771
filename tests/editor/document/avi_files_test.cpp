// Videos as new documents and the AVI export command, on a workspace over a fake window
// with a scripted prompter and a fake progress window.
#include "editor/core/progress_window.h"
#include "editor/document/avi_files.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace_fixture.h"
#include "io/avi/avi_messages.h"
#include "io/avi/avi_stream_info.h"
#include "io/video_test_util.h"

#include <QFileInfo>

using namespace editor;
using namespace editortest;

namespace {

// Records what the command shows; presses Cancel once the bar reaches `CancelAt`.
class TFakeProgress : public IProgressWindow {
  public:
    struct TLog {
        QStringList Labels;
        int Maximum = -1;
        int Position = 0;
        int CancelAt = -1;
        bool Shown = false;
        bool Freed = false;
    };
    explicit TFakeProgress(TLog& log) : log_(log) {}
    ~TFakeProgress() override { log_.Freed = true; }
    void SetFileLabel(const QString& text) override { log_.Labels << text; }
    void SetProgressLabel(const QString& text) override { log_.Labels << "2: " + text; }
    void SetRange(int, int maximum) override { log_.Maximum = maximum; }
    void SetPosition(int position) override { log_.Position = position; }
    void StepIt() override { ++log_.Position; }
    void SetCancelVisible(bool) override {}
    void Show() override { log_.Shown = true; }
    void ProcessEvents() override {}
    bool Cancelled() const override { return log_.CancelAt >= 0 && log_.Position >= log_.CancelAt; }

  private:
    TLog& log_;
};

class AviFilesTest : public WorkspaceTest {
  protected:
    std::function<std::unique_ptr<IProgressWindow>()> Factory() {
        return [this] { return std::make_unique<TFakeProgress>(progress); };
    }
    std::string Native(const QString& name) { return dir.filePath(name).toStdString(); }
    TFakeProgress::TLog progress;
};

TEST_F(AviFilesTest, AVideoBecomesAModifiedUntitledDocumentLoadedFromItsBackingFile) {
    const QString open = WriteGif("open.gif", 2);
    ASSERT_TRUE(workspace.OpenGifDocument(open));
    ASSERT_TRUE(iotest::MakeClip(Native("clip.mp4"), 7, "25"));
    // Through the open-by-type road that drops and the command line take.
    workspace.OpenFileByType(dir.filePath("clip.mp4"));
    ASSERT_EQ(workspace.DocumentCount(), 2);
    TDocument& imported = Active();
    EXPECT_TRUE(imported.IsUntitled());
    EXPECT_TRUE(imported.Modified());
    EXPECT_FALSE(imported.TempFileName().isEmpty());
    host.Pump();
    ASSERT_EQ(workspace.WorkingImage().FrameCount(), 7);
    EXPECT_EQ(frames.Count(), 7);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 6), 4);
    // The document that was open keeps its animation.
    SwitchTo(Doc(0));
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 2);
    EXPECT_TRUE(prompter.Asked.empty()) << qPrintable(prompter.Texts().join("\n"));
}

TEST_F(AviFilesTest, EmptyAndDamagedVideosCreateNothing) {
    ASSERT_TRUE(iotest::MakeClip(Native("clip.avi"), 3, "10"));
    std::vector<uint8_t> bytes = iotest::ReadBytes(Native("clip.avi"));
    const size_t strh = iotest::FindId(bytes, "strh");
    ASSERT_NE(strh, std::string::npos);
    iotest::PutLe32(bytes, strh + 8 + 32, 0); // a stream of length 0
    iotest::WriteBytes(Native("empty.avi"), bytes);
    EXPECT_FALSE(ImportAviDocument(workspace, dir.filePath("empty.avi")));
    iotest::WriteBytes(Native("bad.webm"), std::vector<uint8_t>(100, 0x42));
    EXPECT_FALSE(ImportAviDocument(workspace, dir.filePath("bad.webm")));
    EXPECT_EQ(workspace.DocumentCount(), 0);
    EXPECT_EQ(prompter.Texts(),
              (QStringList{QString("Error importing %1 to GIF.").arg(dir.filePath("empty.avi")),
                           io::avimsg::OpenFile}));
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Error);
    EXPECT_EQ(prompter.BusyDepth, 0);
}

TEST_F(AviFilesTest, ExportWritesTheFlattenedCopyAndLeavesTheDocumentAlone) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("anim.gif", 3, 6, 5)));
    const QByteArray before = Bytes(dir.filePath("anim.gif"));
    const QString target = dir.filePath("out.avi");
    prompter.ThenFiles({target});
    ASSERT_TRUE(ExportAviExecute(workspace, Factory()));
    EXPECT_EQ(prompter.FileDialogs.back().Filter, msg::AviFilter);
    EXPECT_EQ(prompter.FileDialogs.back().FileName, "anim");
    EXPECT_EQ(progress.Labels, (QStringList{"Preparing out.avi for AVI export...", "Exporting to AVI..."}));
    EXPECT_EQ(progress.Maximum, 2);
    EXPECT_TRUE(progress.Shown);
    EXPECT_TRUE(progress.Freed);
    const std::optional<io::TAviStreamInfo> info = io::ReadAviStreamInfo(iotest::ReadBytes(target.toStdString()));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Length, 3u);
    EXPECT_EQ(info->Scale, 30u); // the last frame's delay: no local tables
    EXPECT_EQ(info->Rate, 65u);
    EXPECT_FALSE(Active().Modified());
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(Bytes(dir.filePath("anim.gif")), before);
}

TEST_F(AviFilesTest, CancelDuringPreparationWritesNoFile) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("anim.gif", 4)));
    const QString target = dir.filePath("out.avi");
    prompter.ThenFiles({target});
    progress.CancelAt = 1;
    EXPECT_FALSE(ExportAviExecute(workspace, Factory()));
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(progress.Freed);
    EXPECT_EQ(progress.Labels, QStringList{"Preparing out.avi for AVI export..."});
    // No temporary file of the safe save either.
    EXPECT_EQ(QDir(dir.path()).entryList({"out.avi*"}, QDir::Files), QStringList());
}

TEST_F(AviFilesTest, ExportWithoutFileOrDocumentDoesNothingAndFailuresAreShown) {
    EXPECT_FALSE(ExportAviExecute(workspace, Factory())); // no document
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("anim.gif", 2)));
    prompter.ThenFiles({});
    EXPECT_FALSE(ExportAviExecute(workspace, Factory())); // dialog cancelled
    EXPECT_FALSE(progress.Shown);
    prompter.ThenFiles({dir.filePath("no/such/folder/out.avi")});
    EXPECT_FALSE(ExportAviExecute(workspace, Factory()));
    EXPECT_EQ(prompter.Texts(), QStringList{io::avimsg::CreateFile});
    EXPECT_EQ(prompter.BusyDepth, 0);
}

} // namespace
