// TApplication: the editor's QApplication. An exception that leaves a command reaches
// the user in the standard error box instead of ending the program.
#pragma once

#include <QApplication>

namespace editor {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace editor
