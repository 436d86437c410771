#include "automation/dbus/start_mode.h"

#include "automation/dbus/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace automation::bus {

namespace {

// The switch's name without its "/" or "-", upper-cased; empty for other arguments.
QString SwitchName(const QString& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return {};
    return argument.mid(1).toUpper();
}

} // namespace

bool IsStartSwitch(const QString& argument) {
    const QString name = SwitchName(argument);
    return name == "AUTOMATION" || name == "EMBEDDING" || name == "REGSERVER" ||
           name == "UNREGSERVER";
}

TStartMode StartModeOf(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        const QString name = SwitchName(argument);
        if (name == "REGSERVER") return TStartMode::RegServer;
        if (name == "UNREGSERVER") return TStartMode::UnregServer;
        if (name == "AUTOMATION" || name == "EMBEDDING") return TStartMode::Automation;
    }
    return TStartMode::Normal;
}

QString ActivationFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/dbus-1/services/" + ServiceName + ".service";
}

QString ActivationFileText(const QString& executable) {
    // The bus splits Exec like a shell: a path with spaces or quotes is quoted.
    QString program = executable;
    if (program.contains(QRegularExpression("[\\s\"'\\\\]")))
        program = "\"" + QString(program).replace("\\", "\\\\").replace("\"", "\\\"") + "\"";
    return QString("[D-BUS Service]\nName=%1\nExec=%2 -AUTOMATION\n").arg(ServiceName, program);
}

bool RegisterServer(const QString& executable, QString& error) {
    const QString path = ActivationFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = "Cannot create the folder " + QFileInfo(path).absolutePath();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ActivationFileText(executable).toUtf8()) < 0 || !file.commit()) {
        error = "Cannot write " + path + ": " + file.errorString();
        return false;
    }
    return true;
}

bool UnregisterServer(QString& error) {
    const QString path = ActivationFilePath();
    if (QFile::exists(path) && !QFile::remove(path)) {
        error = "Cannot remove " + path;
        return false;
    }
    return true;
}

} // namespace automation::bus

#include <QCoreApplication>
#include <cstdio>

namespace automation::bus {

int RunRegistration(TStartMode mode, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString error;
    const bool done = mode == TStartMode::RegServer
                          ? RegisterServer(QCoreApplication::applicationFilePath(), error)
                          : UnregisterServer(error);
    if (!done) std::fprintf(stderr, "loopwright: %s\n", qPrintable(error));
    return done ? 0 : 1;
}

} // namespace automation::bus
