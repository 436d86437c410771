// The Frame Inspector as the main window drives it. The inspector window itself lives
// with the dialogs; the program's entry point hands it to the main window through this
// interface (TfrmMain::SetInspector), so the window layer does not depend on the dialogs.
#pragma once

namespace editor {

class TDocument;

class IInspectorPanel {
public:
    virtual ~IInspectorPanel() = default;
    // Refills every page for frame `index` of the working image.
    virtual void ShowFrame(int index) = 0;
    // Empties the inspector (the last document closed).
    virtual void Clear() = 0;
    virtual void SetPanelVisible(bool visible) = 0;
    // The document whose frames it edits; none without documents.
    virtual void SetActiveDocument(TDocument* document) = 0;
    // The selected row of the property grid (-1 when none), and selecting one after undo.
    virtual int SelectedRow() const = 0;
    virtual void SelectRow(int row) = 0;
};

} // namespace editor
