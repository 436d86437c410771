#include "editor/undo/palette_command.h"

#include <algorithm>

#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

namespace {

// The table of frame `frameIndex` (-1: global) and the frames that draw with it.
TGIFColorMap* TableOf(TGIFImage& image, int frameIndex) {
    if (frameIndex == -1) return &image.GlobalColorMap();
    if (frameIndex < 0 || frameIndex >= image.FrameCount()) return nullptr;
    return &image.Frame(frameIndex)->LocalTable();
}

std::vector<int> FramesDrawingWith(TGIFImage& image, int frameIndex) {
    if (frameIndex != -1) return {frameIndex};
    std::vector<int> frames;
    for (int i = 0; i < image.FrameCount(); ++i)
        if (&image.Frame(i)->EffectiveTable() == &image.GlobalColorMap()) frames.push_back(i);
    return frames;
}

// Rewrites pixels and the transparent index of the frames through `map`.
void RemapFrames(TGIFImage& image, const std::vector<int>& frames, const TColormapReverse& map) {
    for (int i : frames) {
        TGIFSubImage& frame = *image.Frame(i);
        for (uint8_t& pixel : frame.PixelData()) pixel = map[pixel];
        if (TGIFGraphicControlExtension* control = frame.ControlBlock())
            control->SetTransparentIndexUnchecked(map[control->TransparentIndex()]);
        frame.DropBitmap();
    }
}

TColormapReverse Identity() {
    TColormapReverse map{};
    for (int i = 0; i < 256; ++i) map[size_t(i)] = uint8_t(i);
    return map;
}

} // namespace

void DeleteColorEntry(TGIFImage& image, int frameIndex, int index) {
    TGIFColorMap* table = TableOf(image, frameIndex);
    if (!table || index < 0 || index >= table->EntryCount()) return;
    const auto entries = table->Entries();
    int twin = -1;   // another entry of the same colour
    for (int j = 0; j < int(entries.size()) && twin < 0; ++j)
        if (j != index && entries[size_t(j)] == entries[size_t(index)]) twin = j;
    TColormapReverse map = Identity();
    for (int p = index + 1; p < 256; ++p) map[size_t(p)] = uint8_t(p - 1);
    map[size_t(index)] = uint8_t(twin < 0 ? 0 : (twin > index ? twin - 1 : twin));
    table->DeleteAt(index);
    RemapFrames(image, FramesDrawingWith(image, frameIndex), map);
}

TCommandPalette::TCommandPalette(TEditContext& context, uint8_t subKind, int colorIndex,
                                 int colorValue, int frameIndex)
    : TCommand(subKind, frameIndex), ColorIndex(colorIndex), ColorValue(colorValue) {
    TGIFColorMap* table = Table(context);
    switch (subKind) {
    case 2:
    case 3:
        if (table && (frameIndex == -1 || table->EntryCount() > 0)) SaveTable(*table);
        break;
    case 6: {
        if (colorIndex == -1) throw ECommandError("AColorIndex is -1!");
        if (!table || colorIndex < 0 || colorIndex >= table->EntryCount())
            throw ECommandError("Invalid color index");
        ColorValue = int(table->ColorAt(colorIndex));
        // The whole table, so that undo puts the colour back at its own index.
        SaveTable(*table);
        for (int i : FramesDrawingWith(context.Image, frameIndex)) {
            const TGIFSubImage& frame = *context.Image.Frame(i);
            const auto pixels = frame.PixelData();
            if (std::find(pixels.begin(), pixels.end(), uint8_t(colorIndex)) != pixels.end())
                pixelsOfDeletedEntry_.push_back({i, {pixels.begin(), pixels.end()}});
            if (const TGIFGraphicControlExtension* control = frame.ControlBlock())
                transparentIndices_.push_back({i, control->TransparentIndex()});
        }
        break;
    }
    default: break;
    }
}

TGIFColorMap* TCommandPalette::Table(TEditContext& context) const {
    return TableOf(context.Image, FrameIndex);
}

void TCommandPalette::SaveTable(const TGIFColorMap& table) {
    Saved = std::make_unique<TCmdColorMap>();
    Saved->CopyFrom(table);
    Saved->FrameIndex = FrameIndex;
}

void TCommandPalette::UndoEntryDeletion(TEditContext& context, TGIFColorMap& table) {
    TGIFImage& image = context.Image;
    // Pixels above the deleted entry move back up; those that used it get their own values.
    TColormapReverse map = Identity();
    for (int p = ColorIndex; p < 255; ++p) map[size_t(p)] = uint8_t(p + 1);
    table.CopyFrom(*Saved);
    table.NotifyChanged();
    std::vector<int> frames = FramesDrawingWith(image, FrameIndex);
    RemapFrames(image, frames, map);
    for (auto& [index, pixels] : pixelsOfDeletedEntry_) {
        if (index >= image.FrameCount()) continue;
        TGIFSubImage& frame = *image.Frame(index);
        if (frame.PixelCount() == int(pixels.size())) std::copy(pixels.begin(), pixels.end(), frame.Pixels());
        frame.DropBitmap();
    }
    for (auto [index, transparent] : transparentIndices_)
        if (index < image.FrameCount())
            if (TGIFGraphicControlExtension* control = image.Frame(index)->ControlBlock())
                control->SetTransparentIndexUnchecked(transparent);
}

void TCommandPalette::Undo(TEditContext& context) {
    TGIFColorMap* table = Table(context);
    switch (Kind) {
    case 1:
        if (table) {
            table->RemoveAll();
            table->NotifyChanged();
        }
        break;
    case 2:
    case 3:
        if (!table || !Saved) break;
        if (FrameIndex == -1 || table->EntryCount() == 0) {
            table->CopyFrom(*Saved);
            table->NotifyChanged();
        }
        break;
    case 5:
        if (table && table->EntryCount() > 0) table->DeleteAt(table->EntryCount() - 1);
        break;
    case 6:
        if (table && Saved) UndoEntryDeletion(context, *table);
        break;
    case 7:
        if (table && ColorIndex != -1) table->SetColorAt(ColorIndex, TColor(ColorValue));
        break;
    default: UnknownAction();
    }
}

} // namespace editor
