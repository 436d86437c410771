// The editor's start modes: the switches "AUTOMATION" and "EMBEDDING" (started by a
// client), "REGSERVER" and "UNREGSERVER" (install or remove the bus activation file and
// exit), each after "/" or "-" in any case.
#pragma once

#include <QString>
#include <QStringList>

namespace automation::bus {

enum class TStartMode { Normal, Automation, RegServer, UnregServer };

// Whether `argument` is one of the start-mode switches.
bool IsStartSwitch(const QString& argument);
// The mode the arguments (without the program's own name) ask for.
TStartMode StartModeOf(const QStringList& arguments);

// The activation file of the service: $XDG_DATA_HOME/dbus-1/services/<name>.service.
QString ActivationFilePath();
// The file's text: the service name and `executable` started with "-AUTOMATION".
QString ActivationFileText(const QString& executable);
// Writes or removes the activation file. False, with the reason in `error`, on failure.
bool RegisterServer(const QString& executable, QString& error);
bool UnregisterServer(QString& error);

} // namespace automation::bus

namespace automation::bus {

// REGSERVER and UNREGSERVER: does the registration without any window (no display is
// needed) and returns the process's exit status, telling a failure on standard error.
int RunRegistration(TStartMode mode, int argc, char** argv);

} // namespace automation::bus
