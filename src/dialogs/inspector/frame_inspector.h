// TfrmFloat, the Frame Inspector: the main window's tool window that shows and edits one
// frame of the active animation (properties, local palette) and the animation's comments.
// It talks to the document only through IInspectedDocument, as the menus do.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/inspector/inspector_model.h"

class QComboBox;
class QDialog;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace editor {
class IPrompter;
class Settings;
} // namespace editor
namespace gif {
class TGIFImage;
}

namespace dialogs {

class IInspectedDocument;
class TLocalPaletteGrid;
class TPropertyGrid;

class TfrmFloat : public QWidget {
    Q_OBJECT
public:
    TfrmFloat(gif::TGIFImage& image, editor::IPrompter& prompter, editor::Settings& settings,
              QWidget* parent = nullptr);
    ~TfrmFloat() override;

    // The active document, or none.
    void SetDocument(IInspectedDocument* document);
    // Fills everything for frame `index` of the working image.
    void ShowFrame(int index);
    // Empties the inspector after the last document closed.
    void ClearInspector();
    // Validates and applies the selected row's pending value.
    void CommitEdit();
    int SelectedRow() const;
    void SelectRow(int row);
    int FrameIndex() const;

    // Placement under "FormPos/Inspector", fitted to the screen. The defaults sit at the
    // main window's right edge, or beside `frameList` (global) when it is docked there.
    void LoadPlacement(const QRect& mainWindow, const QRect& frameList = QRect());
    void SavePlacement(bool visible);

    // The frame selector chose a frame: the main frame list selects it.
    std::function<void(int index)> OnFrameSelected;
    // The inspector became active: playback pauses.
    std::function<void()> OnActivated;
    // Runs a modal dialog; tests answer it without showing it.
    std::function<int(QDialog& dialog)> ExecDialog;

    // Controls by their names.
    QComboBox* cbFrames = nullptr;
    QTabWidget* tabImgInfo = nullptr;
    TPropertyGrid* grdProperties = nullptr;
    QLabel* lblHint = nullptr;
    TLocalPaletteGrid* grdPalette = nullptr;
    QLabel* lblColor = nullptr;
    QPushButton *btnAddColor = nullptr, *btnEditColor = nullptr, *btnDeleteColor = nullptr;
    QListWidget* lvComments = nullptr;
    QPlainTextEdit* mmoComments = nullptr;
    QPushButton *btnAddComment = nullptr, *btnRemoveComment = nullptr;

    // The palette and comment page commands, as their buttons run them.
    void PaletteAdd();
    void PaletteEdit();
    void PaletteDelete();
    void CommentAdd();
    void CommentRemove();
    // Leaving the comment editor stores a changed text.
    void CommentEditorLeft();
    // The transparent-colour pick; true when the dialog ended with OK.
    bool PickTransparentColour();

signals:
    void Hidden();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildPropertiesPage();
    QWidget* BuildPalettesPage();
    QWidget* BuildCommentsPage();
    void RowSelected(int row);
    void ChoiceMade(int row, const QString& text);
    void ShowPalette();
    void PalettePicked(int index);
    void UpdatePaletteButtons();
    void ShowComments();
    void CommentSelected(int row);
    std::vector<gif::TColor> LocalColors() const;

    gif::TGIFImage& image_;
    editor::IPrompter& prompter_;
    editor::Settings& settings_;
    TInspectorModel model_;
    IInspectedDocument* document_ = nullptr;
    int frameIndex_ = -1;
    QString valueAtEditStart_;
    std::vector<TCommentEntry> comments_;
    bool filling_ = false;
    bool committing_ = false;
};

} // namespace dialogs
