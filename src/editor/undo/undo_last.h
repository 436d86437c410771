// Undo of a document (the Undo command, Ctrl+Z): reverses the newest edit and brings the
// document, its backing file, the frame list and the inspector in step.
#pragma once

#include <QString>

#include "editor/core/edit_context.h"

namespace editor {

class THistoryList;

// What undo needs of the document; the document window implements it.
class IUndoDocument {
public:
    virtual ~IUndoDocument() = default;
    virtual bool IsUntitled() const = 0;
    virtual QString FileName() const = 0;            // the real file
    virtual QString TempFileName() const = 0;        // the backing file, empty when none
    virtual void MarkBackingStale() = 0;             // the backing file no longer matches
    virtual void SetModified(bool value) = 0;
    virtual void DeleteTempFile() = 0;
    virtual void SetSelectedFrame(int index) = 0;
    virtual void ReloadWorkingImage(const QString& path) = 0;
    virtual bool WriteBackingFile() = 0;             // working image -> backing file
    virtual int InspectorRow() const = 0;            // -1 while there is no inspector
    virtual void SelectInspectorRow(int row) = 0;
    virtual void UpdateUndoState() = 0;
    virtual void RepaintFrameList() = 0;
    virtual void CloseNow() = 0;                     // closes without asking
};

// The inspector row (0 to 11) whose label first occurs in `caption`; -1 when none does.
int InspectorRowForCaption(const QString& caption);

void UndoLast(TEditContext& context, THistoryList& history, IUndoDocument& document);

} // namespace editor
