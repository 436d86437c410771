// The main window as the document logic sees it: the windows, tabs and panels that show
// documents, the posted load event, the progress bar, playback and the inspector. The Qt
// main window implements it; tests implement it with a fake that activates documents at
// once and queues load events until they are pumped.
#pragma once

#include <QString>

#include "gif/graphics/graphic.h"

namespace editor {

class TDocument;

class IWorkspaceHost {
public:
    virtual ~IWorkspaceHost() = default;

    // Document windows. Creating shows the window with its tab and play-menu item and
    // makes it the active one (which runs TWorkspace::DocumentActivated).
    virtual void CreateDocumentWindow(TDocument& document) = 0;
    // Removes the window, its tab and its play-menu item without asking anything.
    virtual void DestroyDocumentWindow(TDocument& document) = 0;
    // Closes the window the way the user does: its close query may refuse. Returns whether
    // it closed.
    virtual bool CloseDocumentWindow(TDocument& document) = 0;
    // Brings the window to the front and activates it.
    virtual void BringToFront(TDocument& document) = 0;
    // Posts the load event to the document; it arrives after the events already queued.
    virtual void PostLoadEvent(TDocument& document) = 0;
    // Delivers a load event still queued for the document at once.
    virtual void DispatchPendingLoad(TDocument& document) = 0;

    // The document's caption, tab, play-menu item or status bar changed.
    virtual void DocumentChanged(TDocument& document) = 0;
    // The document's shown frame changed: lay out its frame panel and repaint it.
    virtual void FrameShown(TDocument& document) = 0;
    // The document lost the working image: its paint box shows again and the main status
    // bar's path panel is cleared.
    virtual void DocumentDeactivated(TDocument& document) = 0;
    // The last document closed: tabs hidden, play menu emptied, status panel cleared.
    virtual void ResetWindow() = 0;
    // Starts the one-shot 700 ms timer that ends in TWorkspace::TimerElapsed.
    virtual void StartResetTimer() = 0;

    // The progress bar of the main status bar.
    virtual void ShowProgress(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void HideProgress() = 0;
    // The progress handler images report loading and saving to (may be empty).
    virtual gif::TProgressEvent ProgressHandler() = 0;

    virtual void HideStartupAnimation() = 0;
    // Playback: stopping releases the playing copy when `release`.
    virtual void StopPlayback(bool release) = 0;
    virtual void PausePlayback() = 0;

    // The clipboard holds a bitmap, or a copied frame waits in the clipboard file.
    virtual bool CanPaste() = 0;
    virtual void RepaintFrameList() = 0;

    // The Frame Inspector: refilled for a frame, cleared, shown or hidden; its selected
    // property row (-1 without inspector), selected again after an undo.
    virtual void InspectorShowFrame(int index) = 0;
    virtual void InspectorClear() = 0;
    virtual void SetInspectorVisible(bool visible) = 0;
    virtual int InspectorRow() = 0;
    virtual void SelectInspectorRow(int row) = 0;
};

} // namespace editor
