#include "editor/window/application.h"

#include <QMessageBox>

#include "editor/document/document_messages.h"

namespace editor {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationDisplayName(msg::ApplicationTitle);
    setOrganizationName("Quillmark Software");
    setApplicationName("GIF Loopwright 3.0");
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        // The operation has ended; its busy cursor went as the exception passed.
        QMessageBox::critical(activeWindow(), applicationDisplayName(),
                              QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace editor
