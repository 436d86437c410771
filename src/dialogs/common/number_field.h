// A numeric edit field, optionally with up and down buttons: only digits can be typed; a
// field left empty or invalid returns to the value it had when it was entered.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <functional>

class QToolButton;

namespace dialogs {

class TNumberField : public QWidget {
    Q_OBJECT
public:
    // Without up-down buttons when `withUpDown` is false. `maxLength` characters at most.
    TNumberField(int minimum, int maximum, int maxLength, bool withUpDown, QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    QString Text() const { return edit_->text(); }
    // Sets the text without the typed-change signal.
    void SetText(const QString& text);
    void SetValue(int value) { SetText(QString::number(value)); }
    // The up-down position: the text's value clamped to the range (the minimum when empty).
    int Position() const;
    void SetRange(int minimum, int maximum);
    int Maximum() const { return maximum_; }
    void SetStep(int step) { step_ = step; }
    void SetReadOnly(bool readOnly);

    // Presses the up (+1) or down (-1) button.
    void StepBy(int direction);
    // Decides on leaving the field whether its text stays; when it does not, the text on
    // entry comes back (and the check may tell the user why). Default: digits only.
    void SetLeaveCheck(std::function<bool(const QString& text)> check) { leaveCheck_ = std::move(check); }
    // Runs the leave check now, as leaving the field does; false when the text was refused.
    bool CheckOnLeave();

signals:
    // The user typed or stepped: the text changed through the user, not through SetText.
    void Edited(const QString& text);
    // The up or down button was pressed (after Edited).
    void Stepped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int minimum_;
    int maximum_;
    int step_ = 1;
    QString onEntry_;
    bool checking_ = false;
    std::function<bool(const QString&)> leaveCheck_;
};

} // namespace dialogs
