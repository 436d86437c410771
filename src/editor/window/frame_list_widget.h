// lbFrames: the frame list of the main window, one item per non-empty frame of the
// working image with its thumbnail, the frame's number and its size. Selecting an item
// shows that frame in the active document.
#pragma once

#include "editor/core/frame_list.h"

#include <QListWidget>
#include <functional>

namespace gif {
class TGIFImage;
}

namespace editor {

class TFrameListWidget : public QListWidget, public IFrameList {
    Q_OBJECT
  public:
    explicit TFrameListWidget(QWidget* parent = nullptr);
    // The working image whose frames the items show.
    void SetImage(gif::TGIFImage* image) { image_ = image; }

    // Thumbnails of `size` pixels: items are size + 26 wide and size + 65 high.
    void SetFrameSize(int size);
    int FrameSize() const { return frameSize_; }
    // Draws every item's thumbnail again from the working image.
    void RefreshThumbnails();

    // IFrameList
    int Count() const override { return count(); }
    void InsertItem(int index) override;
    void DeleteItem(int index) override;
    void MoveItem(int from, int to) override;
    void Clear() override;
    int Selected() const override { return currentRow(); }
    void Select(int index) override;
    void ShowFrame(int index) override;

    // Shows a frame: the workspace's DisplayFrame.
    std::function<void(int index)> OnShowFrame;
    // The list's own item dropped on item `to`.
    std::function<void(int from, int to)> OnMoveFrame;
    // A document's picture dropped on item `index`.
    std::function<void(int index)> OnPictureDropped;
    // A thumbnail of the browser dropped on the list: the picture's path.
    std::function<void(const QString& path)> OnThumbnailDropped;
    // A right press selected and showed an item: the pop-up menu opens at `globalPos`.
    std::function<void(const QPoint& globalPos)> OnContextMenu;

  protected:
    // A dragged item carries the frame to other documents and to other places in the list.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    Qt::DropActions supportedDropActions() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QPixmap Thumbnail(int index) const;
    // The item a drag or drop at `pos` goes to, -1 when it is not acceptable there.
    int DropTarget(const QDropEvent& event) const;

    gif::TGIFImage* image_ = nullptr;
    int frameSize_ = 160;
    bool selecting_ = false;
};

} // namespace editor
