#include "editor/ui/qt_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

namespace editor {

namespace {

QMessageBox::Icon IconOf(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Warning: return QMessageBox::Warning;
    case TMessageKind::Error: return QMessageBox::Critical;
    case TMessageKind::Information: return QMessageBox::Information;
    case TMessageKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons of a box, each with the modal result it stands for.
std::vector<std::pair<QMessageBox::StandardButton, int>> ButtonsOf(TButtons buttons) {
    switch (buttons) {
    case TButtons::Ok: return {{QMessageBox::Ok, mrOk}};
    case TButtons::OkCancel: return {{QMessageBox::Ok, mrOk}, {QMessageBox::Cancel, mrCancel}};
    case TButtons::YesNo: return {{QMessageBox::Yes, mrYes}, {QMessageBox::No, mrNo}};
    case TButtons::YesNoCancel:
        return {{QMessageBox::Yes, mrYes}, {QMessageBox::No, mrNo}, {QMessageBox::Cancel, mrCancel}};
    case TButtons::AbortIgnoreAll:
        return {{QMessageBox::Abort, mrAbort}, {QMessageBox::Ignore, mrIgnore},
                {QMessageBox::YesToAll, mrAll}};
    }
    return {{QMessageBox::Ok, mrOk}};
}

} // namespace

TAnswer TQtPrompter::Ask(const TQuestion& question) {
    const QString title = question.Caption.isEmpty() ? QApplication::applicationDisplayName()
                                                     : question.Caption;
    QMessageBox box(IconOf(question.Kind), title, question.Text, QMessageBox::NoButton, parent_);
    const auto buttons = ButtonsOf(question.Buttons);
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].first);
        if (i < size_t(question.ButtonCaptions.size())) button->setText(question.ButtonCaptions[int(i)]);
        if (buttons[i].first == QMessageBox::YesToAll) button->setText(QObject::tr("&All"));
        results.push_back({button, buttons[i].second});
    }
    const size_t preselected = size_t(std::max(0, question.DefaultButton));
    box.setDefaultButton(static_cast<QPushButton*>(
        results[preselected < results.size() ? preselected : 0].first));
    if (question.Buttons != TButtons::Ok && question.Buttons != TButtons::YesNo)
        box.setEscapeButton(results.back().first);
    if (!question.CheckCaption.isEmpty()) box.setCheckBox(new QCheckBox(question.CheckCaption));
    box.exec();
    TAnswer answer{mrCancel, box.checkBox() && box.checkBox()->isChecked()};
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button) answer.Result = result;
    return answer;
}

bool TQtPrompter::OpenUrl(const QString& target) {
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target)
                                               : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

QString TQtPrompter::QtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses: the description's own shown
        // patterns ("(*.jpg, *.jpeg)") give way to the real ones.
        const QString description = parts[i].section('(', 0, 0).trimmed();
        entries << description + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return entries.join(";;");
}

QString TQtPrompter::AskSaveFileName(const TFileQuestion& question) {
    QFileDialog dialog(parent_, QString(), question.InitialDir, QtFilter(question.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(question.DefaultSuffix);
    if (!question.FileName.isEmpty()) dialog.selectFile(question.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QStringList TQtPrompter::AskOpenFileNames(const TFileQuestion& question) {
    if (OpenFileDialog) return OpenFileDialog(question);
    QFileDialog dialog(parent_, QString(), question.InitialDir, QtFilter(question.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(question.Multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!question.FileName.isEmpty()) dialog.selectFile(question.FileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

void TQtPrompter::Beep() { QApplication::beep(); }

void TQtPrompter::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace editor
