#include "dialogs/inspector/property_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include "dialogs/palette/palette_swatches.h"
#include "editor/core/messages.h"

namespace dialogs {

namespace {

bool IsChoiceRow(int row) {
    return row == irInterlaced || row == irTransparent || row == irLocalPalette || row == irDisposal;
}
bool IsWritableRow(int row) { return row == irXOffset || row == irYOffset || row == irDelay; }

// Value cells: a line editor for the number rows (read-only for the size rows), a swatch
// in front of the transparent colour.
class TValueDelegate : public QStyledItemDelegate {
public:
    TValueDelegate(TPropertyGrid* grid, const gif::TColor* swatch)
        : QStyledItemDelegate(grid), grid_(grid), swatch_(swatch) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setReadOnly(!IsWritableRow(index.row()));
        const int row = index.row();
        // Queued: the commit may show a message box, whose event loop closes and deletes
        // this editor; the line edit must have finished its key press by then.
        connect(editor, &QLineEdit::returnPressed, grid_, [this, row] { emit grid_->EditFinished(row); },
                Qt::QueuedConnection);
        return editor;
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text());
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.row() == irTransparent && *swatch_ != gif::clNone) {
            const QRect box = option.rect.adjusted(2, 2, 0, -2);
            QStyleOptionViewItem shifted = option;
            shifted.rect.adjust(18, 0, 0, 0);
            QStyledItemDelegate::paint(painter, shifted, index);
            painter->fillRect(QRect(box.left(), box.top(), 14, box.height()), ToQColor(*swatch_));
            painter->setPen(Qt::black);
            painter->drawRect(QRect(box.left(), box.top(), 13, box.height() - 1));
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    TPropertyGrid* grid_;
    const gif::TColor* swatch_;
};

} // namespace

TPropertyGrid::TPropertyGrid(QWidget* parent)
    : QTableWidget(irRowCount, 2, parent), dropList_(new QListWidget(this)) {
    setObjectName("grdProperties");
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegateForColumn(1, new TValueDelegate(this, &swatch_));
    const int rowHeight = fontMetrics().height() + 6;
    QFont bold = font();
    bold.setBold(true);
    for (int row = 0; row < irRowCount; ++row) {
        setRowHeight(row, rowHeight);
        auto* label = new QTableWidgetItem(editor::msg::InspectorRows[row]);
        label->setFlags(Qt::ItemIsEnabled);
        label->setToolTip(RowHint(row));
        setItem(row, 0, label);
        auto* value = new QTableWidgetItem;
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable);
        value->setToolTip(RowHint(row));
        setItem(row, 1, value);
        if (IsGroupRow(row)) {
            setSpan(row, 0, 1, 2);
            label->setFont(bold);
            label->setBackground(QColor(0, 128, 128));
            label->setForeground(Qt::white);
        } else if (IsChoiceRow(row)) {
            value->setFont(bold);
        }
    }
    setColumnWidth(0, QFontMetrics(bold).horizontalAdvance("Local Palette") + 12);
    setMinimumHeight(rowHeight * irRowCount + 2);
    dropList_->setWindowFlags(Qt::Popup);
    dropList_->hide();
    connect(dropList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ChooseFromDropList(dropList_->row(item)); });
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { SelectRow(row); });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row == irTransparent) emit TransparentDoubleClicked();
    });
}

QStringList TPropertyGrid::Choices(int row) {
    switch (row) {
    case irInterlaced:
    case irLocalPalette: return {"Yes", "No"};
    case irTransparent: return {"Select Color...", "Yes", "No"};
    case irDisposal: return {"None", "Remove", "Background", "Previous"};
    default: return {};
    }
}

void TPropertyGrid::SetValues(const TRowValues& values) {
    for (int row = 0; row < irRowCount; ++row)
        if (!IsGroupRow(row)) item(row, 1)->setText(values[size_t(row)]);
}

QLineEdit* TPropertyGrid::OpenEditor(int row) const {
    // The view's own editor of the cell (tracked by the view, so never a deleted one), or
    // the focused line edit when it sits in this grid's viewport.
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(model()->index(row, 1)))) return editor;
    if (row == selectedRow_ && state() == QAbstractItemView::EditingState)
        if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            if (editor->parentWidget() == viewport()) return editor;
    return nullptr;
}

QString TPropertyGrid::Value(int row) const {
    if (row < 0 || row >= irRowCount) return {};
    // An open editor holds the newest text.
    if (QLineEdit* editor = OpenEditor(row)) return editor->text();
    return item(row, 1)->text();
}

void TPropertyGrid::SetValue(int row, const QString& text) {
    if (row >= 0 && row < irRowCount && !IsGroupRow(row)) {
        if (QLineEdit* editor = OpenEditor(row)) editor->setText(text);
        item(row, 1)->setText(text);
    }
}

void TPropertyGrid::Clear() {
    HideDropList();
    for (int row = 0; row < irRowCount; ++row)
        if (!IsGroupRow(row)) item(row, 1)->setText({});
    swatch_ = gif::clNone;
    selectedRow_ = -1;
    viewport()->update();
}

void TPropertyGrid::SetTransparentSwatch(gif::TColor colour) {
    swatch_ = colour;
    viewport()->update();
}

void TPropertyGrid::SelectRow(int row, bool openChoices) {
    if (row < 0 || row >= irRowCount) return;
    const int target = EnterableRow(row);
    if (selectedRow_ != -1) emit RowLeaving(selectedRow_);
    HideDropList();
    if (state() == QAbstractItemView::EditingState) closePersistentEditor(currentItem());
    selectedRow_ = target;
    for (int r = 0; r < irRowCount; ++r)
        if (!IsGroupRow(r)) {
            QFont f = item(r, 0)->font();
            f.setUnderline(r == target);
            item(r, 0)->setFont(f);
        }
    setCurrentCell(target, 1);
    emit RowSelected(target);
    if (IsChoiceRow(target)) {
        if (openChoices) OpenDropList(target);
    } else {
        editItem(item(target, 1));
    }
}

void TPropertyGrid::OpenDropList(int row) {
    dropList_->clear();
    dropList_->addItems(Choices(row));
    QFont bold = dropList_->font();
    bold.setBold(true);
    for (int i = (row == irTransparent ? 1 : 0); i < dropList_->count(); ++i) dropList_->item(i)->setFont(bold);
    const int current = Choices(row).indexOf(item(row, 1)->text());
    dropList_->setCurrentRow(current >= 0 ? current : 0);
    const QRect cell = visualRect(model()->index(row, 1));
    const int height = dropList_->sizeHintForRow(0) * dropList_->count() + 4;
    QPoint below = viewport()->mapToGlobal(cell.bottomLeft());
    if (cell.bottom() + height > viewport()->height())
        below = viewport()->mapToGlobal(cell.topLeft()) - QPoint(0, height);
    dropList_->setGeometry(QRect(below, QSize(cell.width(), height)));
    dropList_->setProperty("row", row);
    dropList_->show();
    dropList_->setFocus();
}

void TPropertyGrid::HideDropList() { dropList_->hide(); }

void TPropertyGrid::ChooseFromDropList(int index) {
    const int row = dropList_->property("row").toInt();
    const QStringList choices = Choices(row);
    HideDropList();
    if (index < 0 || index >= choices.size()) return;
    emit ChoiceMade(row, choices[index]);
}

void TPropertyGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    setColumnWidth(1, std::max(20, viewport()->width() - columnWidth(0) - 2));
    HideDropList();
}

void TPropertyGrid::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    if (selectedRow_ != -1 && !dropList_->isVisible()) emit EditFinished(selectedRow_);
}

} // namespace dialogs
