// The prompter of the running editor: Qt's message boxes, with a check box where a
// question offers one, the desktop's default programs, the busy cursor.
#pragma once

#include <QPointer>
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

private:
    QPointer<QWidget> parent_;
};

} // namespace editor
