// /Enumerators/N: the variant enumerator of a _NewEnum call on the bus. Next answers the
// items as object paths and, second, 0 (S_OK) or 1 (S_FALSE); Skip answers the same code.
#pragma once

#include "automation/dbus/bus_object.h"

#include <QList>

namespace automation::bus {

// What the enumerator's items are, for their paths.
enum class TItemKind { Documents, Frames };

class TEnumeratorObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IEnumVARIANT")
  public:
    TEnumeratorObject(TAutomationServer& server, TEnumRef model, TItemKind kind, QString owner)
        : TBusObject(server), model_(std::move(model)), kind_(kind), owner_(std::move(owner)) {}
    // The client that asked for it: its enumerators go when it leaves the bus.
    const QString& Owner() const { return owner_; }

  public slots:
    QList<QDBusObjectPath> Next(int celt, int& hresult);
    int Skip(int celt);
    void Reset() { Answer(model_->Reset()); }
    QDBusObjectPath Clone();

  private:
    TEnumRef model_;
    TItemKind kind_;
    QString owner_;
};

} // namespace automation::bus
