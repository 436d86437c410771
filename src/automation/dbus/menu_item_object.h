// /Menus/N: IIntfMenuItem on the bus, one path per menu item. SetMenuHandler takes the
// client's bus name and the path of its object implementing
// com.quillmark.Loopwright3.IIntfMenuHandler.
#pragma once

#include "automation/dbus/bus_object.h"

#include <QDBusConnection>

namespace automation::bus {

class TMenuItemObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IIntfMenuItem")
    Q_PROPERTY(QString Caption READ GetCaption WRITE PutCaption)
    Q_PROPERTY(bool Checked READ GetChecked WRITE PutChecked)
    Q_PROPERTY(bool Enabled READ GetEnabled WRITE PutEnabled)
    Q_PROPERTY(QString Hint READ GetHint WRITE PutHint)
    Q_PROPERTY(QString ShortCut READ GetShortCut WRITE PutShortCut)
    Q_PROPERTY(int SubItemCount READ GetSubItemCount)
    Q_PROPERTY(int Tag READ GetTag WRITE PutTag)
    Q_PROPERTY(bool Visible READ GetVisible WRITE PutVisible)
    Q_PROPERTY(int MenuIndex READ GetMenuIndex WRITE PutMenuIndex)
    Q_PROPERTY(bool DocDependent READ GetDocDependent WRITE PutDocDependent)
  public:
    TMenuItemObject(TAutomationServer& server, TMenuItemRef model)
        : TBusObject(server), model_(std::move(model)) {}

    QString GetCaption() { return Answer(model_->Caption()); }
    void PutCaption(const QString& value) { Answer(model_->SetCaption(value)); }
    bool GetChecked() { return Answer(model_->Checked()); }
    void PutChecked(bool value) { Answer(model_->SetChecked(value)); }
    bool GetEnabled() { return Answer(model_->Enabled()); }
    void PutEnabled(bool value) { Answer(model_->SetEnabled(value)); }
    QString GetHint() { return Answer(model_->Hint()); }
    void PutHint(const QString& value) { Answer(model_->SetHint(value)); }
    QString GetShortCut() { return Answer(model_->ShortCut()); }
    void PutShortCut(const QString& value) { Answer(model_->SetShortCut(value)); }
    int GetSubItemCount() { return Answer(model_->SubItemCount()); }
    int GetTag() { return Answer(model_->Tag()); }
    void PutTag(int value) { Answer(model_->SetTag(value)); }
    bool GetVisible() { return Answer(model_->Visible()); }
    void PutVisible(bool value) { Answer(model_->SetVisible(value)); }
    int GetMenuIndex() { return Answer(model_->MenuIndex()); }
    void PutMenuIndex(int value) { Answer(model_->SetMenuIndex(value)); }
    bool GetDocDependent() { return Answer(model_->DocDependent()); }
    void PutDocDependent(bool value) { Answer(model_->SetDocDependent(value)); }

  public slots:
    QDBusObjectPath AddSubItem();
    QDBusObjectPath SubItem(int nIndex);
    void SetMenuHandler(const QString& busName, const QDBusObjectPath& handler);
    void Execute() { Answer(model_->Execute()); }
    QDBusObjectPath InsertSubItem(int nIndex);

  private:
    TMenuItemRef model_;
};

// A client's handler: Execute calls the client without waiting for it, so a client that
// hangs or has gone never blocks the editor; its answer, when it comes, shows a failure.
// A handler whose client left the bus does nothing.
class TBusMenuHandler final : public IIntfMenuHandler {
  public:
    TBusMenuHandler(QDBusConnection connection, QString service, QString path, QString owner,
                    std::function<void(const QString&)> showError, QObject* context)
        : connection_(std::move(connection)), service_(std::move(service)), path_(std::move(path)),
          owner_(std::move(owner)), showError_(std::move(showError)), context_(context) {}
    TResult<int> Execute(int nTag) override;
    const QString& Owner() const { return owner_; }
    void ClientGone() { gone_ = true; }

  private:
    QDBusConnection connection_;
    QString service_;
    QString path_;
    QString owner_;
    std::function<void(const QString&)> showError_;
    QObject* context_;
    bool gone_ = false;
};

} // namespace automation::bus
