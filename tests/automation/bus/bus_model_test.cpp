// The object model driven through the real session bus: an editor started with
// -AUTOMATION, a QtDBus client, every edge case of the Application, active document and
// frames objects, and the errors as D-Bus errors.
#include "bus_client.h"
#include "editor/core/temp_files.h"
#include "editor/support/editor_test_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"

#include <QDir>
#include <QFileInfo>

namespace bustest {
namespace {

constexpr const char* App = bus::ApplicationInterface;
constexpr const char* Doc = bus::ActiveDocumentInterface;

// A GIF of `frames` frames; frame 2 (when there is one) has no graphic control block and
// is interlaced.
QString WriteGif(const QString& path, int frames) {
    auto image = editortest::MakeAnimation(frames, 20, 10);
    if (frames > 2) {
        gif::TGIFSubImage* frame = image->Frame(2);
        frame->Blocks().DeleteAt(frame->Blocks().IndexOf(frame->ControlBlock()));
        frame->SetControlBlock(nullptr);
        frame->SetInterlaced(true);
    }
    image->SaveToFile(editor::NativePath(path));
    return path;
}

// A bitmap file of a solid picture.
QByteArray Picture(int width, int height) {
    gif::TBitmap bitmap(width, height, gif::pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.SetPixels(x, y, gif::RGB(x % 256, y % 256, 90));
    gif::TMemoryStream stream;
    bitmap.WriteFile(stream);
    return QByteArray(reinterpret_cast<const char*>(stream.Bytes().data()), qsizetype(stream.Bytes().size()));
}

class BusModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<TServerProcess>();
        ASSERT_TRUE(WaitFor([] { return NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); }))
            << "the editor did not claim " << bus::ServiceName;
    }
    void TearDown() override {
        server.reset();
        WaitFor([] { return !NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); });
    }

    QString Open(const QString& name, int frames) {
        const QString path = WriteGif(dir.filePath(name), frames);
        EXPECT_TRUE(app.Value<bool>("OpenFile", path));
        return path;
    }
    // The active document's animation as the editor would write it.
    QByteArray Bytes() {
        const QString path = dir.filePath("bytes.gif");
        EXPECT_TRUE(doc.Value<bool>("SaveDocToTempFile", path));
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir dir;
    std::unique_ptr<TServerProcess> server;
    TObject app{bus::ApplicationPath, App};
    TObject doc{bus::ActiveDocumentPath, Doc};
    TObject frames{bus::FramesPath, bus::FramesInterface};
    TObject documents{bus::DocumentsPath, bus::DocumentsInterface};
};

TEST_F(BusModelTest, ApplicationAnswersWithoutDocumentsAndTheStartSwitchOpensNothing) {
    EXPECT_EQ(app.Get<QString>("VersionText"), "3.0");
    EXPECT_EQ(PathOf(app.Get<QDBusObjectPath>("ActiveDocument")), "/");
    EXPECT_EQ(PathOf(app.Get<QDBusObjectPath>("DocumentCache")), "/Documents");
    EXPECT_EQ(documents.Get<int>("Count"), 0);
    EXPECT_EQ(PathOf(documents.Value<QDBusObjectPath>("Cache", 0)), "/");
    EXPECT_EQ(app.Value<QString>("ExtractFilePath", QString("/home/user/cat.gif")), "/home/user/");
    EXPECT_EQ(app.Value<QString>("ExtractFilePath", QString()), "");
    EXPECT_EQ(app.Value<QString>("ExtractFileName", QString("/home/user/cat.gif")), "cat.gif");
    EXPECT_EQ(app.Set("WindowState", 2).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(app.Get<int>("WindowState"), 2);
    app.Set("WindowState", 7);
    EXPECT_EQ(app.Get<int>("WindowState"), 0);
    // The in/out sizes come back as the second and third answers.
    const QString gifPath = WriteGif(dir.filePath("size.gif"), 1);
    QDBusMessage size = app.Call("GetImageSize", gifPath, 5, 5);
    ASSERT_EQ(size.arguments().size(), 3);
    EXPECT_TRUE(size.arguments()[0].toBool());
    EXPECT_EQ(size.arguments()[1].toInt(), 10);
    EXPECT_EQ(size.arguments()[2].toInt(), 20);
}

TEST_F(BusModelTest, ThreeDocumentsEnumerateAndSkipPastTheEndGivesSFalse) {
    const QString a = Open("a.gif", 1), b = Open("b.gif", 2), c = Open("c.gif", 3);
    EXPECT_EQ(documents.Get<int>("Count"), 3);
    EXPECT_EQ(PathOf(documents.Value<QDBusObjectPath>("Cache", 3)), "/");
    const QString second = PathOf(documents.Value<QDBusObjectPath>("Cache", 1));
    EXPECT_EQ(second, "/Documents/1");
    EXPECT_EQ(TObject(second, bus::DocumentCacheInterface).Get<QString>("FileName"), b);

    TObject enumerator(PathOf(documents.Value<QDBusObjectPath>("_NewEnum")), bus::EnumeratorInterface);
    QDBusMessage next = enumerator.Call("Next", 10);
    ASSERT_EQ(next.arguments().size(), 2);
    const auto items = qdbus_cast<QList<QDBusObjectPath>>(next.arguments()[0]);
    EXPECT_EQ(next.arguments()[1].toInt(), 1); // S_FALSE: fewer than asked
    ASSERT_EQ(items.size(), 3);
    QStringList names;
    for (const QDBusObjectPath& item : items)
        names << TObject(item.path(), bus::DocumentCacheInterface).Get<QString>("FileName");
    EXPECT_EQ(names, QStringList({a, b, c}));

    TObject fresh(PathOf(documents.Value<QDBusObjectPath>("_NewEnum")), bus::EnumeratorInterface);
    EXPECT_EQ(fresh.Value<int>("Skip", 5), 1);
    // The position is at the end (3): nothing is left, and a clone starts at 0 again.
    QDBusMessage after = fresh.Call("Next", 1);
    EXPECT_TRUE(qdbus_cast<QList<QDBusObjectPath>>(after.arguments()[0]).isEmpty());
    TObject clone(PathOf(fresh.Value<QDBusObjectPath>("Clone")), bus::EnumeratorInterface);
    EXPECT_EQ(clone.Value<int>("Skip", 3), 0);
    fresh.Call("Reset");
    QDBusMessage two = fresh.Call("Next", 2);
    EXPECT_EQ(qdbus_cast<QList<QDBusObjectPath>>(two.arguments()[0]).size(), 2);
    EXPECT_EQ(two.arguments()[1].toInt(), 0);
}

TEST_F(BusModelTest, NSLoopWritesAndEachChangeUndoesToTheSameBytes) {
    Open("a.gif", 3);
    EXPECT_EQ(doc.Get<int>("NSLoop"), 1);
    const QByteArray original = Bytes();
    doc.Set("NSLoop", 3);
    EXPECT_EQ(doc.Get<int>("NSLoop"), 3);
    const QByteArray three = Bytes();
    doc.Set("NSLoop", 0);
    EXPECT_EQ(doc.Get<int>("NSLoop"), 0);
    doc.Set("NSLoop", 1);
    EXPECT_EQ(doc.Get<int>("NSLoop"), 1);
    doc.Call("Undo");
    EXPECT_EQ(doc.Get<int>("NSLoop"), 0);
    doc.Call("Undo");
    EXPECT_EQ(Bytes(), three);
    doc.Call("Undo");
    EXPECT_EQ(Bytes(), original);
    EXPECT_FALSE(doc.Get<bool>("CanUndo"));
}

TEST_F(BusModelTest, FramesEdgeCases) {
    Open("a.gif", 3);
    EXPECT_EQ(PathOf(doc.Get<QDBusObjectPath>("Frames")), PathOf(doc.Get<QDBusObjectPath>("Frames")));
    EXPECT_EQ(frames.Get<int>("Count"), 3);
    EXPECT_EQ(PathOf(frames.Value<QDBusObjectPath>("Frame", 3)), "/");
    EXPECT_EQ(PathOf(frames.Value<QDBusObjectPath>("Frame", -1)), "/");

    // Frame 2 has no graphic control block: Delay reads -1 and writes change nothing.
    TObject plain(PathOf(frames.Value<QDBusObjectPath>("Frame", 2)), bus::FrameInterface);
    EXPECT_EQ(plain.Path(), "/ActiveDocument/Frames/2");
    EXPECT_EQ(plain.Get<int>("Delay"), -1);
    plain.Set("Delay", 50);
    plain.Set("Transparent", true);
    EXPECT_EQ(plain.Get<int>("Delay"), -1);
    // Writing the values a frame has records nothing.
    TObject second(PathOf(frames.Value<QDBusObjectPath>("Frame", 1)), bus::FrameInterface);
    second.Set("Delay", second.Get<int>("Delay"));
    second.Set("Left", second.Get<int>("Left"));
    second.Set("Interlaced", false);
    second.Set("Width", 3);
    EXPECT_EQ(second.Get<int>("Width"), 20);
    EXPECT_FALSE(doc.Get<bool>("CanUndo"));
    EXPECT_FALSE(doc.Get<bool>("Modified"));

    // Switching interlacing off is recorded ("Change Non-Interlaced") and undone.
    const QByteArray before = Bytes();
    EXPECT_TRUE(plain.Get<bool>("Interlaced"));
    plain.Set("Interlaced", false);
    EXPECT_FALSE(plain.Get<bool>("Interlaced"));
    EXPECT_TRUE(doc.Get<bool>("CanUndo"));
    EXPECT_NE(Bytes(), before);
    doc.Call("Undo");
    EXPECT_EQ(Bytes(), before);

    // Each recorded change of a frame property undoes to the same bytes.
    const std::vector<std::pair<QString, QVariant>> writes = {
        {"Left", 5}, {"Top", 2}, {"Delay", 300}, {"Disposal", 2}, {"Transparent", true}, {"Interlaced", true}};
    for (const auto& [name, value] : writes) {
        SCOPED_TRACE(name.toStdString());
        TObject frame(PathOf(frames.Value<QDBusObjectPath>("Frame", 1)), bus::FrameInterface);
        const QByteArray old = Bytes();
        QDBusMessage reply = value.typeId() == QMetaType::Bool ? frame.Set(name, value.toBool())
                                                                : frame.Set(name, value.toInt());
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_NE(Bytes(), old);
        doc.Call("Undo");
        EXPECT_EQ(Bytes(), old);
    }
    TObject frame(PathOf(frames.Value<QDBusObjectPath>("Frame", 1)), bus::FrameInterface);
    const QByteArray old = Bytes();
    EXPECT_TRUE(frame.Value<bool>("SetBitmap", Picture(12, 8)));
    EXPECT_EQ(frame.Get<int>("Width"), 12);
    doc.Call("Undo");
    EXPECT_EQ(Bytes(), old);
    // The undo reloaded the animation: the old frame object reads empty, a new one has
    // the picture as a bitmap file.
    EXPECT_TRUE(frame.Get<QByteArray>("Bitmap").isEmpty());
    TObject again(PathOf(frames.Value<QDBusObjectPath>("Frame", 1)), bus::FrameInterface);
    EXPECT_TRUE(again.Get<QByteArray>("Bitmap").startsWith("BM"));
}

TEST_F(BusModelTest, AddFrameNoPromptsAndSelectedFrame) {
    Open("a.gif", 2);
    const QByteArray before = Bytes();
    EXPECT_FALSE(doc.Value<bool>("AddFrameNoPrompts", QByteArray(), 10));
    EXPECT_FALSE(doc.Value<bool>("AddFrameNoPrompts", QByteArray("BM not a bitmap"), 10));
    EXPECT_EQ(frames.Get<int>("Count"), 2);
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(doc.Get<bool>("CanUndo"));
    EXPECT_TRUE(doc.Value<bool>("AddFrameNoPrompts", Picture(20, 10), 40));
    EXPECT_EQ(frames.Get<int>("Count"), 3);

    doc.Set("SelectedFrame", 2);
    EXPECT_EQ(doc.Get<int>("SelectedFrame"), 2);
    doc.Set("SelectedFrame", 3);
    doc.Set("SelectedFrame", -1);
    EXPECT_EQ(doc.Get<int>("SelectedFrame"), 2);
    EXPECT_EQ(doc.Value<QString>("HTMLCode", QString("u"), QString("h"), 0),
              "<A HREF=\"u\"><IMG SRC=\"h\" HEIGHT=\"10\" WIDTH=\"20\" BORDER=\"0\"></A>");
}

TEST_F(BusModelTest, EditorErrorsArriveAsDBusErrorsWithTheirMessage) {
    QDBusMessage bitmap = doc.Call("CurrentBitmap");
    ASSERT_EQ(bitmap.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(bitmap.errorName(), bus::ErrorName);
    EXPECT_EQ(bitmap.errorMessage(), "There is no active document.");
    QDBusMessage avi = doc.Call("ExportToAVI");
    EXPECT_EQ(avi.errorName(), bus::ErrorName);
    EXPECT_EQ(avi.errorMessage(), "not available");

    Open("a.gif", 2);
    TObject frame(PathOf(frames.Value<QDBusObjectPath>("Frame", 1)), bus::FrameInterface);
    // A refused property write changes nothing (the Properties interface of QtDBus has no
    // way to carry the message back; methods do).
    frame.Set("Left", 70000);
    EXPECT_EQ(frame.Get<int>("Left"), 0);
    EXPECT_FALSE(doc.Get<bool>("CanUndo"));
    // Nonsense calls are refused by the bus layer, and the server goes on.
    EXPECT_EQ(app.Call("NoSuchMember").type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(app.Call("ExtractFilePath", 42).type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(app.Get<QString>("VersionText"), "3.0");
}

TEST_F(BusModelTest, ASecondEditorRunsWithoutTheName) {
    const QString owner = QDBusConnection::sessionBus().interface()->serviceOwner(bus::ServiceName);
    TServerProcess second({"/Automation"});
    ASSERT_TRUE(second.process.waitForStarted());
    // It runs (no file named "/Automation" is opened and no error box waits), and the name
    // stays with the first.
    QThread::msleep(1500);
    EXPECT_EQ(second.process.state(), QProcess::Running);
    EXPECT_EQ(QDBusConnection::sessionBus().interface()->serviceOwner(bus::ServiceName).value(), owner);
}

} // namespace
} // namespace bustest
