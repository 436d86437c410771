// Routines on whole animations and single frames: play count, graphic control blocks,
// comments, sizes and the normalisation that runs before every save and playback.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace gif {
class TGIFImage;
class TGIFSubImage;
class TGIFAppExtNSLoop;
class TGIFGraphicControlExtension;
} // namespace gif

namespace editor {

// Values from the settings that new and normalised frames take.
struct TAnimationDefaults {
    int Delay = 100;      // "DefaultDelay", hundredths of a second
    int PlayCount = 0;    // "DefaultNSLoop": 0 plays for ever
};

// At least two non-empty frames.
bool IsAnimation(const gif::TGIFImage& image);
// Bytes of the image written as a GIF file.
int64_t EncodedSize(gif::TGIFImage& image);
// Sum of the delays of the frames that have a graphic control block (unsigned 16-bit).
uint16_t TotalDelay(const gif::TGIFImage& image);

// The play count: 0 plays for ever, 1 once (no looping block), N > 1 is stored as N - 1.
uint16_t StoredLoopCount(int playCount);
// The frame's first looping block, or none.
gif::TGIFAppExtNSLoop* FindLoopExtension(const gif::TGIFSubImage& frame);
bool HasLoopExtension(const gif::TGIFImage& image);
int GetPlayCount(const gif::TGIFImage& image);
// Inserts a looping block for `playCount` first among the frame's blocks; nothing for a
// play count of 1 or a missing frame.
void AddLoopExtension(gif::TGIFImage& image, int frameIndex, int playCount);
// Sets the first frame's looping block; adds one when there is none (and returns false).
// Nothing for a play count of 1 (false).
bool SetPlayCount(gif::TGIFImage& image, int playCount);

// The frame's graphic control block, appended when missing; its delay becomes `delay`
// and its disposal "do not dispose".
gif::TGIFGraphicControlExtension& EnsureGraphicControl(gif::TGIFSubImage& frame, int delay);
// A frame about to join an animation: looping block, graphic control, sorted tables.
void PrepareNewFrame(gif::TGIFSubImage& frame, int playCount, int delay);
// Appends a comment block holding `text` (one line per line of the text).
void AddComment(gif::TGIFSubImage& frame, const QString& text);

// Brings the blocks into the form the editor saves: one graphic control block per frame
// (the last one kept), no zero delays, the looping block only on the first frame; with the
// compatibility fix, a transparent full-screen later frame restores to the background.
void NormaliseAnimation(gif::TGIFImage& image, bool skipCompatibilityFix,
                        const TAnimationDefaults& defaults);

} // namespace editor
