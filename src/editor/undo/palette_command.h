// Colour-table edits: adding, replacing and clearing tables, adding, deleting and changing
// entries, of the global table (frame -1) or a frame's local table.
#pragma once

#include <memory>
#include <vector>

#include "editor/undo/command.h"
#include "gif/model/colormap.h"

namespace editor {

// A colour table kept apart from any image, with the frame it came from.
class TCmdColorMap : public gif::TGIFColorMap {
public:
    const char* ClassName() const override { return "TCmdColorMap"; }
    int FrameIndex = -1;

    void Warn(uint8_t, const std::string&) override {}
    void CountUse(gif::TColormapHistogram&) override {}
    void RemapPixels(const gif::TColormapReverse&) override {}
    void NotifyChanged() override {}
};

// Sub-kinds: 1 a local table was added, 2 and 3 a table was replaced, 5 an entry was
// appended, 6 entry `ColorIndex` was deleted, 7 entry `ColorIndex` was changed from
// `ColorValue`.
class TCommandPalette : public TCommand {
public:
    TCommandPalette(TEditContext& context, uint8_t subKind, int colorIndex, int colorValue,
                    int frameIndex);
    const char* ClassName() const override { return "TCommandPalette"; }
    void Undo(TEditContext& context) override;

    std::unique_ptr<TCmdColorMap> Saved;
    int ColorIndex;
    int ColorValue;

private:
    gif::TGIFColorMap* Table(TEditContext& context) const;
    void SaveTable(const gif::TGIFColorMap& table);
    void UndoEntryDeletion(TEditContext& context, gif::TGIFColorMap& table);

    // For a deleted entry: the frames drawing with the table whose pixels used it, with
    // those pixels as they were (the deletion gave them the same colour at another index).
    std::vector<std::pair<int, std::vector<uint8_t>>> pixelsOfDeletedEntry_;
    // The transparent index of every frame drawing with the table.
    std::vector<std::pair<int, uint8_t>> transparentIndices_;
};

// Deletes entry `index` of the global table (frame -1) or a frame's local table, keeping
// every pixel's colour: higher indices move down by one, and pixels of the deleted entry
// take another entry of the same colour. Call CanDeleteColor first: a colour that no other
// entry holds is only deleted when no pixel uses it.
void DeleteColorEntry(gif::TGIFImage& image, int frameIndex, int index);

} // namespace editor
