#include "editor/frames/frame_clipboard.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUuid>
#include <array>

#include "editor/core/bitmap_image.h"
#include "editor/core/frame_list.h"
#include "editor/core/gif_files.h"
#include "editor/core/palette_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/frames/frame_commands.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

namespace {

constexpr const char* GifMimeType = "image/gif";
// The mark of this editor's copies; its value names the run that made them.
constexpr const char* CopyMarkMimeType = "application/x-loopwright-copy";

QClipboard* Clipboard() { return QGuiApplication::clipboard(); }

// Gives `pasted` (a new frame of `image`, the size of `original`) the pixels of `original`
// on the image's global table, and no local table, when every colour `original` uses is in
// that table; otherwise it stays as it was made from the picture.
void MapOntoGlobalTable(TGIFImage& image, const TGIFSubImage& original, TGIFSubImage& pasted) {
    const TGIFColorMap& global = image.GlobalColorMap();
    const auto from = original.EffectiveTable().Entries();
    if (global.EntryCount() == 0 || from.empty()) return;
    std::array<int, 256> map;
    map.fill(-1);
    const auto pixels = original.PixelData();
    for (uint8_t p : pixels) {
        if (map[p] >= 0) continue;
        if (p >= from.size()) return;
        map[p] = global.FindColor(RGB(from[p].Red, from[p].Green, from[p].Blue));
        if (map[p] < 0) return;
    }
    pasted.LocalTable().RemoveAll();
    pasted.LocalTable().NotifyChanged();
    uint8_t* to = pasted.Pixels();
    for (size_t i = 0; i < pixels.size(); ++i) to[i] = uint8_t(map[pixels[i]]);
}

} // namespace

TFrameClipboard::TFrameClipboard(TWorkspace& workspace)
    : workspace_(workspace), mark_(QUuid::createUuid().toByteArray()) {}

TFrameClipboard::~TFrameClipboard() { DeleteFileIfNamed(fileName_); }

bool TFrameClipboard::HoldsOwnCopy() const {
    QClipboard* clipboard = Clipboard();
    if (!clipboard || fileName_.isEmpty()) return false;
    const QMimeData* data = clipboard->mimeData();
    return data && data->data(CopyMarkMimeType) == mark_;
}

bool TFrameClipboard::CanPaste() {
    const QMimeData* data = Clipboard() ? Clipboard()->mimeData() : nullptr;
    return data && (data->hasImage() || data->hasFormat(GifMimeType));
}

bool TFrameClipboard::Copy() {
    TGIFImage& image = workspace_.WorkingImage();
    const int i = workspace_.Frames().Selected();
    if (!workspace_.ActiveDocument() || i < 0 || i >= image.FrameCount()) return false;
    TBusyCursor busy(workspace_.Prompter());
    if (fileName_.isEmpty()) fileName_ = MakeTempFile(GetTempFolder());
    TGIFSubImage& source = *image.Frame(i);
    bool copied = false;
    if (!source.IsBlank() && !fileName_.isEmpty()) {
        try {
            // A one-frame image on the same screen and global table, its tables merged.
            TGIFImage scratch;
            scratch.SetWidth(image.Width());
            scratch.SetHeight(image.Height());
            scratch.GlobalColorMap().CopyFrom(image.GlobalColorMap());
            auto frame = std::make_unique<TGIFSubImage>(&scratch);
            frame->CopyFrom(source);
            TGIFSubImage& copy = *frame;
            scratch.AddFrame(std::move(frame));
            OptimiseColorMaps(scratch);
            if (TGIFGraphicControlExtension* control = copy.ControlBlock())
                if (const TGIFGraphicControlExtension* original = source.ControlBlock()) {
                    control->SetTransparentFlag(original->TransparentFlag());
                    if (original->TransparentFlag() && copy.EffectiveTable().EntryCount() > 0)
                        control->SetTransparentColorValue(original->TransparentColorValue());
                }
            if (source.LocalTable().EntryCount() > 0) {
                copy.LocalTable().CopyFrom(scratch.GlobalColorMap());
                copy.LocalTable().SortByUse();
            }
            copied = SaveGifFile(workspace_.Prompter(), scratch, fileName_, false, false,
                                 workspace_.Defaults());
            if (copied) {
                auto* data = new QMimeData;
                data->setData(GifMimeType, CopiedGif());
                data->setData(CopyMarkMimeType, mark_);
                if (TBitmap* picture = source.FrameBitmap()) data->setImageData(BitmapImage(*picture).copy());
                Clipboard()->setMimeData(data);
            }
        } catch (const std::exception&) {
            copied = false;
        }
    }
    if (!copied) {
        DeleteFileIfNamed(fileName_);
        fileName_.clear();
    }
    workspace_.Actions().SetEnabled(TActionId::EditPaste, copied || CanPaste());
    return copied;
}

QByteArray TFrameClipboard::CopiedGif() const {
    QFile file(fileName_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TFrameClipboard::Cut() {
    if (!Copy()) return false;
    return DeleteFrame(workspace_, workspace_.Frames().Selected());
}

bool TFrameClipboard::Paste() {
    const QMimeData* data = Clipboard()->mimeData();
    if (!data || (!data->hasImage() && !data->hasFormat(GifMimeType))) {
        workspace_.Actions().SetEnabled(TActionId::EditPaste, false);
        return false;
    }
    TBusyCursor busy(workspace_.Prompter());
    // The GIF the clipboard carries (from this or another editor); this run's file only
    // while the clipboard still holds this editor's copy, never over another program's.
    TGIFImage copied;
    bool haveGif = false;
    try {
        QByteArray bytes = data->data(GifMimeType);
        if (bytes.isEmpty() && HoldsOwnCopy()) bytes = CopiedGif();
        if (!bytes.isEmpty()) {
            TMemoryStream stream(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                          size_t(bytes.size())));
            copied.LoadFromStream(stream);
            haveGif = copied.FrameCount() > 0 && !copied.Frame(0)->IsBlank();
        }
    } catch (const std::exception&) {
        haveGif = false;
    }
    TBitmap bitmap;
    if (haveGif) {
        bitmap.Assign(copied.Frame(0));
    } else {
        const QImage picture = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB888);
        if (picture.isNull()) return false;
        bitmap = TBitmap(picture.width(), picture.height(), pf24bit);
        for (int y = 0; y < picture.height(); ++y) {
            const uchar* row = picture.constScanLine(y);
            for (int x = 0; x < picture.width(); ++x)
                bitmap.SetPixels(x, y, RGB(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
        }
    }
    const int count = workspace_.WorkingImage().FrameCount();
    const int at = AskInsertPosition(workspace_);
    if (at < 0) return false;
    const int placed = AddFrameFromBitmap(workspace_, bitmap, at, "Paste Frame");
    if (placed < 0) return false;
    TGIFImage& image = workspace_.WorkingImage();
    if (haveGif && image.FrameCount() > count && placed < image.FrameCount()) {
        // The copied frame exactly as it was: pixels with their own colour table, placement,
        // delay, disposal and transparency.
        const TGIFSubImage& original = *copied.Frame(0);
        TGIFSubImage& pasted = *image.Frame(placed);
        if (pasted.FrameWidth() == original.FrameWidth() && pasted.FrameHeight() == original.FrameHeight()) {
            const bool hadLocalTable = original.LocalTable().EntryCount() > 0;
            if (hadLocalTable) {
                // Its own table, and the pixels exactly as they index it.
                pasted.LocalTable().CopyFrom(original.LocalTable());
                std::copy(original.PixelData().begin(), original.PixelData().end(), pasted.Pixels());
            } else {
                // A frame of the global table stays one: its colours go onto this
                // animation's global table when they all are there.
                MapOntoGlobalTable(image, original, pasted);
            }
            pasted.SetPlacement(original.FrameLeft(), original.FrameTop(), original.FrameWidth(),
                                original.FrameHeight());
            if (const TGIFGraphicControlExtension* from = original.ControlBlock())
                if (TGIFGraphicControlExtension* to = pasted.ControlBlock()) {
                    to->SetDelayTime(from->DelayTime());
                    to->SetDisposalCode(from->DisposalCode());
                    to->SetTransparentFlag(from->TransparentFlag());
                    if (hadLocalTable)
                        to->SetTransparentIndexUnchecked(from->TransparentIndex());
                    else if (from->TransparentFlag() &&
                             original.EffectiveTable().EntryCount() > 0 &&
                             pasted.EffectiveTable().EntryCount() > 0)
                        to->SetTransparentColorValue(from->TransparentColorValue());
                }
            pasted.DropBitmap();
            if (TDocument* document = workspace_.ActiveDocument()) document->SetModified(true);
            workspace_.DisplayFrame(placed);
        }
    }
    return true;
}

} // namespace editor
