// TDocument: one open animation. Only the active document's animation is in memory (the
// working image, owned by the workspace); the others live in their backing files, temporary
// GIF files rewritten after every edit, or, while unmodified, in their real files.
#pragma once

#include "editor/undo/history.h"
#include "editor/undo/undo_last.h"
#include "gif/base/types.h"
#include "gif/graphics/bitmap.h"

#include <QString>
#include <memory>

namespace gif {
class TGIFImage;
}

namespace editor {

class TWorkspace;

// What the document's frame panel shows: the frame's picture and where it goes.
struct TShownFrame {
    int ImageWidth = 0; // the logical screen: the frame panel's size
    int ImageHeight = 0;
    gif::TRect Bounds{}; // the frame on the screen: the paint box
    std::shared_ptr<const gif::TBitmap> Bitmap;
    bool DrawTransparent = false;
    gif::TColor TransparentColor = gif::clNone;
    gif::TColor Background = gif::clWhite; // pixel (1, height - 1) of the first frame
};

class TDocument final : public IUndoDocument {
  public:
    // A document for `fileName` (a real file, or "Untitled%d.gif" when `untitled`). It
    // holds the working image from the start (Loaded).
    TDocument(TWorkspace& workspace, const QString& fileName, bool untitled);
    // Deletes the backing file and the history.
    ~TDocument() override;
    // The document's window closed: the backing file and the history go now; the object
    // stays, inert, until the workspace frees it, so that code still running for it (an
    // undo whose reload closed the document) meets no freed memory.
    void Retire();
    bool Retired() const { return retired_; }
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    QString FileName() const override { return fileName_; }
    // The file name without its folder: the tab's caption.
    QString ShortName() const;
    QString TempFileName() const override { return tempFileName_; }
    bool Modified() const { return modified_; }
    bool IsUntitled() const override { return untitled_; }

    // The working image holds this document's animation.
    bool Loaded = true;
    // History count when the backing file was last brought up to date; any other value
    // (-1 included) means the backing file is stale.
    int SyncedCount = 0;
    // The frame last selected for this document, selected again when it is loaded.
    int SelectedFrame = 0;
    // Set by automation clients; nothing in the editor itself reads it.
    bool ReadOnly = false;
    int MaxUndo() const { return maxUndo_; }
    void SetMaxUndo(int n);
    THistoryList& History() { return history_; }
    const THistoryList& History() const { return history_; }

    // What the frame panel shows, and the text of status panel 2.
    TShownFrame Shown;
    QString StatusText;

    // Marks the document modified (rewriting the backing file, created on the first edit)
    // or not. When no backing file can be written the edit stays in the working image only
    // (KeptInMemory): the user is told why, and the document is never closed for it.
    void SetModified(bool value) override;
    // The latest edits are in the working image only: no backing file could take them, so
    // the document must stay active until it is saved.
    bool KeptInMemory() const { return keptInMemory_; }
    // Brings the backing file up to date without a message: in the file it has, else in a
    // new one in the first of the workspace's backing folders that takes it. False, with
    // the system's reason, when none did.
    bool TryWriteBacking(QString& reason);
    // Takes over a backing file left by an earlier run (recovery); its index now names
    // this process.
    void AdoptBackingFile(const QString& path);
    // The program is ending without asking (a termination signal): a modified document
    // brings its backing file up to date and leaves it, with its index, for the next start
    // to offer back. False when the edits could not be written anywhere.
    bool KeepForRecovery();

    // When the file was damaged as it was read: the number of frames that could be read,
    // and the file they came from (-1 and empty for a sound file). Saving over that file
    // asks first.
    int DamagedFrames = -1;
    QString DamagedPath;
    // Asks to save when modified (unless `force`), then saves, through the save dialog when
    // `saveAs` or untitled. False when cancelled or failed.
    bool SaveQuery(bool saveAs, bool force);
    // A new document takes `animation` (not the working image) as its unsaved content: it
    // is written to the document's backing file and the document is marked modified. The
    // load event then brings it into the working image. False (with the save message) when
    // the backing file cannot be written.
    bool AdoptAnimation(gif::TGIFImage& animation);
    // Saves the working image to FileName; a success ends the undo history.
    bool WriteDocument();
    // The document takes a new real file (after Save As).
    void SetFileName(const QString& path);

    // Records an edit before it is made; the backing file goes stale.
    void PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                     const QString& caption);
    // Undo's caption and enabling (enabled while the history is not empty), Save and
    // Save All, the status bar.
    void UpdateUndoState() override;
    // Reverses the newest edit.
    void UndoLast();

    // IUndoDocument
    void MarkBackingStale() override { SyncedCount = -1; }
    void DeleteTempFile() override;
    void SetSelectedFrame(int index) override { SelectedFrame = index; }
    void ReloadWorkingImage(const QString& path) override;
    bool WriteBackingFile() override;
    int InspectorRow() const override;
    void SelectInspectorRow(int row) override;
    void RepaintFrameList() override;
    void CloseNow() override;

  private:
    // Names `path` the backing file (the old one and its index go) and indexes it.
    void ReplaceBackingFile(const QString& path);
    // Tells the user once that the edits are kept in memory only, and why.
    void ReportKeptInMemory(const QString& reason);

    TWorkspace& workspace_;
    QString fileName_;
    QString tempFileName_;
    bool modified_ = false;
    bool untitled_ = false;
    bool retired_ = false;
    bool keptInMemory_ = false;
    bool keptForRecovery_ = false;
    int maxUndo_ = 50;
    THistoryList history_;
};

} // namespace editor
