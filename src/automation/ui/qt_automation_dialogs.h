// The InputBox and MessageBox of automation clients as real Qt dialogs.
#pragma once

#include "automation/model/context.h"

class QWidget;

namespace automation {

class TQtAutomationDialogs final : public IAutomationDialogs {
  public:
    explicit TQtAutomationDialogs(QWidget* parent) : parent_(parent) {}
    QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText) override;
    int MessageBox(const QString& text, const QString& caption, int type) override;

  private:
    QWidget* parent_;
};

} // namespace automation
