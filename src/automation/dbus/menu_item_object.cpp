#include "automation/dbus/menu_item_object.h"

#include "automation/dbus/server.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace automation::bus {

QDBusObjectPath TMenuItemObject::AddSubItem() {
    return server_.MenuItemPath(Answer(model_->AddSubItem()));
}

QDBusObjectPath TMenuItemObject::SubItem(int nIndex) {
    return server_.MenuItemPath(Answer(model_->SubItem(nIndex)));
}

QDBusObjectPath TMenuItemObject::InsertSubItem(int nIndex) {
    return server_.MenuItemPath(Answer(model_->InsertSubItem(nIndex)));
}

void TMenuItemObject::SetMenuHandler(const QString& busName, const QDBusObjectPath& handler) {
    const QString owner = calledFromDBus() ? message().service() : busName;
    std::shared_ptr<TBusMenuHandler> made;
    if (!busName.isEmpty() && !handler.path().isEmpty() && handler.path() != NoObjectPath)
        made = server_.MenuHandler(busName, handler.path(), owner);
    // An empty name or no object removes the handler.
    Answer(model_->SetMenuHandler(made));
}

TResult<int> TBusMenuHandler::Execute(int nTag) {
    if (gone_ || !connection_.isConnected()) return {0};
    QDBusMessage call = QDBusMessage::createMethodCall(service_, path_, MenuHandlerInterface, "Execute");
    call << nTag;
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call, 30000), context_);
    auto showError = showError_;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context_,
                     [watcher, showError](QDBusPendingCallWatcher*) {
                         QDBusPendingReply<int> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError()) {
                             showError(reply.error().message());
                         } else if (reply.value() < 0) {
                             showError(QString("The menu handler failed (0x%1)")
                                           .arg(uint32_t(reply.value()), 8, 16, QChar('0')));
                         }
                     });
    return {0};
}

} // namespace automation::bus
