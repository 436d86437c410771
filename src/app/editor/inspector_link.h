// The Frame Inspector joined to the main window: the window drives it through
// IInspectorPanel, and it edits the active document through IInspectedDocument, with the
// same record-change-mark protocol as the menus.
#pragma once

#include "dialogs/inspector/inspected_document.h"
#include "editor/window/inspector_panel.h"

#include <memory>

namespace editor {
class Settings;
class TfrmMain;
} // namespace editor

namespace dialogs {
class TfrmFloat;
}

class TInspectorLink final : public editor::IInspectorPanel, public dialogs::IInspectedDocument {
  public:
    TInspectorLink(editor::TfrmMain& window, editor::Settings& settings);
    // Saves the inspector's placement and leaves the window without it.
    ~TInspectorLink() override;
    TInspectorLink(const TInspectorLink&) = delete;
    TInspectorLink& operator=(const TInspectorLink&) = delete;

    dialogs::TfrmFloat& Window() { return *inspector_; }

    // IInspectorPanel
    void ShowFrame(int index) override;
    void Clear() override;
    void SetPanelVisible(bool visible) override;
    void SetActiveDocument(editor::TDocument* document) override;
    int SelectedRow() const override;
    void SelectRow(int row) override;

    // IInspectedDocument: the active document.
    QString ShortName() const override;
    void PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                     const QString& caption) override;
    void SetModified(bool value) override;
    void DisplayFrame(int index) override;
    void SetSelectedFrame(int index) override;
    void ReloadFromBackingFile() override;

  private:
    editor::TfrmMain& window_;
    std::unique_ptr<dialogs::TfrmFloat> inspector_;
    editor::TDocument* document_ = nullptr;
    bool visible_ = false;
};
