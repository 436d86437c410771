// The wizards window's state without its widgets: the mode, the page shown, the image list
// of the animation wizard and the enabling of every button that depends on them.
#pragma once

#include <QString>
#include <QStringList>

namespace editor {

// The window's four modes.
enum class TWizardMode { Welcome = 0, Animation = 1, Optimization = 2, Tips = 3 };

inline constexpr int FirstAnimationPage = 0;
inline constexpr int LastAnimationPage = 4;
inline constexpr int FirstOptimizationPage = 5;
inline constexpr int LastOptimizationPage = 8;
inline constexpr int ImagesPage = 3;
// The pages whose choices the live size estimate follows.
inline constexpr int PalettesPage = 6;
inline constexpr int FramesPage = 7;

// The window caption of a mode.
QString WizardCaption(TWizardMode mode);
// The title of wizard page 0..8 shown in the heading; empty for others.
QString PageTitle(int page);
// The help context of a mode: 300 + mode.
int HelpContext(TWizardMode mode);

// The animation wizard's list of picture files.
class TImageList {
  public:
    const QStringList& Paths() const { return paths_; }
    int Count() const { return int(paths_.size()); }
    int Selected() const { return selected_; }
    void Select(int index);
    // Appends in order and selects the first entry.
    void Add(const QStringList& paths);
    // Deletes the selected entry; the entry after it (or the new last) is selected.
    void RemoveSelected();
    // Swap the selected entry with its neighbour, keeping it selected.
    void MoveUp();
    void MoveDown();

    bool CanRemove() const { return selected_ >= 0; }
    bool CanMoveUp() const { return selected_ > 0; }
    bool CanMoveDown() const { return selected_ >= 0 && selected_ < Count() - 1; }

  private:
    QStringList paths_;
    int selected_ = -1;
};

// The page navigation of the two wizard modes. The Next button's tag in the original
// window; here the page number itself.
class TWizardPages {
  public:
    explicit TWizardPages(TWizardMode mode);

    TWizardMode Mode() const { return mode_; }
    // Welcome's "New": the window becomes the animation wizard at page 0.
    void SwitchToAnimationWizard();
    int Page() const { return page_; }
    bool IsWizard() const { return mode_ == TWizardMode::Animation || mode_ == TWizardMode::Optimization; }
    // Whether Next on this page finishes the wizard (pages 4 and 8).
    bool OnFinishPage() const { return page_ == LastAnimationPage || page_ == LastOptimizationPage; }

    bool BackEnabled() const;
    // `imageCount`: entries of the image list (Next needs one on the images page).
    bool NextEnabled(int imageCount) const;
    QString NextCaption() const;
    QString Title() const { return PageTitle(page_); }

    // Moves one page; false when there is no page there (the finishing Next included,
    // which the window handles).
    bool Next();
    bool Back();

  private:
    TWizardMode mode_;
    int page_ = -1;
};

} // namespace editor
