// A QtDBus client of an editor started as an automation server on the test's private
// session bus (the tests run under dbus-run-session).
#pragma once

#include "automation/dbus/names.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace bustest {

namespace bus = automation::bus;

inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return done();
}

inline bool NameHasOwner(const QDBusConnection& connection, const QString& name) {
    return connection.interface()->isServiceRegistered(name).value();
}

// The editor as a child process in automation mode, headless.
class TServerProcess {
  public:
    explicit TServerProcess(const QStringList& arguments = {"-AUTOMATION"}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        process.setProcessEnvironment(environment);
        // Saving asks no compatibility question: "No" is remembered.
        QDir().mkpath(home.filePath("config/Quillmark Software"));
        QFile settings(home.filePath("config/Quillmark Software/GIF Loopwright 3.0.ini"));
        if (settings.open(QIODevice::WriteOnly)) settings.write("[Settings]\nCompatibility=7\n");
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(LOOPWRIGHT_EDITOR, arguments);
    }
    ~TServerProcess() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(5000)) process.kill();
        process.waitForFinished(2000);
    }
    QTemporaryDir home;
    QProcess process;
};

// Calls and properties of one object of the service.
class TObject {
  public:
    TObject(const QString& path, const char* interface,
            QDBusConnection connection = QDBusConnection::sessionBus(),
            const QString& service = bus::ServiceName)
        : path_(path), interface_(interface), connection_(connection), service_(service) {}

    template <class... Args>
    QDBusMessage Call(const QString& method, Args&&... args) {
        QDBusMessage message = QDBusMessage::createMethodCall(service_, path_, interface_, method);
        message.setArguments({QVariant::fromValue(args)...});
        return connection_.call(message, QDBus::Block, 30000);
    }
    // The first answer of a call that must succeed.
    template <class T, class... Args>
    T Value(const QString& method, Args&&... args) {
        QDBusMessage reply = Call(method, std::forward<Args>(args)...);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().isEmpty() ? T() : qdbus_cast<T>(reply.arguments().front());
    }
    QDBusMessage GetMessage(const QString& name) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            service_, path_, "org.freedesktop.DBus.Properties", "Get");
        message.setArguments({QString(interface_), name});
        return connection_.call(message, QDBus::Block, 30000);
    }
    template <class T>
    T Get(const QString& name) {
        QDBusMessage reply = GetMessage(name);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        if (reply.arguments().isEmpty()) return T();
        return qdbus_cast<T>(qdbus_cast<QDBusVariant>(reply.arguments().front()).variant());
    }
    template <class T>
    QDBusMessage Set(const QString& name, const T& value) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            service_, path_, "org.freedesktop.DBus.Properties", "Set");
        message.setArguments({QString(interface_), name, QVariant::fromValue(QDBusVariant(QVariant::fromValue(value)))});
        return connection_.call(message, QDBus::Block, 30000);
    }
    const QString& Path() const { return path_; }

  private:
    QString path_;
    const char* interface_;
    QDBusConnection connection_;
    QString service_;
};

inline QString PathOf(const QDBusObjectPath& path) { return path.path(); }

} // namespace bustest
