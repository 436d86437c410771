// The base of the objects on the bus: each call is answered from the model's result, a
// failed result becoming the D-Bus error com.quillmark.Loopwright3.Error with the editor's
// message, and the caller is noted as a client of the server.
#pragma once

#include "automation/model/interfaces.h"
#include "automation/dbus/names.h"

#include <QByteArray>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>

namespace automation::bus {

class TAutomationServer;

class TBusObject : public QObject, protected QDBusContext {
    Q_OBJECT
  public:
    explicit TBusObject(TAutomationServer& server) : server_(server) {}

  protected:
    template <class T>
    T Answer(const TResult<T>& result) {
        Fail(result.Succeeded() ? QString() : result.Error);
        return result.Value;
    }
    void Answer(const TResult<TNone>& result) { Fail(result.Succeeded() ? QString() : result.Error); }
    // Notes the caller; sends the error when `error` is not empty.
    void Fail(const QString& error);

    static QByteArray Bytes(const TPicture& picture) {
        return QByteArray(reinterpret_cast<const char*>(picture.data()), qsizetype(picture.size()));
    }
    static TPicture Picture(const QByteArray& bytes) { return TPicture(bytes.begin(), bytes.end()); }
    static QDBusObjectPath NoObject() { return QDBusObjectPath(NoObjectPath); }

    TAutomationServer& server_;
};

} // namespace automation::bus
