// The program's settings: every stored value with its section, name, type and default,
// declared once, and one class that reads and writes them. Nothing else touches QSettings.
//
// The store is an INI file of the organisation "Quillmark Software", application
// "GIF Loopwright 3.0", under $XDG_CONFIG_HOME. A value that is missing, unreadable or of
// the wrong type (text where a number is kept) reads as its default.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <limits>
#include <memory>

class QSettings;
class QTemporaryDir;

namespace editor {

// A number kept in the store, read back clamped to [Min, Max]: a hand-edited or damaged
// file cannot give the program a size or count it cannot live with.
struct TIntSetting {
    const char* Section;
    const char* Name;
    int Default;
    int Min = std::numeric_limits<int>::min();
    int Max = std::numeric_limits<int>::max();
};

struct TStringSetting {
    const char* Section;
    const char* Name;
    const char* Default;   // nullptr: a default computed at run time (see Settings::Value)
};

namespace sections {
inline constexpr const char* MainForm = "FormPos/Main";
inline constexpr const char* Inspector = "FormPos/Inspector";
inline constexpr const char* OpenDialog = "FormPos/OpenDialog";
inline constexpr const char* Settings = "Settings";
inline constexpr const char* RecentFiles = "Settings/MRU";
inline constexpr const char* Toolbars = "Settings/Toolbars";
inline constexpr const char* ThumbNails = "ThumbNails";
inline constexpr const char* Favorites = "ThumbNails/Favorites";
// One section per toolbar: "Settings/Toolbars/Standard", ".../Frame", ".../Animation".
QString Toolbar(const QString& toolbarName);
} // namespace sections

namespace keys {
using S = TIntSetting;
using T = TStringSetting;

// Main window placement.
inline constexpr T WindowState{sections::MainForm, "WindowState", "Normal"};
inline constexpr S MainTop{sections::MainForm, "Top", 40, -100000, 100000};
inline constexpr S MainLeft{sections::MainForm, "Left", 60, -100000, 100000};
inline constexpr S MainHeight{sections::MainForm, "Height", 720, 100, 100000};
inline constexpr S MainWidth{sections::MainForm, "Width", 1120, 100, 100000};

// Frame Inspector.
inline constexpr S InspectorVisible{sections::Inspector, "Visible", 1};
inline constexpr S InspectorHideOnce{sections::Inspector, "HideOnce", 0};
inline constexpr S SplitterPreviewPos{sections::OpenDialog, "SplitterPreviewPos", 0};

// "Settings".
// The frame-size menu's range, 80 to 160; sizes between its items are kept.
inline constexpr S FrameSize{sections::Settings, "FrameSize", 160, 80, 160};
inline constexpr S AutoSizeSplitter{sections::Settings, "AutoSizeSplitter", 1};
inline constexpr S FrameWindowWidth{sections::Settings, "FrameWindowWidth", 206, 60, 4000};
inline constexpr T FrameWindowAlign{sections::Settings, "FrameWindowAlign", "Right"};
inline constexpr T InitialDir{sections::Settings, "InitialDir", nullptr};
inline constexpr T InstallDir{sections::Settings, "InstallDir", ""};
inline constexpr S SyncOpenDialog{sections::Settings, "SyncOpenDialog", 0};
inline constexpr S NoOpenDlgPreview{sections::Settings, "NoOpenDlgPreview", 0};
inline constexpr S FrameTransparentColor{sections::Settings, "FrameTransparentColor", 16777215, 0, 0xFFFFFF};
inline constexpr S DisplayAnimation{sections::Settings, "DisplayAnimation", 1};
inline constexpr S DefaultDelay{sections::Settings, "DefaultDelay", 100, 0, 65535};
inline constexpr S DefaultNSLoop{sections::Settings, "DefaultNSLoop", 0, 0, 65535};
inline constexpr S Warnings{sections::Settings, "Warnings", 0};
inline constexpr S PaletteType{sections::Settings, "PaletteType", 0};
inline constexpr S MaxColorCount{sections::Settings, "MaxColorCount", 256};
inline constexpr S MaxImportCount{sections::Settings, "MaxImportCount", 256};
inline constexpr S DitherMethod{sections::Settings, "DitherMethod", 0};
inline constexpr S PaletteDefaults{sections::Settings, "PaletteDefaults", 0};
inline constexpr S ClipDefault{sections::Settings, "ClipDefault", 0};
inline constexpr S ClipFrame{sections::Settings, "ClipFrame", 1};
inline constexpr S MaxUndo{sections::Settings, "MaxUndo", 50, 0, 100000};
inline constexpr S AutoLoadStartUp{sections::Settings, "AutoLoadStartUp", 1};
inline constexpr S WelcomeDialog{sections::Settings, "WelcomeDialog", 0};
inline constexpr S Compatibility{sections::Settings, "Compatibility", 0};
inline constexpr S DropImageDefault{sections::Settings, "DropImageDefault", 0};
inline constexpr S NormalStyle{sections::Toolbars, "NormalStyle", 0};

// Thumbnail browser.
inline constexpr T ThumbDirectory{sections::ThumbNails, "Directory", nullptr};
inline constexpr S ThumbFilterType{sections::ThumbNails, "FilterType", 19};
// The thumbnail panel checks its size against its own list.
inline constexpr S ThumbailSize{sections::ThumbNails, "ThumbailSize", 75};
inline constexpr S ThumbVisible{sections::ThumbNails, "Visible", 1};
inline constexpr S ThumbWindowHeight{sections::ThumbNails, "WindowHeight", 150, 0, 4000};
inline constexpr S ExplorerWidth{sections::ThumbNails, "ExplorerWidth", 180, 0, 4000};
inline constexpr S ExplorerVisible{sections::ThumbNails, "ExplorerVisible", 1};
} // namespace keys

// Palette types of the "PaletteType" setting.
enum TPaletteType : int {
    ptOptimized = 0,           // one optimised palette
    ptWeb = 1,                 // the 216-colour web palette
    ptOptimizedKeepLocal = 2,  // optimised, frames keep local palettes
    ptQuality = 3,             // one least-error palette (slower, best for photographs)
};

// Toolbar position and visibility ("Left", "Top", "Visible").
struct TToolbarPlacement {
    int Left = 0;
    int Top = 0;
    bool Visible = true;
};

class Settings {
public:
    // The program's own store. A store that is not a regular file (a pipe, a folder) is
    // neither read nor written: reading a pipe would block the start. The run then keeps
    // its settings in a scratch file of its own.
    Settings();
    // A store in the given INI file (tools and tests that keep their own).
    explicit Settings(const QString& iniFile);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    int Value(const TIntSetting& key) const;
    QString Value(const TStringSetting& key) const;
    void SetValue(const TIntSetting& key, int value);
    void SetValue(const TStringSetting& key, const QString& value);

    // Values reached by name, for callers that pass names on.
    int ReadInt(const QString& section, const QString& name, int defaultValue) const;
    QString ReadString(const QString& section, const QString& name,
                       const QString& defaultValue) const;
    void WriteInt(const QString& section, const QString& name, int value);
    void WriteString(const QString& section, const QString& name, const QString& value);

    // A list kept as "MRU0", "MRU1", ... in a section of its own (recent files, favourites).
    // Reading keeps the positions: an empty or missing value reads as an empty string, up
    // to the number of values the section holds.
    QStringList NumberedList(const QString& section) const;
    // Erases the section, then writes the entries in order.
    void SetNumberedList(const QString& section, const QStringList& entries);

    TToolbarPlacement Toolbar(const QString& toolbarName, const TToolbarPlacement& current) const;
    void SetToolbar(const QString& toolbarName, const TToolbarPlacement& placement);

    // The program folder + "Images": the default of the folders without a stored value.
    static QString DefaultImagesFolder();

    // Writes pending changes to disk.
    void Sync();
    QString FileName() const;

private:
    QVariant Raw(const QString& section, const QString& name) const;
    void Put(const QString& section, const QString& name, const QVariant& value);

    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<QSettings> store_;
};

// Reading and writing one value by section and name, for callers that pass names.
int ReadSetting(Settings& settings, const QString& section, const QString& name, int defaultValue);
QString ReadSetting(Settings& settings, const QString& section, const QString& name,
                    const QString& defaultValue);
void WriteSetting(Settings& settings, const QString& section, const QString& name, int value);
void WriteSetting(Settings& settings, const QString& section, const QString& name,
                  const QString& value);

} // namespace editor
