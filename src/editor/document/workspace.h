// TWorkspace: the open documents and the one working image that holds the active
// document's animation. It opens, creates, switches, shows and closes documents; the main
// window reaches it through its commands and reports window events to it (activation, the
// posted load event, closing), and it reaches the window through IWorkspaceHost.
#pragma once

#include "editor/core/animation_routines.h"
#include "editor/core/edit_context.h"
#include "editor/core/palette_collection.h"
#include "editor/document/actions.h"
#include "editor/document/recent_files.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace gif {
class TBitmap;
class TGIFImage;
} // namespace gif

namespace editor {

class IFramePrompts;
class IFrameList;
class IPrompter;
class IWorkspaceHost;
class Settings;
class TDocument;

class TWorkspace {
  public:
    TWorkspace(IPrompter& prompter, Settings& settings, IFrameList& frames, IWorkspaceHost& host);
    ~TWorkspace();
    TWorkspace(const TWorkspace&) = delete;
    TWorkspace& operator=(const TWorkspace&) = delete;

    gif::TGIFImage& WorkingImage() { return *image_; }
    TEditContext& Context() { return context_; }
    TActionStates& Actions() { return actions_; }
    TRecentFiles& RecentFiles() { return recentFiles_; }
    IPrompter& Prompter() { return prompter_; }
    Settings& Config() { return settings_; }
    IFrameList& Frames() { return frames_; }
    IWorkspaceHost& Host() { return host_; }
    TColorPaletteCollection& Palettes() { return palettes_; }
    // The prompts window's questions of frame insertion (stored answers by default).
    IFramePrompts& FramePrompts() { return *framePrompts_; }
    void SetFramePrompts(IFramePrompts* prompts);
    TAnimationDefaults Defaults() const;

    // Documents in window order (the order they were created in).
    const std::vector<std::unique_ptr<TDocument>>& Documents() const { return documents_; }
    int DocumentCount() const { return int(documents_.size()); }
    TDocument* ActiveDocument() const { return active_; }
    bool Contains(const TDocument* document) const;
    // The program ends without asking (a termination signal): every modified document's
    // edits stay in its backing file for the next start to offer back.
    void KeepUnsavedForRecovery();
    // The position of the document whose file is `path`, -1 when none is open.
    int TabIndexOf(const QString& path) const;
    bool AnyDocumentModified() const;
    // The number the next untitled document takes; it never goes back.
    int UntitledCounter() const { return untitledCounter_; }

    // Opening and creating.
    // Opens a GIF file as a new document, or brings forward the document that has it.
    bool OpenGifDocument(const QString& path);
    // Opens any supported file: GIF files as documents, pictures imported, AVI files and
    // other videos imported as new documents (ImportAviDocument).
    void OpenFileByType(const QString& path);
    // Imports a picture: as a frame of the active animation, or (dropped on the bare main
    // window) as a new animation.
    void ImportImageFile(const QString& path, int kind);
    // Fills the frame list from the working image, just loaded from `path`, and creates
    // its document. False (with the decode message) when it has no frame to show.
    bool PopulateFrames(const QString& path);
    // Opens the file of a recent-files item; a file that has gone leaves the list.
    void OpenRecentFile(int index);
    TDocument& CreateDocument(const QString& path);
    TDocument& CreateUntitledDocument();
    // Set while something is dragged over the bare main window.
    bool DropOnMainWindow = false;
    // The folder the save dialog opens in; it follows the last file chosen there.
    QString SaveDialogFolder;
    // The folders backing files may go to, best first (the temporary folders by default).
    std::function<QStringList()> BackingFolders;
    // Opens a backing file left by an editor that no longer runs as a modified document of
    // `fileName` (an untitled one when `untitled`); the document takes the file over.
    bool RecoverDocument(const QString& backing, const QString& fileName, bool untitled);

    // The switching protocol, driven by the window's events.
    void DocumentActivated(TDocument& document);
    // The load event posted by activation.
    void LoadDocument(TDocument& document);
    void DocumentDeactivated(TDocument& document);
    // Makes `document` the active one with its animation in the working image at return.
    void BringDocumentForward(TDocument& document);
    // Whether the active document's animation may leave the working image. Not while its
    // edits are kept in memory only (no backing file took them): a last try to write them
    // is made, and when it fails the user is told to save first.
    bool CanLeaveActive();
    // Loads the active document's animation from `path` and lists its frames; a failure
    // closes the active document. Returns whether it loaded.
    bool ReloadWorkingImage(const QString& path);

    // Closing.
    // The close query: asks to save a modified document (bringing it forward first, so
    // that the working image holds what is saved). False keeps it open.
    bool DocumentCloseQuery(TDocument& document);
    // The close query of every document in window order, before any closes (the exit):
    // false at the first Cancel.
    bool CloseQueryAll();
    // The document's window closed: reset the main window after the last one, then free it.
    void DocumentClosed(TDocument& document);
    // Closes the document without asking, discarding its changes.
    void CloseDocumentNow(TDocument& document);
    void ResetMainWindow();
    // The 700 ms timer after the last document closed.
    void TimerElapsed();

    // Shows frame `index` of the working image in the active document.
    void DisplayFrame(int index);
    // The Frame Inspector starts hidden and shows again with the first frame shown.
    void SetInspectorHideOnce() { inspectorHideOnce_ = true; }

    // The actions while playing: document actions and frame edits off, Pause on; and
    // back after playback stops.
    void PlaybackStarted();
    void PlaybackStopped();

  private:
    friend class TDocument;
    // Takes the document out of the list (no longer active) and retires it.
    void RemoveDocument(TDocument& document);
    void FreeRetiredDocuments();
    // After a failed open, the active document's animation goes back into the working image.
    void RestoreActiveDocument();
    void ClearWorkingImage();

    IPrompter& prompter_;
    Settings& settings_;
    IFrameList& frames_;
    IWorkspaceHost& host_;
    std::unique_ptr<gif::TGIFImage> image_;
    TEditContext context_;
    TActionStates actions_;
    TRecentFiles recentFiles_;
    TColorPaletteCollection palettes_;
    std::unique_ptr<IFramePrompts> storedPrompts_;
    IFramePrompts* framePrompts_;
    std::vector<std::unique_ptr<TDocument>> documents_;
    // Closed documents, retired and freed once no code can still be running for them.
    std::vector<std::unique_ptr<TDocument>> retired_;
    TDocument* active_ = nullptr;
    int untitledCounter_ = 1;
    bool inspectorHideOnce_ = false;
};

} // namespace editor
