// A thumbnail of the browser dragged onto the frame list, a document or the bare main
// window: the drag carries the picture's path under the thumbnail type.
#include "editor/document/thumbnail_drop.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window_fixture.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

using namespace editor;
using namespace editortest;

namespace {

class ThumbnailDropTest : public MainWindowTest {
  protected:
    TFrameListWidget& List() { return *window->findChild<TFrameListWidget*>("lbFrames"); }
    QString WritePng(const QString& name) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString path = dir.filePath(name);
        picture.save(path);
        return path;
    }
    // Drags `path` over `target` and drops it; whether the drop was taken.
    bool Drop(QWidget* target, const QString& path, bool moveMustAccept = true) {
        QMimeData data;
        data.setData(ThumbnailMimeType, path.toUtf8());
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        if (moveMustAccept && !move.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
};

} // namespace

TEST_F(ThumbnailDropTest, OntoTheFrameListInsertsAFrame) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2)));
    List().setCurrentRow(1);
    const QString picture = WritePng("red.png");
    // Anywhere over the list, also below the last item.
    ASSERT_TRUE(Drop(List().viewport(), picture));
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 3);
    EXPECT_EQ(List().count(), 3);
    EXPECT_EQ(Active().History().TopCaption(), "Add Frame");
    EXPECT_EQ(Workspace().DocumentCount(), 1);
    EXPECT_FALSE(Workspace().DropOnMainWindow);
}

TEST_F(ThumbnailDropTest, OntoTheMainWindowStartsAnAnimation) {
    // Without documents, a GIF thumbnail dropped on the list opens as it is.
    DropThumbnail(Workspace(), WriteGif("b.gif", 3), TThumbnailDropTarget::FrameList);
    ASSERT_EQ(Workspace().DocumentCount(), 1);
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 3);
    // On the main window, a picture starts an animation of its own.
    ASSERT_TRUE(Drop(window.get(), WritePng("red.png"), false));
    EXPECT_EQ(Workspace().DocumentCount(), 2);
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 1);
    EXPECT_FALSE(Workspace().DropOnMainWindow);
    // A vanished file is reported, and nothing else happens.
    prompter.Then(mrOk);
    DropThumbnail(Workspace(), dir.filePath("gone.png"), TThumbnailDropTarget::MainWindow);
    EXPECT_EQ(Workspace().DocumentCount(), 2);
    EXPECT_FALSE(prompter.Asked.empty());
}
