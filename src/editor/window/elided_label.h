// A one-line label that ends its text in "…" when the text does not fit, rather than
// cutting it off mid-letter.
#pragma once

#include <QLabel>
#include <QResizeEvent>

namespace editor {

class TElidedLabel : public QLabel {
  public:
    using QLabel::QLabel;

    void SetFullText(const QString& text) {
        full_ = text;
        Elide();
    }
    const QString& FullText() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        Elide();
    }

  private:
    // The whole text is kept; what is shown follows the width the layout gives. The
    // tooltip shows the whole text while it is shortened.
    void Elide() {
        const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, width());
        setText(shown);
        setToolTip(shown == full_ ? QString() : full_);
    }

    QString full_;
};

} // namespace editor
