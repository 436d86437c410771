// TfrmPlugInExplorer, "Plugin Information": the titles of the loaded add-ins, and the
// title, version and description of the one selected, read-only.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace automation {

class TfrmPlugInExplorer : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmPlugInExplorer(QWidget* parent = nullptr);

    QListWidget* lbPlugIns = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtVersion = nullptr;
    QPlainTextEdit* mmoInfo = nullptr;
    QPushButton* btnOK = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void lbPlugInsClick(int row);
};

} // namespace automation
