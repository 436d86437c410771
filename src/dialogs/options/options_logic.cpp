#include "dialogs/options/options_logic.h"

#include "editor/core/settings.h"

#include <algorithm>

namespace dialogs {

using namespace editor;

TOptionsValues LoadOptions(const Settings& s, const TOptionsCurrent& current) {
    TOptionsValues v;
    v.RegularToolbars = s.ReadInt(keys::NormalStyle.Section, keys::NormalStyle.Name,
                                  current.FlatToolbars ? 0 : 1) != 0;
    v.DisplayAnimation = s.Value(keys::DisplayAnimation) != 0;
    v.SyncOpenDialog = s.Value(keys::SyncOpenDialog) != 0;
    v.NoOpenDlgPreview = s.Value(keys::NoOpenDlgPreview) != 0;
    v.Compatibility = s.Value(keys::Compatibility) == 6;
    v.MaxUndo = std::clamp(s.Value(keys::MaxUndo), MinUndo, MaxUndoSteps);
    v.TransparentColor = uint32_t(s.Value(keys::FrameTransparentColor)) & 0xFFFFFF;
    v.DefaultDelay = std::clamp(s.Value(keys::DefaultDelay), 1, 32767);
    v.DefaultNSLoop = std::clamp(s.Value(keys::DefaultNSLoop), 0, 32767);
    v.ClipFrame = s.Value(keys::ClipFrame) != 0;
    v.ClipDefault = s.Value(keys::ClipDefault) != 0;
    v.ThumbSize = s.ReadInt(keys::ThumbailSize.Section, keys::ThumbailSize.Name, current.ThumbSize);
    v.FilterIndex = FilterIndexOf(current.FilterType);
    v.DropDefault = s.Value(keys::DropImageDefault) == 7;
    v.AutoLoad = s.Value(keys::AutoLoadStartUp) != 0;
    return v;
}

int FilterIndexOf(int filterType) {
    return filterType >= 0 && filterType <= 17 ? filterType : 18;
}

int FilterValueOf(int index) {
    return index >= 0 && index <= 17 ? index : AllSupportedFilterValue;
}

int SnapUndo(const QString& text, int onEntry) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok) return std::clamp(onEntry, MinUndo, MaxUndoSteps);
    return int(std::clamp<qlonglong>(value, MinUndo, MaxUndoSteps));
}

TApplyResult ApplyOptions(Settings& s, const TOptionsValues& v, TOptionsCurrent& current,
                          IOptionsHost& host, const std::function<void()>& writePalettes) {
    TApplyResult result;
    // 1. Frame insertion defaults, when they differ from what is stored.
    if (int(v.ClipDefault) != s.Value(keys::ClipDefault))
        s.SetValue(keys::ClipDefault, v.ClipDefault ? 1 : 0);
    if (int(v.ClipFrame) != s.Value(keys::ClipFrame))
        s.SetValue(keys::ClipFrame, v.ClipFrame ? 1 : 0);
    // 2. The defaults of new frames and animations (read where they are used), the undo limit.
    s.SetValue(keys::DefaultDelay, std::clamp(v.DefaultDelay, 1, 32767));
    s.SetValue(keys::DefaultNSLoop, std::clamp(v.DefaultNSLoop, 0, 32767));
    s.SetValue(keys::MaxUndo, std::clamp(v.MaxUndo, MinUndo, MaxUndoSteps));
    // 3. Start-up logo and the open dialogs.
    if (int(v.DisplayAnimation) != (s.Value(keys::DisplayAnimation) != 0))
        s.SetValue(keys::DisplayAnimation, v.DisplayAnimation ? 1 : 0);
    if (v.SyncOpenDialog != (s.Value(keys::SyncOpenDialog) != 0))
        s.SetValue(keys::SyncOpenDialog, v.SyncOpenDialog ? 1 : 0);
    if (v.NoOpenDlgPreview != (s.Value(keys::NoOpenDlgPreview) != 0))
        s.SetValue(keys::NoOpenDlgPreview, v.NoOpenDlgPreview ? 1 : 0);
    // 4. Toolbar buttons: raised ones sit in rows of 28 pixels, flat ones in rows of 26.
    if (v.RegularToolbars == current.FlatToolbars) {
        s.SetValue(keys::NormalStyle, v.RegularToolbars ? 1 : 0);
        current.FlatToolbars = !v.RegularToolbars;
        host.SetToolbarsFlat(current.FlatToolbars, current.FlatToolbars ? 26 : 28);
    }
    // 5. Thumbnails of the last folder at start.
    if (v.AutoLoad != (s.Value(keys::AutoLoadStartUp) != 0))
        s.SetValue(keys::AutoLoadStartUp, v.AutoLoad ? 1 : 0);
    // 6. Remembered answers change only when one was remembered: with 0 stored the question
    //    is still asked, and these boxes must not answer it behind the user's back.
    if (s.Value(keys::DropImageDefault) > 0) s.SetValue(keys::DropImageDefault, v.DropDefault ? 7 : 6);
    if (s.Value(keys::Compatibility) > 0) s.SetValue(keys::Compatibility, v.Compatibility ? 6 : 7);
    // 7. The thumbnail filter.
    const int filter = FilterValueOf(v.FilterIndex);
    s.SetValue(keys::ThumbFilterType, filter);
    current.FilterType = filter;
    host.SetFilterType(filter);
    // 8. The thumbnail size; the view is refreshed by the caller once the window is closed.
    if (v.ThumbSize != current.ThumbSize) {
        s.SetValue(keys::ThumbailSize, v.ThumbSize);
        current.ThumbSize = v.ThumbSize;
        host.SetThumbSize(v.ThumbSize);
        result.ThumbSizeChanged = true;
    }
    // 9. The background of transparent frames.
    const uint32_t colour = v.TransparentColor & 0xFFFFFF;
    if (colour != current.TransparentColor) {
        s.SetValue(keys::FrameTransparentColor, int(colour));
        current.TransparentColor = colour;
        host.SetTransparentColor(colour);
    }
    // 10. The palette values, then applied to the working image.
    if (writePalettes) writePalettes();
    host.ApplyPaletteSettings();
    return result;
}

QString WarningsQuestion(bool warningsOn) {
    QString text = QString("Would you like to turn %1 GIF warnings?").arg(warningsOn ? "off" : "on");
    if (!warningsOn) text += " This option is used for developer debugging purposes only.";
    return text;
}

} // namespace dialogs
