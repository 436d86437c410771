// TfrmOptions: "Program Options" (mode 0), "Organize Favorites" (mode 1) and "About GIF
// Loopwright" (mode 2). Mode 0 loads the stored values into its pages; the opening command
// applies them on OK (Apply). The favourites list is edited here and read back through
// Favorites() when FavoritesChanged().
#pragma once

#include "dialogs/options/options_logic.h"
#include "dialogs/thumbnails/thumb_files.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace editor {
class IPrompter;
class Settings;
} // namespace editor

namespace dialogs {

class TfrmPrompts;
class TNumberField;

enum class TOptionsMode : int { Options = 0, Favorites = 1, About = 2 };

class TfrmOptions : public QDialog {
    Q_OBJECT
  public:
    // `favorites` fills the list; `currentFolder` is where Add Folder starts when nothing
    // is selected.
    TfrmOptions(TOptionsMode mode, editor::Settings& settings, editor::IPrompter& prompter,
                const TOptionsCurrent& current, const QStringList& favorites,
                const QString& currentFolder, QWidget* parent = nullptr);
    ~TfrmOptions() override;

    TOptionsMode Mode() const { return mode_; }
    // The values the pages show now.
    TOptionsValues Values() const;
    // Mode 0 after OK: writes the values and tells the host (see ApplyOptions).
    TApplyResult Apply(TOptionsCurrent& current, IOptionsHost& host);

    bool FavoritesChanged() const { return favorites_.Changed(); }
    QStringList Favorites() const { return favorites_.Items(); }

    // The folder browser of Add Folder: the chosen folder, empty on Cancel.
    std::function<QString(const QString& start)> BrowseFolder;
    // The hidden warnings chord: tells whether warnings are on and switches them.
    std::function<bool()> WarningsOn;
    std::function<void(bool on)> SetWarnings;

    // Buttons of the favourites list, and the chord, as the user presses them.
    void AddFolderClick();
    void RemoveFolderClick();
    void MoveUpClick();
    void MoveDownClick();
    void WarningsChord();

    // The controls, by their names, for tests and screenshots.
    QTabWidget* tabOptions = nullptr;
    QPushButton *btnOK = nullptr, *btnCancel = nullptr;
    QCheckBox *chkFlatTB = nullptr, *chkAnimation = nullptr, *chkExplorer = nullptr,
              *chkNoOpenPreview = nullptr, *chkCompatibility = nullptr;
    TNumberField* edtMaxUndo = nullptr;
    QComboBox* cbTransColor = nullptr;
    TNumberField *udDelay = nullptr, *udLoop = nullptr;
    QRadioButton *optClip = nullptr, *optChange = nullptr;
    QCheckBox* chkDefault = nullptr;
    QComboBox *cbThumbSize = nullptr, *cbFileFilters = nullptr;
    QCheckBox *chkDropDefault = nullptr, *chkAutoLoad = nullptr;
    QTreeWidget* lvFavorites = nullptr;
    QPushButton *btnMoveUp = nullptr, *btnMoveDown = nullptr, *btnAddFolder = nullptr,
                *btnRemoveFolder = nullptr;
    QPushButton *btnWebSite = nullptr, *btnMail = nullptr;
    QLabel *lblTitle = nullptr, *lblVersion = nullptr;

  private:
    QWidget* BuildProgramPage();
    QWidget* BuildAnimationPage();
    QWidget* BuildThumbnailsPage();
    QWidget* BuildFavoritesPanel();
    QWidget* BuildAboutPage();
    void LoadValues();
    void RefreshFavorites();
    void SelectColor(uint32_t color);

    TOptionsMode mode_;
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    TOptionsCurrent current_;
    QString currentFolder_;
    TFavoritesList favorites_;
    // The Palettes page belongs to the prompts dialog; its window stays hidden, and writes
    // the palette values when it is closed with OK.
    std::unique_ptr<TfrmPrompts> palettes_;
};

} // namespace dialogs
