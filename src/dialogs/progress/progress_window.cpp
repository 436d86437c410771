#include "dialogs/progress/progress_window.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace dialogs {

TfrmProgress::TfrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("frmProgress");
    // Without a title bar the window draws its own edge.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);
    outer->addWidget(panel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(8);

    lblFileName = new QLabel(panel);
    lblFileName->setObjectName("lblFileName");
    lblFileName->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblFileName);
    prgBar = new QProgressBar(panel);
    prgBar->setObjectName("prgBar");
    prgBar->setTextVisible(false);
    prgBar->setRange(0, 100);
    prgBar->setValue(0);
    layout->addWidget(prgBar);
    lblProgress = new QLabel(panel);
    lblProgress->setObjectName("lblProgress");
    lblProgress->setAlignment(Qt::AlignCenter);
    lblProgress->hide();
    layout->addWidget(lblProgress);
    btnCancel = new QPushButton(tr("Cancel"), panel);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setDefault(true);
    layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmProgress::btnCancelClick);
    setFixedWidth(360);
}

void TfrmProgress::SetFileLabel(const QString& text) {
    lblFileName->setText(text);
}

void TfrmProgress::SetProgressLabel(const QString& text) {
    lblProgress->setText(text);
    lblProgress->setVisible(!text.isEmpty());
    adjustSize();
}

void TfrmProgress::SetRange(int minimum, int maximum) {
    prgBar->setRange(minimum, std::max(minimum, maximum));
}

void TfrmProgress::SetPosition(int position) {
    prgBar->setValue(position);
}

void TfrmProgress::StepIt() {
    // Past the end the bar starts again, as a stepped bar of the platform does.
    const int next = prgBar->value() + 1;
    prgBar->setValue(next > prgBar->maximum() ? prgBar->minimum() : next);
}

void TfrmProgress::SetCancelVisible(bool visible) {
    btnCancel->setVisible(visible);
    adjustSize();
}

void TfrmProgress::Show() {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void TfrmProgress::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TfrmProgress::btnCancelClick() {
    cancelled_ = true;
    setResult(QDialog::Rejected);
}

void TfrmProgress::reject() {
    // Escape presses Cancel only while Cancel is offered; the window stays until freed.
    if (btnCancel->isVisible()) btnCancelClick();
}

} // namespace dialogs
