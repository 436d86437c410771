// Copy, Cut and Paste of frames. A copied frame goes to the clipboard twice: as a picture,
// for other programs, and as a one-frame GIF (MIME type "image/gif", and a "~GL" file of
// this run) that keeps its offsets, delay, disposal, transparency and colour table, also
// for another document or another running editor.
#pragma once

#include <QByteArray>
#include <QString>

namespace editor {

class TWorkspace;

class TFrameClipboard {
public:
    explicit TFrameClipboard(TWorkspace& workspace);
    // Deletes the clipboard GIF file.
    ~TFrameClipboard();
    TFrameClipboard(const TFrameClipboard&) = delete;
    TFrameClipboard& operator=(const TFrameClipboard&) = delete;

    // Copies the selected frame; false (and no clipboard file) when there is none or it is empty.
    bool Copy();
    // Copy, then Delete Frame.
    bool Cut();
    // Inserts the clipboard's frame where the user chooses ("Paste Frame").
    bool Paste();
    // The clipboard holds a picture.
    static bool CanPaste();
    QString FileName() const { return fileName_; }

    // The clipboard still holds what this editor's last Copy put there.
    bool HoldsOwnCopy() const;

private:
    QByteArray CopiedGif() const;

    TWorkspace& workspace_;
    QString fileName_;
    // Marks this run's copies on the clipboard: another program's copy replaces the mark.
    QByteArray mark_;
};

} // namespace editor
