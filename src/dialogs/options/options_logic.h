// The Program Options values, apart from the window: what the dialog loads from the
// settings, and the apply that writes them back and changes the running program, in its
// fixed order.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace editor {
class Settings;
}

namespace dialogs {

// The entry of the file filter list that stands for every kind, and its stored value.
inline constexpr const char* AllSupportedFilterCaption = "All Supported Image Files ";
inline constexpr int AllSupportedFilterValue = 19;
// The undo field's range.
inline constexpr int MinUndo = 5;
inline constexpr int MaxUndoSteps = 50;

// What the program holds in memory that the options show or change.
struct TOptionsCurrent {
    bool FlatToolbars = true;
    int ThumbSize = 75;
    int FilterType = AllSupportedFilterValue;
    uint32_t TransparentColor = 0xFFFFFF; // red in the low byte
};

struct TOptionsValues {
    // Program.
    bool RegularToolbars = false;   // "NormalStyle": raised buttons
    bool DisplayAnimation = true;
    bool SyncOpenDialog = false;
    bool NoOpenDlgPreview = false;
    bool Compatibility = false;     // checked when the stored answer is 6
    int MaxUndo = 50;
    uint32_t TransparentColor = 0xFFFFFF;
    // Animation.
    int DefaultDelay = 100;
    int DefaultNSLoop = 0;
    bool ClipFrame = true;          // trim (true) or change the animation
    bool ClipDefault = false;
    // Thumbnails.
    int ThumbSize = 75;
    int FilterIndex = 18;           // list row: 0-17 one kind, 18 "All Supported Image Files "
    bool DropDefault = false;       // checked when the stored answer is 7
    bool AutoLoad = true;
};

// The values as the settings hold them; what the settings lack comes from `current`.
TOptionsValues LoadOptions(const editor::Settings& settings, const TOptionsCurrent& current);

// The filter list's row for a filter value (19 and anything unknown: the last row).
int FilterIndexOf(int filterType);
// The stored value of a row: 19 for the last row, else the row.
int FilterValueOf(int index);

// The text left in the undo field: its value clamped into 5-50; the field's value on entry
// when the text holds no number.
int SnapUndo(const QString& text, int onEntry);

// What applying changes in the running program besides the settings.
class IOptionsHost {
  public:
    virtual ~IOptionsHost() = default;
    // Raised buttons (rows of 28 pixels) or flat ones (26).
    virtual void SetToolbarsFlat(bool flat, int rowHeight) = 0;
    virtual void SetFilterType(int filterType) = 0;
    virtual void SetThumbSize(int size) = 0;
    virtual void SetTransparentColor(uint32_t color) = 0;
    // The palette settings, just written, applied to the working image.
    virtual void ApplyPaletteSettings() = 0;
};

struct TApplyResult {
    bool ThumbSizeChanged = false;
};

// Writes the values back in order and tells the host what changes at once:
//  1 ClipDefault/ClipFrame when they differ from the stored ones; 2 DefaultDelay,
//  DefaultNSLoop, MaxUndo; 3 DisplayAnimation when changed, SyncOpenDialog and
//  NoOpenDlgPreview when they differ; 4 the toolbar style when it differs from the current
//  one; 5 AutoLoadStartUp when changed; 6 DropImageDefault and Compatibility only when an
//  answer was remembered before (stored > 0); 7 FilterType; 8 the thumbnail size when it
//  changed; 9 the transparent-frame colour when it changed; 10 the palette values (written
//  by `writePalettes`) applied to the working image.
TApplyResult ApplyOptions(editor::Settings& settings, const TOptionsValues& values,
                          TOptionsCurrent& current, IOptionsHost& host,
                          const std::function<void()>& writePalettes);

// The question of the hidden warnings chord: turning them "off" while they are on, "on"
// (with the developer note) while off.
QString WarningsQuestion(bool warningsOn);

} // namespace dialogs
