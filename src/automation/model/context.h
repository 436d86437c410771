// What the automation objects reach at call time: the main window, its workspace (the
// active document and the working image) and the parts that show dialogs or thumbnails.
#pragma once

#include <QString>
#include <memory>

namespace editor {
class TfrmMain;
class TWorkspace;
class TDocument;
} // namespace editor

namespace gif {
class TGIFImage;
}

namespace automation {

// The modal dialogs of InputBox and MessageBox; the Qt build shows real ones, tests script them.
class IAutomationDialogs {
  public:
    virtual ~IAutomationDialogs() = default;
    // The text entered, `defaultText` when cancelled.
    virtual QString InputBox(const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;
    // A message box with the platform's type flags (buttons in the low nibble, icon in the
    // next, default button in the third); returns the button's id (IDOK = 1 ... IDNO = 7).
    virtual int MessageBox(const QString& text, const QString& caption, int type) = 0;
};

// The thumbnail browser beside the documents, once the main window has one.
class IThumbnailBrowser {
  public:
    virtual ~IThumbnailBrowser() = default;
    virtual QString CurrentFolder() = 0;
    virtual void SetCurrentFolder(const QString& folder) = 0;
    virtual bool ThumbnailsShowing() = 0;
    virtual void SetThumbnailsShowing(bool showing) = 0;
    virtual bool ExplorerShowing() = 0;
    virtual void SetExplorerShowing(bool showing) = 0;
    virtual void LoadThumbnails(const QString& folder) = 0;
    virtual QString SelectedFileName() = 0;
};

struct TAutomationContext {
    editor::TfrmMain& Window;
    IAutomationDialogs* Dialogs = nullptr;
    IThumbnailBrowser* Thumbnails = nullptr;

    editor::TWorkspace& Workspace() const;
    // The active document, null when no document window is active.
    editor::TDocument* Active() const;
    gif::TGIFImage& Image() const;
};

using TContextRef = std::shared_ptr<TAutomationContext>;

} // namespace automation
