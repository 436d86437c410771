// Pictures of every kind into a bitmap: through the imaging control, the bitmap reader and
// the GIF reader, with the messages a user sees when that fails.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "editor/core/edit_context.h"
#include "editor/core/file_kinds.h"
#include "editor/core/picture_routines.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "gif/graphics/bitmap.h"

using namespace editor;
using namespace editortest;

namespace {

class LoadImage : public ::testing::Test {
protected:
    // A 6 x 4 picture, red on the left half and blue on the right, written by ImageMagick.
    QString Picture(const QString& name) {
        const QString path = dir.filePath(name);
        const int rc = QProcess::execute("/usr/bin/convert",
                                         {"-size", "3x4", "xc:#ff0000", "-size", "3x4", "xc:#0000ff",
                                          "+append", path});
        EXPECT_EQ(rc, 0) << name.toStdString();
        return path;
    }
    int Load(const QString& path, bool firstFrameOnly = false) {
        TEditContext context{image, list, prompter, settings};
        return LoadImageFile(context, path, bitmap, FileKind(path), firstFrameOnly,
                             [this](const QString& p) {
                                 arrived << p;
                                 return int(liOpened);
                             });
    }

    QTemporaryDir dir;
    gif::TGIFImage image;
    TFakeFrameList list;
    TScriptedPrompter prompter;
    Settings settings{dir.filePath("s.ini")};
    gif::TBitmap bitmap;
    QStringList arrived;
};

} // namespace

TEST_F(LoadImage, PicturesOfOtherKindsAndBitmaps) {
    for (const char* name : {"a.png", "b.bmp", "c.tif", "d.pcx", "e.tga", "f.ppm"}) {
        SCOPED_TRACE(name);
        bitmap = gif::TBitmap();
        ASSERT_EQ(Load(Picture(name)), liPicture);
        EXPECT_EQ(bitmap.Width(), 6);
        EXPECT_EQ(bitmap.Height(), 4);
        EXPECT_EQ(bitmap.Pixels(0, 0), gif::RGB(255, 0, 0));
        EXPECT_EQ(bitmap.Pixels(5, 3), gif::RGB(0, 0, 255));
    }
    EXPECT_TRUE(prompter.Asked.empty());
    EXPECT_EQ(prompter.BusyDepth, 0);
}

TEST_F(LoadImage, FailuresAreToldAndGiveMinusOne) {
    const QString missing = dir.filePath("gone.png");
    EXPECT_EQ(Load(missing), liFailed);
    const QString unknown = dir.filePath("notes.txt");
    QFile(unknown).open(QIODevice::WriteOnly);
    EXPECT_EQ(Load(unknown), liFailed);
    // A JPEG cut after its first hundred bytes.
    const QString jpeg = Picture("whole.jpg");
    QFile whole(jpeg);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray head = whole.read(100);
    QFile cut(dir.filePath("cut.jpg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(head);
    cut.close();
    bitmap = gif::TBitmap(2, 2);
    EXPECT_EQ(Load(cut.fileName()), liFailed);
    EXPECT_EQ(bitmap.Width(), 2);   // left as it was
    EXPECT_EQ(prompter.Texts(),
              (QStringList{
                  "Error loading " + missing +
                      "! GIF Loopwright does not support the file type or it is a corrupted file.",
                  "notes.txt is an unrecognized file type!",
                  "Error loading " + cut.fileName() +
                      "! GIF Loopwright does not support the file type or it is a corrupted file."}));
}

TEST_F(LoadImage, GifFilesGiveTheirPictureOrGoToTheCaller) {
    auto animation = MakeAnimation(2, 5, 3);
    const QString gifPath = dir.filePath("anim.gif");
    animation->SaveToFile(NativePath(gifPath));
    EXPECT_EQ(Load(gifPath, true), liPicture);
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.Pixels(0, 0), gif::RGB(0, 0, 0));
    EXPECT_TRUE(arrived.isEmpty());
    EXPECT_EQ(Load(gifPath, false), liOpened);
    EXPECT_EQ(arrived, QStringList{gifPath});
}
