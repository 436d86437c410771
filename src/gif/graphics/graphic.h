// The abstract picture: what bitmaps, icons, metafiles and GIF images share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gif/base/object.h"
#include "gif/base/types.h"
#include "gif/graphics/palette.h"

namespace gif {

class TCanvas;
class TStream;

enum class TProgressStage { psStarting, psRunning, psEnding };

using TNotifyEvent = std::function<void(TObject* sender)>;
// (sender, stage, percent 0..100, redraw now, rectangle (always empty), message)
using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, uint8_t percent,
                                          bool redrawNow, const TRect& rect,
                                          const std::string& message)>;

class TGraphic : public TPersistent {
public:
    const char* ClassName() const override { return "TGraphic"; }

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual HPALETTE Palette() { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value) { transparent_ = value; }

    // Draws the picture stretched into `rect` of `canvas`.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Loads the whole file; raises EStreamError when it cannot be opened.
    virtual void LoadFromFile(const std::string& fileName);
    // Saves through a temporary file, so a failed save leaves the old file intact. A save
    // that is not `durable` (a scratch copy) does not wait for the disk.
    virtual void SaveToFile(const std::string& fileName, bool durable = true);

    bool Modified = false;
    bool PaletteModified = false;
    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Marks the picture modified and fires OnChange.
    virtual void Changed(TObject* sender);
    void Progress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                  const std::string& message);

private:
    bool transparent_ = false;
};

} // namespace gif
