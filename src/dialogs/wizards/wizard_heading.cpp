#include "dialogs/wizards/wizard_heading.h"

#include <QPainter>

namespace dialogs {

TWizardHeading::TWizardHeading(QWidget* parent) : QWidget(parent), gradient_(":/HEADING") {
    setObjectName("pnlHeading");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TWizardHeading::SetTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title);
    update();
}

QSize TWizardHeading::sizeHint() const {
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    return {400, QFontMetrics(bold).height() + 20};
}

void TWizardHeading::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (gradient_.isNull()) {
        // Without the resource file the same idea, drawn here.
        QLinearGradient fill(0, 0, width(), 0);
        fill.setColorAt(0, QColor(0, 0, 128));
        fill.setColorAt(1, QColor(64, 128, 224));
        painter.fillRect(rect(), fill);
    } else {
        painter.drawPixmap(rect(), gradient_);
    }
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft, title_);
}

} // namespace dialogs
