#include "automation/ui/qt_automation_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace automation {

namespace {

// The platform's message-box ids.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

std::vector<std::pair<QMessageBox::StandardButton, int>> ButtonsOf(int type) {
    switch (type & 0xF) {
    case 1: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case 2: return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case 3: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case 4: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case 5: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(int type) {
    switch (type & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

QString TQtAutomationDialogs::InputBox(const QString& caption, const QString& prompt,
                                       const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    return ok ? text : defaultText;
}

int TQtAutomationDialogs::MessageBox(const QString& text, const QString& caption, int type) {
    QMessageBox box(IconOf(type), caption, text, QMessageBox::NoButton, parent_);
    const auto buttons = ButtonsOf(type);
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const auto& [button, id] : buttons) results.push_back({box.addButton(button), id});
    const size_t preselected = size_t((type >> 8) & 0xF);
    box.setDefaultButton(static_cast<QPushButton*>(
        results[preselected < results.size() ? preselected : 0].first));
    box.exec();
    for (const auto& [button, id] : results)
        if (box.clickedButton() == button) return id;
    return buttons.size() == 1 ? IDOK : IDCANCEL;
}

} // namespace automation
