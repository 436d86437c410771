// lbFrames: the frame list of the main window, one item per non-empty frame of the
// working image with its thumbnail, the frame's number and its size. Selecting an item
// shows that frame in the active document.
#pragma once

#include <QListWidget>
#include <functional>

#include "editor/core/frame_list.h"

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

protected:
    // A dragged item carries the frame to other documents.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

private:
    QPixmap Thumbnail(int index) const;

    gif::TGIFImage* image_ = nullptr;
    int frameSize_ = 160;
    bool selecting_ = false;
};

} // namespace editor
