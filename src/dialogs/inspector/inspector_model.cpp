#include "dialogs/inspector/inspector_model.h"

#include <cmath>

#include "dialogs/inspector/inspected_document.h"
#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/palette_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/text_routines.h"
#include "editor/undo/command.h"
#include "editor/undo/palette_command.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"

namespace dialogs {

using editor::Format;
using namespace gif;

namespace {

constexpr const char* Hints[irRowCount] = {
    "Group lists general frame settings",
    "Displays the frame image height. (Read-only)",
    "Displays the frame image width. (Read-only)",
    "Sets left position of the image from the left of the frame.",
    "Sets top of the image from the top of the frame.",
    "Group lists the frame display options",
    "Sets the interlacing of the frame image.",
    "Sets the transparent color of the frame image.",
    "Indicates whether the frame uses a local palette.",
    "Group lists the animation options",
    "Sets the frame delay time in milliseconds (1/100th sec).",
    "Sets the frame drawing method in relation to the other frames.",
};

QString YesNo(bool value) { return editor::msg::YesNo[value ? 1 : 0]; }

QString Label(int row) { return editor::msg::InspectorRows[row]; }

TColor EntryColour(const TGIFColorMap& table, int index) {
    if (index < 0 || index >= table.EntryCount()) return clNone;
    const TGIFColor& c = table.Entries()[size_t(index)];
    return RGB(c.Red, c.Green, c.Blue);
}

QString CommentText(const TGIFCommentExtension& comment) {
    QStringList lines;
    for (const std::string& line : comment.CommentLines()) lines << QString::fromStdString(line);
    return lines.join("\r\n");
}

void SetCommentText(TGIFCommentExtension& comment, const QString& text) {
    comment.CommentLines().clear();
    for (const QString& line : QString(text).replace("\r\n", "\n").split('\n'))
        comment.CommentLines().push_back(line.toStdString());
}

} // namespace

bool IsGroupRow(int row) { return row == irDimensions || row == irDisplay || row == irPlaying; }

int EnterableRow(int row) {
    if (row == irDimensions) return irHeight;
    if (row == irDisplay || row == irPlaying) return row + 1;
    return row;
}

const char* RowHint(int row) { return row >= 0 && row < irRowCount ? Hints[row] : ""; }

TPaletteLayout PaletteLayout(int entries) {
    if (entries <= 0) return {1, 1};
    const int rows = std::max(1, int(std::sqrt(double(entries))));
    return {rows, (entries + rows - 1) / rows};
}

TGIFSubImage* TInspectorModel::Frame(int index) const {
    return index >= 0 && index < image_.FrameCount() ? image_.Frame(index) : nullptr;
}

TRowValues TInspectorModel::RowValues(int index) const {
    TRowValues values;
    const TGIFSubImage* frame = Frame(index);
    if (!frame) return values;
    values[irHeight] = QString::number(frame->FrameHeight());
    values[irWidth] = QString::number(frame->FrameWidth());
    values[irXOffset] = QString::number(frame->FrameLeft());
    values[irYOffset] = QString::number(frame->FrameTop());
    values[irInterlaced] = YesNo(frame->IsInterlaced());
    values[irTransparent] = YesNo(frame->IsTransparent());
    values[irLocalPalette] = YesNo(frame->LocalTable().EntryCount() > 0);
    if (const TGIFGraphicControlExtension* control = frame->ControlBlock()) {
        values[irDelay] = QString::number(control->DelayTime());
        values[irDisposal] = editor::msg::DisposalNames[control->DisposalCode() & 3];
    } else {
        values[irDelay] = QString::number(defaultDelay_);
        values[irDisposal] = editor::msg::DisposalNames[dmNoDisposal];
    }
    return values;
}

bool TInspectorModel::HasTransparency(int index) const {
    const TGIFSubImage* frame = Frame(index);
    return frame && frame->IsTransparent();
}

TColor TInspectorModel::TransparentColour(int index) const {
    const TGIFSubImage* frame = Frame(index);
    if (!frame || !frame->ControlBlock()) return clNone;
    return EntryColour(frame->EffectiveTable(), frame->ControlBlock()->TransparentIndex());
}

QStringList TInspectorModel::FrameSelectorEntries() const {
    QStringList entries;
    for (int i = 0; i < image_.FrameCount(); ++i) {
        const TGIFSubImage& frame = *image_.Frame(i);
        if (frame.IsBlank()) continue;
        entries << Format("%s %d: [%d x %d]", "Frame", i, int(frame.FrameHeight()), int(frame.FrameWidth()));
    }
    return entries;
}

std::vector<TCommentEntry> TInspectorModel::Comments() const {
    std::vector<TCommentEntry> entries;
    for (int f = 0; f < image_.FrameCount(); ++f) {
        const TGIFExtensionList& blocks = image_.Frame(f)->Blocks();
        for (int b = 0; b < blocks.ItemCount(); ++b)
            if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(blocks.Extensions(b)))
                entries.push_back({Format("Comment %d", int(entries.size()) + 1), f, b, CommentText(*comment)});
    }
    return entries;
}

bool TInspectorModel::Refuse(const QString& message) {
    prompter_.Message(editor::TMessageKind::Information, message);
    return false;
}

QString TInspectorModel::CommitEdit(IInspectedDocument& document, int row, const QString& text,
                                    const QString& startText, int frameIndex) {
    if (text == startText || row == irHeight || row == irWidth || IsGroupRow(row)) return startText;
    // Validate and normalise.
    QString value = text;
    int number = 0;
    bool yes = false;
    int disposal = 0;
    switch (row) {
    case irXOffset:
    case irYOffset:
    case irDelay: {
        if (!editor::IsNumeric(text)) {
            Refuse("This field requires a number value.");
            return startText;
        }
        bool ok = false;
        const qlonglong parsed = text.trimmed().toLongLong(&ok);
        if (!ok || parsed > 0x7FFFFFFF) {
            prompter_.Message(editor::TMessageKind::Error, Format(editor::msg::NotValidInteger, text));
            return startText;
        }
        number = int(parsed & 0xFFFF);   // stored in 16 bits
        value = QString::number(number);
        break;
    }
    case irInterlaced:
    case irTransparent:
    case irLocalPalette: {
        const QString word = text.trimmed().toLower();
        if (word != "yes" && word != "no" && word != "true" && word != "false") {
            Refuse("Accepted values for this field are: Yes, No or True or False.");
            return startText;
        }
        yes = word == "yes" || word == "true";
        value = YesNo(yes);
        break;
    }
    case irDisposal: {
        disposal = -1;
        for (int d = 0; d < 4; ++d)
            if (text.trimmed().compare(editor::msg::DisposalNames[d], Qt::CaseInsensitive) == 0) disposal = d;
        if (disposal < 0) {
            const auto* n = editor::msg::DisposalNames;
            Refuse(Format("%s%s, %s, %s, %s", "Accepted values for this field are: ", n[0], n[1], n[2], n[3]));
            return startText;
        }
        value = editor::msg::DisposalNames[disposal];
        break;
    }
    default: return startText;
    }
    TGIFSubImage* frame = Frame(frameIndex);
    if (!frame) return startText;

    // Nothing to do when the model already holds the value (the local palette always goes on).
    TGIFGraphicControlExtension* control = frame->ControlBlock();
    bool same = false;
    switch (row) {
    case irXOffset: same = frame->FrameLeft() == number; break;
    case irYOffset: same = frame->FrameTop() == number; break;
    case irInterlaced: same = frame->IsInterlaced() == yes; break;
    case irTransparent: same = (control && control->TransparentFlag()) == yes; break;
    case irDelay: same = control && control->DelayTime() == number; break;
    case irDisposal: same = control && control->DisposalCode() == disposal; break;
    default: break;
    }
    if (same) return RowValues(frameIndex)[row];

    QString caption;
    if (row == irInterlaced || row == irTransparent)
        caption = yes ? Label(row) : Format("Non-%s", Label(row));
    else if (row == irLocalPalette)
        caption = Format(yes ? "Add %s" : "Remove %s", Label(row));
    else
        caption = Format("Change %s", Label(row));

    const bool addsControl = !control && row != irLocalPalette;
    const bool addsLocalTable = row == irLocalPalette && yes &&
                                frame->LocalTable().EntryCount() == 0 &&
                                image_.GlobalColorMap().EntryCount() > 0;
    if (addsControl || addsLocalTable) {
        // These edits also add a block, or sort pixels into a new table: only a copy of the
        // whole animation undoes them exactly.
        document.PushCommand(editor::ckActiveAnimation, 8, -1, -1, frameIndex, caption);
    } else if (row == irLocalPalette) {
        document.PushCommand(editor::ckPalette, yes ? 1 : 2, -1, -1, frameIndex, caption);
    } else if (row == irTransparent || row == irDelay || row == irDisposal) {
        document.PushCommand(editor::ckGraphicControl, 3, -1, -1, frameIndex, caption);
    } else {
        document.PushCommand(editor::ckFrame, 3, -1, -1, frameIndex, caption);
    }
    if (addsControl) control = &editor::EnsureGraphicControl(*frame, 100);

    switch (row) {
    case irXOffset: frame->SetFrameLeft(number); break;
    case irYOffset: frame->SetFrameTop(number); break;
    case irInterlaced: frame->SetInterlaced(yes); break;
    case irTransparent: control->SetTransparentFlag(yes); break;
    case irDelay: control->SetDelayTime(uint16_t(number)); break;
    case irDisposal: control->SetDisposalCode(uint8_t(disposal)); break;
    case irLocalPalette:
        if (yes) {
            if (addsLocalTable) {
                frame->LocalTable().CopyFrom(image_.GlobalColorMap());
                frame->LocalTable().SortByUse();
            }
            LocalTableJustCreated = true;
        } else {
            frame->LocalTable().RemoveAll();
            frame->LocalTable().NotifyChanged();
        }
        break;
    default: break;
    }
    frame->DropBitmap();
    document.SetModified(true);
    if (row == irXOffset || row == irYOffset || row == irTransparent || row == irLocalPalette)
        document.DisplayFrame(frameIndex);
    return value;
}

bool TInspectorModel::SetTransparentIndex(IInspectedDocument& document, int frameIndex, int index) {
    TGIFSubImage* frame = Frame(frameIndex);
    TGIFGraphicControlExtension* control = frame ? frame->ControlBlock() : nullptr;
    if (!control || index < 0 || control->TransparentIndex() == index) return false;
    document.PushCommand(editor::ckGraphicControl, 3, -1, -1, frameIndex, "Change Transparent Color");
    control->SetTransparentIndexUnchecked(uint8_t(index));
    frame->DropBitmap();
    document.SetModified(true);
    return true;
}

bool TInspectorModel::AddLocalPalette(IInspectedDocument& document, int frameIndex) {
    TGIFSubImage* frame = Frame(frameIndex);
    if (!frame) return false;
    if (image_.GlobalColorMap().EntryCount() == 0) {
        prompter_.Message(editor::TMessageKind::Warning,
                          "Could not to create local color map. A global color map is required.");
        return false;
    }
    document.PushCommand(editor::ckActiveAnimation, 8, -1, -1, frameIndex, "Add Local Palette");
    frame->LocalTable().CopyFrom(image_.GlobalColorMap());
    frame->LocalTable().SortByUse();
    frame->DropBitmap();
    document.SetModified(true);
    document.DisplayFrame(frameIndex);
    LocalTableJustCreated = true;
    return true;
}

namespace {

// After an entry edit: a table made moments ago needs the document reloaded, so that the
// frame pictures are built from it.
void AfterEntryEdit(IInspectedDocument& document, bool& justCreated, int frameIndex) {
    document.SetModified(true);
    if (justCreated) {
        justCreated = false;
        document.ReloadFromBackingFile();
    } else {
        document.DisplayFrame(frameIndex);
    }
}

} // namespace

bool TInspectorModel::AddColour(IInspectedDocument& document, int frameIndex, TColor colour) {
    TGIFSubImage* frame = Frame(frameIndex);
    if (!frame || frame->LocalTable().EntryCount() >= 256) return false;
    const int index = frame->LocalTable().AppendColor(colour);
    document.PushCommand(editor::ckPalette, 5, index, int(colour), frameIndex, "Add Color Palette Entry");
    frame->DropBitmap();
    AfterEntryEdit(document, LocalTableJustCreated, frameIndex);
    return true;
}

bool TInspectorModel::ChangeColour(IInspectedDocument& document, int frameIndex, int entry, TColor colour) {
    TGIFSubImage* frame = Frame(frameIndex);
    if (!frame || entry < 0 || entry >= frame->LocalTable().EntryCount()) return false;
    const TColor previous = EntryColour(frame->LocalTable(), entry);
    if (previous == colour) return false;
    frame->LocalTable().SetColorAt(entry, colour);
    document.PushCommand(editor::ckPalette, 7, entry, int(previous), frameIndex,
                         "Change Color Palette Entry");
    frame->DropBitmap();
    AfterEntryEdit(document, LocalTableJustCreated, frameIndex);
    return true;
}

bool TInspectorModel::DeleteColour(IInspectedDocument& document, int frameIndex, int entry) {
    TGIFSubImage* frame = Frame(frameIndex);
    if (!frame || entry < 0 || entry >= frame->LocalTable().EntryCount()) return false;
    if (frame->LocalTable().SortedByUse())
        return Refuse("The palette is already optimized to the minimum number of colors used. Use "
                      "the optimization wizard to remove the local palette.");
    if (!editor::CanDeleteColor(image_, frame->LocalTable(), entry, frameIndex))
        return Refuse("This color is required by the image and cannot be removed.");
    document.PushCommand(editor::ckPalette, 6, entry, 0, frameIndex, "Delete Color Palette Entry");
    editor::DeleteColorEntry(image_, frameIndex, entry);
    document.SetModified(true);
    document.DisplayFrame(frameIndex);
    return true;
}

TCommentEntry TInspectorModel::AddComment(IInspectedDocument& document) {
    TGIFSubImage* first = Frame(0);
    if (!first) return {};
    // Recorded, made (block and text), then marked: marking writes the backing file, which
    // must hold the comment as the user sees it.
    const int index = first->Blocks().ItemCount();
    const QString caption = Format("Comment %d", int(Comments().size()) + 1);
    document.PushCommand(editor::ckComment, 1, -1, index, 0, "Add GIF Comment");
    auto comment = std::make_unique<TGIFCommentExtension>(first);
    SetCommentText(*comment, caption);
    first->Blocks().Add(std::move(comment));
    document.SetModified(true);
    return {caption, 0, index, caption};
}

void TInspectorModel::RemoveComment(IInspectedDocument& document, const TCommentEntry& entry) {
    TGIFSubImage* frame = Frame(entry.FrameIndex);
    if (!frame || entry.ExtensionIndex < 0 || entry.ExtensionIndex >= frame->Blocks().ItemCount() ||
        !dynamic_cast<TGIFCommentExtension*>(frame->Blocks().Extensions(entry.ExtensionIndex)))
        return;
    document.PushCommand(editor::ckComment, 2, -1, entry.ExtensionIndex, entry.FrameIndex,
                         "Delete GIF Comment");
    frame->Blocks().DeleteAt(entry.ExtensionIndex);
    document.SetModified(true);
}

bool TInspectorModel::ChangeComment(IInspectedDocument& document, const TCommentEntry& entry,
                                    const QString& text) {
    TGIFSubImage* frame = Frame(entry.FrameIndex);
    if (!frame || entry.ExtensionIndex < 0 || entry.ExtensionIndex >= frame->Blocks().ItemCount())
        return false;
    auto* comment = dynamic_cast<TGIFCommentExtension*>(frame->Blocks().Extensions(entry.ExtensionIndex));
    if (!comment || CommentText(*comment) == text) return false;
    document.PushCommand(editor::ckComment, 3, -1, entry.ExtensionIndex, entry.FrameIndex,
                         "Change GIF Comment");
    SetCommentText(*comment, text);
    document.SetModified(true);
    return true;
}

} // namespace dialogs
