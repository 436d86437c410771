#include "editor/window/splash.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace editor {

TSplashScreen::TSplashScreen(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(picture) {
    setObjectName("SplashScreen");
    // The picture does not react to the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(picture_.isNull() ? QSize(400, 240) : picture_.deviceIndependentSize().toSize());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->start(MinimumShowMs);
    // Every window's show passes here while the splash lives.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool TSplashScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched != this && isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && (qobject_cast<QDialog*>(widget) || widget->isModal()))
            hide();
    }
    return QWidget::eventFilter(watched, event);
}

bool TSplashScreen::CanClose() const {
    return !timer_->isActive();
}

void TSplashScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), QColor(35, 45, 70));
    else
        painter.drawPixmap(0, 0, picture_);
}

void TSplashScreen::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace editor
