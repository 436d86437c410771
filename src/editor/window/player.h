// imgAni: the picture control that plays a GIF animation. Its renderer runs on a thread of
// its own and paints, through the dispatcher, into the image's play bitmap on the UI
// thread; each frame shown repaints the control. It plays the start-up animation and,
// moved into a document's frame panel, the document's animation.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <memory>

namespace gif {
class TBitmap;
class TGIFDispatcher;
class TGIFImage;
class TObject;
} // namespace gif

namespace editor {

class TPlayer : public QWidget {
    Q_OBJECT
public:
    TPlayer(std::shared_ptr<gif::TGIFDispatcher> dispatcher, QWidget* parent = nullptr);
    ~TPlayer() override;

    // Takes the picture to play; its renderer starts with the first paint.
    void SetPicture(std::unique_ptr<gif::TGIFImage> picture);
    gif::TGIFImage* Picture() const { return picture_.get(); }
    // Stops every renderer of the picture and waits for them.
    void StopAllPainters();
    // Stops the renderers and drops the picture.
    void DropPicture();

    // Called on the UI thread before each frame and at the end of play, with the renderer
    // as sender.
    std::function<void(gif::TObject* sender)> OnProgress;
    QColor Background = Qt::white;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<gif::TGIFDispatcher> dispatcher_;
    std::unique_ptr<gif::TGIFImage> picture_;
    std::unique_ptr<gif::TBitmap> canvas_;
};

} // namespace editor
