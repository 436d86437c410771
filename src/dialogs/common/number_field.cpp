#include "dialogs/common/number_field.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/core/text_routines.h"

namespace dialogs {

TNumberField::TNumberField(int minimum, int maximum, int maxLength, bool withUpDown, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), minimum_(minimum), maximum_(maximum) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit_->setMaxLength(maxLength);
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit_));
    edit_->installEventFilter(this);
    edit_->setMinimumWidth(fontMetrics().horizontalAdvance('0') * (maxLength + 2));
    layout->addWidget(edit_);
    setFocusProxy(edit_);
    if (withUpDown) {
        auto* buttons = new QVBoxLayout;
        buttons->setSpacing(0);
        up_ = new QToolButton(this);
        down_ = new QToolButton(this);
        up_->setArrowType(Qt::UpArrow);
        down_->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up_, down_}) {
            b->setFixedSize(16, 11);
            b->setAutoRepeat(true);
            b->setFocusPolicy(Qt::NoFocus);
            buttons->addWidget(b);
        }
        layout->addLayout(buttons);
        connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
        connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
    }
    connect(edit_, &QLineEdit::textEdited, this, &TNumberField::Edited);
}

void TNumberField::SetText(const QString& text) {
    const bool blocked = edit_->blockSignals(true);
    edit_->setText(text);
    edit_->blockSignals(blocked);
    if (!edit_->hasFocus()) onEntry_ = text;
}

int TNumberField::Position() const {
    bool ok = false;
    const int value = edit_->text().trimmed().toInt(&ok);
    if (!ok) return minimum_;
    return std::clamp(value, minimum_, maximum_);
}

void TNumberField::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void TNumberField::SetReadOnly(bool readOnly) {
    edit_->setReadOnly(readOnly);
    if (up_) up_->setEnabled(!readOnly);
    if (down_) down_->setEnabled(!readOnly);
}

void TNumberField::StepBy(int direction) {
    const int value = std::clamp(Position() + direction * step_, minimum_, maximum_);
    edit_->setText(QString::number(value));
    if (!edit_->hasFocus()) onEntry_ = edit_->text();
    emit Edited(edit_->text());
    emit Stepped();
}

bool TNumberField::CheckOnLeave() {
    // The check may tell the user why in a message box, whose showing moves the focus
    // again: that is not a second leave.
    if (checking_) return false;
    const QScopedValueRollback guard(checking_, true);
    const bool accepted = leaveCheck_ ? leaveCheck_(edit_->text()) : editor::IsNumeric(edit_->text());
    if (accepted) {
        onEntry_ = edit_->text();
        return true;
    }
    edit_->setText(onEntry_);
    emit Edited(onEntry_);
    return false;
}

bool TNumberField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        if (event->type() == QEvent::FocusIn) {
            onEntry_ = edit_->text();
        } else if (event->type() == QEvent::FocusOut) {
            // Another window taking the activation (a message box among them) leaves the
            // focus in this field: only a move to another control is a leave.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) CheckOnLeave();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dialogs
