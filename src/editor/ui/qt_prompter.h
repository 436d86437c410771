// The prompter of the running editor: Qt's message boxes, with a check box where a
// question offers one, the desktop's default programs, the busy cursor.
#pragma once

#include <QPointer>
#include <functional>
#include <QWidget>

#include "editor/core/prompter.h"

namespace editor {

class TQtPrompter : public IPrompter {
public:
    // Boxes are centred on `parent` (the main window), which may change later.
    explicit TQtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    TAnswer Ask(const TQuestion& question) override;
    bool OpenUrl(const QString& target) override;
    void Beep() override;
    void SetBusy(bool busy) override;
    QString AskSaveFileName(const TFileQuestion& question) override;
    QStringList AskOpenFileNames(const TFileQuestion& question) override;
    // The open dialog to use instead of Qt's plain one (the dialog with picture preview).
    std::function<QStringList(const TFileQuestion&)> OpenFileDialog;

    // The program's "Description|*.a;*.b|..." filter as Qt's "Description (*.a *.b);;...".
    static QString QtFilter(const QString& filter);

private:
    QPointer<QWidget> parent_;
};

} // namespace editor
