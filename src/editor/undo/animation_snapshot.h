// Whole-animation undo snapshots on disk. A snapshot is the animation's GIF file in two
// parts: its small blocks (header, extension blocks, descriptors, colour tables) in a
// "~GL" file of its own, and each frame's compressed image data in a frame data file that
// every snapshot of the same unchanged frame shares. A frame data file is deleted with the
// last snapshot that needs it, so fifty snapshots of an unchanged animation take its image
// data once.
#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace gif {
class TGIFImage;
}

namespace editor {

struct TEditContext;
struct TStoredImageData;

class TAnimationSnapshot {
public:
    // Writes the working image; raises ECommandError when it cannot, leaving no file behind.
    explicit TAnimationSnapshot(TEditContext& context);
    ~TAnimationSnapshot();
    TAnimationSnapshot(const TAnimationSnapshot&) = delete;
    TAnimationSnapshot& operator=(const TAnimationSnapshot&) = delete;

    // The snapshot's own file.
    const QString& Path() const { return path_; }
    // Reads the animation as it was into `image` (the same bytes as a save of it then);
    // raises ECommandError when a file has gone.
    void LoadInto(gif::TGIFImage& image) const;

private:
    // A frame's image data, which goes in before byte `At` of the snapshot's own file.
    struct TPiece {
        int64_t At;
        int Frame;
        std::shared_ptr<const TStoredImageData> Data;
    };

    void Write(gif::TGIFImage& image);

    QString path_;
    std::vector<TPiece> pieces_;
};

} // namespace editor
