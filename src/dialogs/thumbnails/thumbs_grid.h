// grdThumbs: the grid of thumbnails. Cells are squares of ThumbCellSize, as many columns as
// fit (at least one); each shows its picture with a raised edge, "%d x %d" under it and the
// file name at the bottom. Pressing a cell (or moving to it by keyboard) selects it; the left
// button drags its file after a 10-pixel move.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>
#include <functional>
#include <vector>

namespace dialogs {

// One thumbnail: the file (without folder), the picture's size and the file's size in KB.
struct TThumbRecord {
    QString Name;
    int Width = 0;
    int Height = 0;
    int KB = 0;
};

class TThumbGrid : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit TThumbGrid(QWidget* parent = nullptr);

    void SetThumbSize(int size);
    int ThumbSize() const { return thumbSize_; }
    void Clear();
    void Append(const TThumbRecord& record, const QImage& square);
    int Count() const { return int(records_.size()); }
    const TThumbRecord& Record(int index) const { return records_[size_t(index)]; }
    const QPixmap& Picture(int index) const { return pictures_[size_t(index)]; }
    int Selected() const { return selected_; }
    void SetSelected(int index);
    // Whether the last mouse press was on a thumbnail.
    bool PressedOnThumbnail() const { return pressedOnThumb_; }

    int CellSize() const;
    int Columns() const;
    int Rows() const;
    // The thumbnail under a viewport position, -1 for none.
    int IndexAt(const QPoint& position) const;
    QRect CellRect(int index) const;

    // The path a drag carries for a thumbnail; the drag starts only when it gives one.
    std::function<QString(int index)> PathOf;

  signals:
    // A thumbnail was chosen by the mouse or the keyboard.
    void Chosen(int index);
    void DoubleClicked();
    void MenuRequested(const QPoint& globalPos);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void UpdateScrollBar();
    void StartDrag();

    int thumbSize_ = 75;
    std::vector<TThumbRecord> records_;
    std::vector<QPixmap> pictures_;
    int selected_ = -1;
    bool pressedOnThumb_ = false;
    QPoint pressAt_;
    bool dragArmed_ = false;
};

} // namespace dialogs
