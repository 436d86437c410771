// TMDIChild: the window of one document inside the main window's MDI area: the frame
// panel centred in a scroll box, the paint box showing the frame, and the document's
// status bar. Its events drive the switching protocol of the workspace.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QWidget>

class QScrollArea;

namespace editor {

class TDocument;
class TElidedLabel;
class TMDIChild;
class TWorkspace;

// The load event a document posts itself on activation.
inline constexpr QEvent::Type LoadEventType = QEvent::Type(QEvent::User + 120);
// A frame dragged from a paint box or from the frame list.
inline constexpr const char* FrameMimeType = "application/x-loopwright-frame";

// pb: the frame's picture with the transparent colour replaced and a dotted outline.
class TPaintBox : public QWidget {
    Q_OBJECT
  public:
    TPaintBox(TMDIChild& child, QWidget* parent);
    // The background drawn where the frame is transparent ("FrameTransparentColor").
    QColor TransparentFill = Qt::white;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // A left press starts dragging the frame once the pointer has moved 10 pixels.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    TMDIChild& child_;
    QPoint pressed_;
    bool pressing_ = false;
};

class TMDIChild : public QWidget {
    Q_OBJECT
  public:
    TMDIChild(TWorkspace& workspace, TDocument& document, QWidget* parent = nullptr);

    // The document, none once it has closed.
    TDocument* Document() const { return document_; }
    // The document goes without a close query (closed by the workspace).
    void Detach() { document_ = nullptr; }

    // Lays out the frame panel and the paint box for the shown frame and repaints.
    void ShowFrame();
    // Caption, status bar and hints from the document's state.
    void Refresh();
    // Centres the frame panel in the scroll box (margins of 8 when it does not fit).
    void CentreInScrollBox();

    QWidget* FramePanel() const { return pnlFrame_; }
    TPaintBox* PaintBox() const { return pb_; }
    QString StatusText() const;
    // Status panel 2 for a moment (the playing position); Refresh puts the frame back.
    void SetStatusText(const QString& text);

  signals:
    // The window is closing after its close query agreed.
    void Closing(TDocument* document);

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The picture area also changes size when the document's status row appears.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The damaged-file notice is never cut: its width is taken once the window is
    // polished, and a shown window widens to hold it.
    void FitDamagedNotice();
    TWorkspace& workspace_;
    TDocument* document_;
    QScrollArea* sbFrame_;
    QWidget* canvas_;
    QWidget* pnlFrame_;
    TPaintBox* pb_;
    QLabel* modifiedIcon_;
    QLabel* modifiedText_;
    TElidedLabel* caption_; // the frame caption, shortened with "…" when the window is narrow
    // "damaged: N frames could be read" for a file the reader recovered from damage.
    QLabel* damaged_;
};

} // namespace editor
