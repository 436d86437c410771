// The frame picture of the palette dialog's transparent-colour mode: pixels of the picked
// colour are shown in the background colour, framed by a one-pixel outline; clicks report
// the picture point.
#pragma once

#include <QImage>
#include <QWidget>

namespace dialogs {

class TFramePreview : public QWidget {
    Q_OBJECT
public:
    explicit TFramePreview(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    void SetHiddenColour(QRgb colour, bool hide);
    QSize sizeHint() const override;

signals:
    void Clicked(QPoint pointInPicture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QRgb hidden_ = 0;
    bool hide_ = false;
};

} // namespace dialogs
