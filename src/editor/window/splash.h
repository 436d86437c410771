// TSplashScreen: the borderless window with the splash picture shown while the program
// starts. It refuses to close until its 2500 ms timer has fired, but steps aside (hides) as
// soon as any dialog or message box shows, which it would otherwise cover: it stays on top.
#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

namespace editor {

class TSplashScreen : public QWidget {
    Q_OBJECT
  public:
    static constexpr int MinimumShowMs = 2500;

    explicit TSplashScreen(const QPixmap& picture);
    // The timer has fired: a close request is accepted now.
    bool CanClose() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPixmap picture_;
    QTimer* timer_;
};

} // namespace editor
