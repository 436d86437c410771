// The File menu's save and close commands on the open documents.
#pragma once

#include <QString>

namespace editor {

class TWorkspace;

// Saves the active document (through the save dialog when untitled).
void FileSaveExecute(TWorkspace& workspace);
// Saves the active document under a name chosen in the save dialog.
void FileSaveAsExecute(TWorkspace& workspace);
// Saves every modified document, the active one first, then the others in window order;
// the document active at the start is active again at the end.
void FileSaveAllExecute(TWorkspace& workspace);
// Closes the active document; its close query asks to save changes.
void FileCloseExecute(TWorkspace& workspace);
// Closes every document, the last first, each asking; resets the window when none remains.
void FileCloseAllExecute(TWorkspace& workspace);

// The Open dialog's filter: GIF files, then one entry for every kind of still picture.
QString OpenDialogFilter();
// Opens a file chosen in the Open dialog: a GIF file as a document, a still picture as a
// new untitled animation (as one dropped on the bare main window).
void OpenChosenFile(TWorkspace& workspace, const QString& path);

} // namespace editor
