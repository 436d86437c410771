// Menus over the session bus: lookups and their errors, and handlers that clients
// implement, called when the item is picked; a hung or departed client never blocks the
// editor.
#include "bus_client.h"

#include <QSemaphore>
#include <QThread>

namespace bustest {
namespace {

constexpr const char* App = bus::ApplicationInterface;
constexpr const char* Item = bus::MenuItemInterface;

class THandlerObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IIntfMenuHandler")
  public slots:
    int Execute(int nTag) {
        Tags << nTag;
        return 0;
    }

  public:
    QList<int> Tags;
};

// A client whose connection stays on the bus but never answers: its thread holds still.
class THungClient final : public QThread {
  public:
    void run() override {
        QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "hung-client");
        THandlerObject handler;
        connection.registerObject("/Handler", &handler, QDBusConnection::ExportAllSlots);
        Name = connection.baseService();
        ready.release();
        release.acquire();
        connection.unregisterObject("/Handler");
    }
    QString Name;
    QSemaphore ready, release;
};

class BusMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<TServerProcess>();
        ASSERT_TRUE(WaitFor([] { return NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); }));
    }
    void TearDown() override {
        server.reset();
        WaitFor([] { return !NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); });
    }
    QString MenuPath(const QString& path) { return PathOf(app.Value<QDBusObjectPath>("Menu", path)); }
    // A new item under Tools, enabled without a document, with `tag`.
    TObject NewItem(int tag) {
        TObject tools(MenuPath("Tools"), Item);
        TObject item(PathOf(tools.Value<QDBusObjectPath>("AddSubItem")), Item);
        item.Set("DocDependent", false);
        item.Set("Enabled", true);
        item.Set("Tag", tag);
        return item;
    }

    std::unique_ptr<TServerProcess> server;
    TObject app{bus::ApplicationPath, App};
};

TEST_F(BusMenuTest, PathsSubItemsAndTheirErrors) {
    EXPECT_TRUE(app.Value<bool>("MenuExists", QString("file|open...")));
    TObject open(MenuPath("File|Open..."), Item);
    EXPECT_EQ(open.Get<QString>("Caption"), "&Open...");
    EXPECT_EQ(MenuPath("FILE|OPEN..."), open.Path());

    QDBusMessage missing = app.Call("Menu", QString("File|Nothing"));
    EXPECT_EQ(missing.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(missing.errorMessage(), "MenuFile|Nothingdoes not exist!");

    TObject file(MenuPath("File"), Item);
    const int count = file.Get<int>("SubItemCount");
    EXPECT_EQ(PathOf(file.Value<QDBusObjectPath>("SubItem", 0)), MenuPath("File|New"));
    QDBusMessage outside = file.Call("SubItem", count);
    EXPECT_EQ(outside.errorMessage(), "Menu index out of bounds");

    QDBusMessage refused = open.Call("SetMenuHandler", QDBusConnection::sessionBus().baseService(),
                                     QDBusObjectPath("/Handler"));
    EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(refused.errorMessage(), "Cannot change pre-defined menu handlers");
}

TEST_F(BusMenuTest, AClientsHandlerReceivesTheTag) {
    THandlerObject handler;
    QDBusConnection connection = QDBusConnection::sessionBus();
    ASSERT_TRUE(connection.registerObject("/Handler", &handler, QDBusConnection::ExportAllSlots));
    TObject item = NewItem(42);
    QDBusMessage set = item.Call("SetMenuHandler", connection.baseService(), QDBusObjectPath("/Handler"));
    ASSERT_EQ(set.type(), QDBusMessage::ReplyMessage) << set.errorMessage().toStdString();
    EXPECT_EQ(item.Call("Execute").type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitFor([&] { return !handler.Tags.isEmpty(); }, 5000));
    EXPECT_EQ(handler.Tags, QList<int>{42});
    connection.unregisterObject("/Handler");
}

TEST_F(BusMenuTest, AHungClientDoesNotHangTheEditorAndADepartedOneLosesItsHandler) {
    THungClient hung;
    hung.start();
    hung.ready.acquire();
    TObject item = NewItem(7);
    item.Call("SetMenuHandler", hung.Name, QDBusObjectPath("/Handler"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(item.Call("Execute").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(app.Get<QString>("VersionText"), "3.0");
    EXPECT_LT(timer.elapsed(), 3000) << "the editor waited for the hung client";
    hung.release.release();
    hung.wait();
    QDBusConnection::disconnectFromBus("hung-client");

    // A client that leaves the bus: its item stays, picking it calls nobody.
    THandlerObject handler;
    {
        QDBusConnection gone = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "gone-client");
        ASSERT_TRUE(gone.registerObject("/Handler", &handler, QDBusConnection::ExportAllSlots));
        TObject asGone(item.Path(), Item, gone);
        asGone.Call("SetMenuHandler", gone.baseService(), QDBusObjectPath("/Handler"));
        gone.unregisterObject("/Handler");
    }
    QDBusConnection::disconnectFromBus("gone-client");
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(item.Get<QString>("Caption"), "");
    timer.restart();
    EXPECT_EQ(item.Call("Execute").type(), QDBusMessage::ReplyMessage);
    WaitFor([] { return false; }, 500);
    EXPECT_TRUE(handler.Tags.isEmpty());
    EXPECT_EQ(app.Get<QString>("VersionText"), "3.0");
}

} // namespace
} // namespace bustest

#include "menu_bus_test.moc"
