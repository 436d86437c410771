#include "editor/window/qt_dispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace editor {

std::shared_ptr<TQtDispatcher> TQtDispatcher::Create() {
    return std::shared_ptr<TQtDispatcher>(new TQtDispatcher());
}

void TQtDispatcher::CallQueued() {
    // The wake-up runs the queue from the event loop; it is dropped harmlessly when the
    // dispatcher has gone by then (its renderers, which hold it, have all ended).
    std::weak_ptr<TQtDispatcher> self = weak_from_this();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self] {
            if (auto dispatcher = self.lock()) dispatcher->ProcessPendingWork();
        },
        Qt::QueuedConnection);
}

} // namespace editor
