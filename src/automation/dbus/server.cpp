#include "automation/dbus/server.h"

#include "automation/dbus/active_document_object.h"
#include "automation/dbus/application_object.h"
#include "automation/dbus/documents_object.h"
#include "automation/dbus/enumerator_object.h"
#include "automation/dbus/frames_object.h"
#include "automation/model/active_document.h"
#include "automation/model/frames.h"
#include "automation/ui/qt_automation_dialogs.h"
#include "editor/core/prompter.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"

#include <QCloseEvent>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QTimer>

namespace automation::bus {

namespace {

constexpr auto ExportAll = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties;

} // namespace

TAutomationServer::TAutomationServer(editor::TfrmMain& window, bool startedByClient,
                                     QDBusConnection connection)
    : window_(window), startedByClient_(startedByClient), connection_(std::move(connection)) {
    dialogs_ = std::make_unique<TQtAutomationDialogs>(&window);
    context_ = std::make_shared<TAutomationContext>(TAutomationContext{window, dialogs_.get(), nullptr});
    application_ = std::make_shared<TGIFApplication>(context_);
    applicationObject_ = std::make_unique<TApplicationObject>(*this, *application_);
    activeDocumentObject_ =
        std::make_unique<TActiveDocumentObject>(*this, std::make_shared<TActiveDocument>(context_));
    documentsObject_ = std::make_unique<TDocumentsObject>(*this, application_->DocumentCache().Value);
    // The frames of whichever document is active: the same object on every read.
    framesObject_ = std::make_unique<TFramesObject>(*this, std::make_shared<TGIFFrames>(context_));

    window_.installEventFilter(this);
    if (!connection_.isConnected()) return;
    registered_ = connection_.registerObject(ApplicationPath, applicationObject_.get(), ExportAll) &&
                  connection_.registerObject(ActiveDocumentPath, activeDocumentObject_.get(), ExportAll) &&
                  connection_.registerObject(DocumentsPath, documentsObject_.get(), ExportAll) &&
                  connection_.registerObject(FramesPath, framesObject_.get(), ExportAll);
    // The first editor keeps the name; a second one runs without it.
    ownsName_ = registered_ && connection_.interface()->registerService(
                                   ServiceName, QDBusConnectionInterface::DontQueueService,
                                   QDBusConnectionInterface::DontAllowReplacement) ==
                                   QDBusConnectionInterface::ServiceRegistered;
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(connection_);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &TAutomationServer::ClientGone);
}

TAutomationServer::~TAutomationServer() {
    window_.removeEventFilter(this);
    if (!connection_.isConnected()) return;
    if (ownsName_) connection_.interface()->unregisterService(ServiceName);
    for (const char* path : {ApplicationPath, ActiveDocumentPath, DocumentsPath})
        connection_.unregisterObject(path, QDBusConnection::UnregisterTree);
}

void TAutomationServer::Track(const QString& client) {
    if (client.isEmpty() || clients_.contains(client)) return;
    clients_.insert(client);
    watcher_->addWatchedService(client);
    // A client that left before it was watched would never be seen to go.
    if (!connection_.interface()->isServiceRegistered(client)) ClientGone(client);
}

void TAutomationServer::ClientGone(const QString& client) {
    if (!clients_.remove(client)) return;
    watcher_->removeWatchedService(client);
    for (auto it = enumerators_.begin(); it != enumerators_.end();) {
        if (it->second->Owner() == client) {
            connection_.unregisterObject(QString("%1/%2").arg(EnumeratorsPath).arg(it->first));
            it = enumerators_.erase(it);
        } else {
            ++it;
        }
    }
    if (!startedByClient_ || !clients_.isEmpty()) return;
    // Started by a client and left by the last one. Unsaved work keeps the editor open,
    // shown to the user, rather than being thrown away.
    if (window_.Workspace().AnyDocumentModified()) {
        window_.show();
        window_.raise();
        return;
    }
    QTimer::singleShot(0, &window_, [this] {
        startedByClient_ = false;
        window_.close();
    });
}

bool TAutomationServer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close && !clients_.isEmpty() &&
        !application_->Quitting()) {
        editor::TQuestion question;
        question.Kind = editor::TMessageKind::Warning;
        question.Caption = ComServerWarningCaption;
        question.Text = ComServerWarningText;
        question.Buttons = editor::TButtons::YesNo;
        question.DefaultButton = 1;
        if (window_.Prompter().Ask(question).Result != editor::mrYes) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QDBusObjectPath TAutomationServer::DocumentPath(int index, std::shared_ptr<IDocumentCache> document) {
    if (!document) return QDBusObjectPath(NoObjectPath);
    auto& object = documentObjects_[index];
    const QString path = QString("%1/%2").arg(DocumentsPath).arg(index);
    if (!object) {
        object = std::make_unique<TDocumentCacheObject>(*this);
        connection_.registerObject(path, object.get(), ExportAll);
    }
    object->SetModel(std::move(document));
    return QDBusObjectPath(path);
}

QDBusObjectPath TAutomationServer::FramePath(int index, std::shared_ptr<IFrame> frame) {
    if (!frame) return QDBusObjectPath(NoObjectPath);
    auto& object = frameObjects_[index];
    const QString path = QString("%1/%2").arg(FramesPath).arg(index);
    if (!object) {
        object = std::make_unique<TFrameObject>(*this);
        connection_.registerObject(path, object.get(), ExportAll);
    }
    object->SetModel(std::move(frame));
    return QDBusObjectPath(path);
}

QDBusObjectPath TAutomationServer::EnumeratorPath(TEnumRef enumerator, TItemKind kind,
                                                  const QString& owner) {
    if (!enumerator) return QDBusObjectPath(NoObjectPath);
    const int id = nextEnumerator_++;
    const QString path = QString("%1/%2").arg(EnumeratorsPath).arg(id);
    auto object = std::make_unique<TEnumeratorObject>(*this, std::move(enumerator), kind, owner);
    connection_.registerObject(path, object.get(), ExportAll);
    enumerators_[id] = std::move(object);
    return QDBusObjectPath(path);
}

QDBusObjectPath TAutomationServer::ActiveDocumentObject() const {
    return QDBusObjectPath(application_->ActiveDocument().Value ? ActiveDocumentPath : NoObjectPath);
}

} // namespace automation::bus
