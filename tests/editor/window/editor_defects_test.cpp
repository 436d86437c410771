// What the window shows of a damaged file and of a picture that grows the animation.
#include "editor/document/frame_insertion.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window_fixture.h"
#include "editor/window/mdi_child.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"

#include <QFile>
#include <QLabel>

using namespace editor;
using namespace editortest;

TEST_F(MainWindowTest, DamagedFileIsNamedInItsStatusBar) {
    const QString path = WriteGif("cut.gif", 5, 80, 60);
    gif::TMemoryStream two;
    MakeAnimation(2, 80, 60)->SaveToStream(two);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(qint64(two.Size()) + 40)); // inside the third frame's pixels
    file.close();
    // Opened while the main window is still hidden, as from the command line.
    window->hide();
    ASSERT_TRUE(Workspace().OpenGifDocument(path));
    QApplication::processEvents();
    window->show();
    auto* label = window->findChild<QLabel*>("lblDamaged");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "damaged: 3 frames could be read");
    EXPECT_TRUE(prompter.Asked.empty());
    // The document's window widens to show the notice whole; the frame caption beside it
    // gives way, shortened with "…" and shown whole in its tooltip.
    QApplication::processEvents();
    EXPECT_GE(label->width(), label->sizeHint().width());
    auto* caption = window->findChild<QLabel*>("lblCaption");
    ASSERT_NE(caption, nullptr);
    auto* child = window->ChildOf(Active());
    const QString full = child->StatusText();
    EXPECT_TRUE(full.startsWith("cut.gif")) << full.toStdString();
    child->parentWidget()->resize(260, child->parentWidget()->height());
    QApplication::processEvents();
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(caption->text().endsWith(QChar(0x2026))) << caption->text().toStdString();
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->width());
    EXPECT_EQ(caption->toolTip(), full);
    EXPECT_EQ(child->StatusText(), full);
    // Wide enough again: the whole caption, no tooltip.
    child->parentWidget()->resize(900, child->parentWidget()->height());
    QApplication::processEvents();
    EXPECT_EQ(caption->text(), full);
    EXPECT_TRUE(caption->toolTip().isEmpty());

    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("sound.gif", 2)));
    QApplication::processEvents();
    const auto labels = window->findChildren<QLabel*>("lblDamaged");
    ASSERT_EQ(labels.size(), 2);
    EXPECT_FALSE(labels[1]->isVisible());
}

TEST_F(MainWindowTest, GrowingTheAnimationForAPictureRefreshesEveryListItem) {
    settings->SetValue(keys::PaletteDefaults, 1);
    settings->SetValue(keys::ClipDefault, 1);
    settings->SetValue(keys::ClipFrame, 0); // change the animation to match
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2, 160, 120)));
    gif::TBitmap picture(200, 100, gif::pf24bit);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) picture.SetPixels(x, y, gif::RGB(x, y, 200));
    ASSERT_EQ(AddFrameFromBitmap(Workspace(), picture, 2, "Add Frame"), 2);
    gif::TGIFImage& image = Workspace().WorkingImage();
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Height(), 120);
    EXPECT_EQ(image.Frame(0)->FrameHeight(), 120);

    auto* list = window->findChild<TFrameListWidget*>("lbFrames");
    ASSERT_EQ(list->count(), 3);
    QStringList sizes;
    QList<QImage> thumbs;
    for (int i = 0; i < 3; ++i) {
        sizes << list->item(i)->data(Qt::UserRole + 1).toString();
        thumbs << list->item(i)->data(Qt::DecorationRole).value<QPixmap>().toImage();
    }
    EXPECT_EQ(sizes, (QStringList{"120 x 160", "120 x 160", "100 x 200"}));
    // Drawn from the frames as they are now: drawing them again changes nothing.
    list->RefreshThumbnails();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list->item(i)->data(Qt::DecorationRole).value<QPixmap>().toImage(), thumbs[i])
            << i;
}
