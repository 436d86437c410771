// The Frame Inspector's logic, apart from its widgets: the twelve property rows of a frame,
// committing an edited row (validation, command caption, undo record, change), the local
// palette and the comments of the animation.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "gif/base/types.h"

namespace gif {
class TGIFImage;
class TGIFSubImage;
} // namespace gif

namespace editor {
class IPrompter;
}

namespace dialogs {

class IInspectedDocument;

enum TInspectorRow : int {
    irDimensions = 0, irHeight, irWidth, irXOffset, irYOffset,
    irDisplay, irInterlaced, irTransparent, irLocalPalette,
    irPlaying, irDelay, irDisposal,
    irRowCount
};

bool IsGroupRow(int row);
// The row a click on `row` lands on: group rows are never entered.
int EnterableRow(int row);
const char* RowHint(int row);

using TRowValues = std::array<QString, irRowCount>;

// One comment block of the animation, as the Comments page lists it.
struct TCommentEntry {
    QString Caption;      // "Comment %d", numbered from 1
    int FrameIndex = 0;
    int ExtensionIndex = 0;
    QString Text;
};

// Local palette grid layout: rows = floor(sqrt(n)), columns = ceil(n / rows).
struct TPaletteLayout {
    int Rows = 1;
    int Columns = 1;
};
TPaletteLayout PaletteLayout(int entries);

class TInspectorModel {
public:
    TInspectorModel(gif::TGIFImage& image, editor::IPrompter& prompter, int defaultDelay)
        : image_(image), prompter_(prompter), defaultDelay_(defaultDelay) {}

    void SetDefaultDelay(int delay) { defaultDelay_ = delay; }
    // The values shown for frame `index` (empty values when there is no such frame).
    TRowValues RowValues(int index) const;
    bool HasTransparency(int index) const;
    gif::TColor TransparentColour(int index) const;
    // "Frame %d: [%d x %d]" for every non-empty frame.
    QStringList FrameSelectorEntries() const;
    std::vector<TCommentEntry> Comments() const;

    // Validates `text` for `row` and applies it to frame `frameIndex` through `document`.
    // Returns the text to show in the cell: the normalised value, or `startText` when the
    // entry was refused (the user was told why) or nothing changed.
    QString CommitEdit(IInspectedDocument& document, int row, const QString& text,
                       const QString& startText, int frameIndex);

    // "Change Transparent Color" to entry `index` (from the palette dialog); false when the
    // frame has no graphic control block or already uses that index.
    bool SetTransparentIndex(IInspectedDocument& document, int frameIndex, int index);

    // The Palettes page. The frame's local table gets a copy of the global one ("Add Local
    // Palette"); false when there is no global table (the user was told).
    bool AddLocalPalette(IInspectedDocument& document, int frameIndex);
    // Appends a colour ("Add Color Palette Entry"); false at 256 entries.
    bool AddColour(IInspectedDocument& document, int frameIndex, gif::TColor colour);
    // Sets entry `entry` ("Change Color Palette Entry"); false when it is not in the table.
    bool ChangeColour(IInspectedDocument& document, int frameIndex, int entry, gif::TColor colour);
    // Deletes entry `entry` ("Delete Color Palette Entry") keeping every pixel's colour;
    // refused (with the user told why) for sorted tables and entries pixels need.
    bool DeleteColour(IInspectedDocument& document, int frameIndex, int entry);
    // The local palette was just created: the next entry edit reloads the document.
    bool LocalTableJustCreated = false;

    // The Comments page. A new comment on frame 0, whose text is its caption; returns it.
    TCommentEntry AddComment(IInspectedDocument& document);
    void RemoveComment(IInspectedDocument& document, const TCommentEntry& entry);
    // Stores a changed text; false when it is the same.
    bool ChangeComment(IInspectedDocument& document, const TCommentEntry& entry, const QString& text);

private:
    gif::TGIFSubImage* Frame(int index) const;
    bool Refuse(const QString& message);

    gif::TGIFImage& image_;
    editor::IPrompter& prompter_;
    int defaultDelay_;
};

} // namespace dialogs
