// The gradient heading of the wizards window: the picture "HEADING" of the resource file
// stretched across the window, with the page's title on it.
#pragma once

#include <QWidget>

namespace dialogs {

class TWizardHeading : public QWidget {
    Q_OBJECT
  public:
    explicit TWizardHeading(QWidget* parent = nullptr);
    QString Title() const { return title_; }
    void SetTitle(const QString& title);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
    QPixmap gradient_;
};

} // namespace dialogs
