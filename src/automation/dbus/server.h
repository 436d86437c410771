// TAutomationServer: the editor's automation server on the session bus. It makes the
// Application object, puts the object model at its paths, claims the well-known name
// (the first editor to start keeps it), keeps track of the clients, asks before the
// user closes the editor under them and, when started by a client, quits after the last
// client has gone.
#pragma once

#include "automation/model/application.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QSet>
#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace editor {
class TfrmMain;
}

namespace automation {
class TQtAutomationDialogs;
}

namespace automation::bus {

class TApplicationObject;
class TActiveDocumentObject;
class TDocumentsObject;
class TDocumentCacheObject;
class TEnumeratorObject;
class TFrameObject;
class TFramesObject;
enum class TItemKind;

// The question asked when the user closes the editor while clients hold its objects.
inline constexpr const char* ComServerWarningCaption = "COM Server Warning";
inline constexpr const char* ComServerWarningText =
    "There are still active COM objects in this application.  One or more clients may have "
    "references to these objects, so manually closing "
    "this application may cause those client application(s) to fail.\r\n\r\n"
    "Are you sure you want to close this application?";

class TAutomationServer final : public QObject {
    Q_OBJECT
  public:
    // `startedByClient`: the automation start mode, which ends with the last client.
    TAutomationServer(editor::TfrmMain& window, bool startedByClient,
                      QDBusConnection connection = QDBusConnection::sessionBus());
    ~TAutomationServer() override;

    // The Application object, also for add-ins in-process.
    TGIFApplication& Application() { return *application_; }
    // Whether this editor holds the well-known name.
    bool OwnsName() const { return ownsName_; }
    // Whether the objects are on the bus.
    bool Registered() const { return registered_; }
    int ClientCount() const { return int(clients_.size()); }

    // Notes a caller as a client (watched until it leaves the bus).
    void Track(const QString& client);

    // The paths of objects handed out: each points at the object of that index now.
    QDBusObjectPath DocumentPath(int index, std::shared_ptr<IDocumentCache> document);
    QDBusObjectPath FramePath(int index, std::shared_ptr<IFrame> frame);
    QDBusObjectPath EnumeratorPath(TEnumRef enumerator, TItemKind kind, const QString& owner);
    // "/ActiveDocument" while a document is active, else no object.
    QDBusObjectPath ActiveDocumentObject() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ClientGone(const QString& client);

    editor::TfrmMain& window_;
    bool startedByClient_;
    QDBusConnection connection_;
    std::unique_ptr<TQtAutomationDialogs> dialogs_;
    TContextRef context_;
    std::shared_ptr<TGIFApplication> application_;
    std::unique_ptr<TApplicationObject> applicationObject_;
    std::unique_ptr<TActiveDocumentObject> activeDocumentObject_;
    std::unique_ptr<TDocumentsObject> documentsObject_;
    std::unique_ptr<TFramesObject> framesObject_;
    std::map<int, std::unique_ptr<TDocumentCacheObject>> documentObjects_;
    std::map<int, std::unique_ptr<TFrameObject>> frameObjects_;
    std::map<int, std::unique_ptr<TEnumeratorObject>> enumerators_;
    int nextEnumerator_ = 1;
    QSet<QString> clients_;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool ownsName_ = false;
    bool registered_ = false;
};

} // namespace automation::bus
