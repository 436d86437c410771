// /Documents (IDocuments) and /Documents/N (IDocumentCache) on the bus.
#pragma once

#include "automation/dbus/bus_object.h"

namespace automation::bus {

class TDocumentsObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IDocuments")
    Q_PROPERTY(int Count READ GetCount)
  public:
    TDocumentsObject(TAutomationServer& server, std::shared_ptr<IDocuments> model)
        : TBusObject(server), model_(std::move(model)) {}
    int GetCount() { return Answer(model_->Count()); }

  public slots:
    QDBusObjectPath Cache(int Index);
    QDBusObjectPath _NewEnum();

  private:
    std::shared_ptr<IDocuments> model_;
};

class TDocumentCacheObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IDocumentCache")
    Q_PROPERTY(bool CanUndo READ GetCanUndo)
    Q_PROPERTY(bool CanRedo READ GetCanRedo)
    Q_PROPERTY(bool Modified READ GetModified)
    Q_PROPERTY(QString FileName READ GetFileName)
    Q_PROPERTY(bool ReadOnly READ GetReadOnly)
  public:
    explicit TDocumentCacheObject(TAutomationServer& server) : TBusObject(server) {}
    // The document the path stands for now.
    void SetModel(std::shared_ptr<IDocumentCache> model) { model_ = std::move(model); }

    bool GetCanUndo() { return Answer(model_->CanUndo()); }
    bool GetCanRedo() { return Answer(model_->CanRedo()); }
    bool GetModified() { return Answer(model_->Modified()); }
    QString GetFileName() { return Answer(model_->FileName()); }
    bool GetReadOnly() { return Answer(model_->ReadOnly()); }

  public slots:
    void MakeActive() { Answer(model_->MakeActive()); }

  private:
    std::shared_ptr<IDocumentCache> model_;
};

} // namespace automation::bus
