// The inspector's property grid: two columns (label, value), twelve rows, group rows drawn
// across both columns, a drop list for the choice rows and a swatch for the transparent
// colour. It only shows and collects text; the inspector commits it.
#pragma once

#include <QTableWidget>

#include "dialogs/inspector/inspector_model.h"

class QLineEdit;
class QListWidget;

namespace dialogs {

class TPropertyGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TPropertyGrid(QWidget* parent = nullptr);

    void SetValues(const TRowValues& values);
    QString Value(int row) const;
    void SetValue(int row, const QString& text);
    void Clear();
    // The transparent colour swatch in the Transparent row; clNone hides it.
    void SetTransparentSwatch(gif::TColor colour);

    int SelectedRow() const { return selectedRow_; }
    // Selects a row as a click would (group rows move on); the choice rows open their list.
    void SelectRow(int row, bool openChoices = true);
    // The choice list of the selected row (rows 6, 7, 8 and 11).
    QListWidget* DropList() const { return dropList_; }
    void HideDropList();
    // Chooses entry `index` of the open drop list.
    void ChooseFromDropList(int index);
    static QStringList Choices(int row);

signals:
    // The row about to change: the inspector commits the old one first.
    void RowLeaving(int row);
    void RowSelected(int row);
    // A value was chosen from the drop list ("Select Color..." included).
    void ChoiceMade(int row, const QString& text);
    // Enter in an editor, or the editor left.
    void EditFinished(int row);
    void TransparentDoubleClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OpenDropList(int row);
    // The line edit open on the value cell of `row`, if any.
    QLineEdit* OpenEditor(int row) const;
    int selectedRow_ = -1;
    QListWidget* dropList_;
    gif::TColor swatch_ = gif::clNone;
};

} // namespace dialogs
