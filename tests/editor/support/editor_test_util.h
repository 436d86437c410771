// Helpers of the editor's tests: animations built in code, their bytes, temporary folders.
#pragma once

#include <QDir>
#include <QString>
#include <memory>
#include <vector>

#include "gif/base/stream.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace editortest {

// An animation of `frames` frames of width x height on a 4-colour global table; frame i is
// filled with colour index i % 4 and has a graphic control block with delay 10 * (i + 1).
inline std::unique_ptr<gif::TGIFImage> MakeAnimation(int frames, int width = 4, int height = 3) {
    auto image = std::make_unique<gif::TGIFImage>();
    for (gif::TColor c : {gif::RGB(0, 0, 0), gif::RGB(255, 0, 0), gif::RGB(0, 255, 0),
                          gif::RGB(0, 0, 255)})
        image->GlobalColorMap().AppendColor(c);
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, width, height);
        std::fill(frame->Pixels(), frame->Pixels() + width * height, uint8_t(i % 4));
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(uint16_t(10 * (i + 1)));
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

// The image written as a GIF file, for byte-for-byte comparisons.
inline std::vector<uint8_t> GifBytes(gif::TGIFImage& image) {
    gif::TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

// The first pixel of each frame: identifies frames of MakeAnimation after moves.
inline std::vector<int> FrameColours(const gif::TGIFImage& image) {
    std::vector<int> out;
    for (int i = 0; i < image.FrameCount(); ++i)
        out.push_back(image.Frame(i)->HasPixels() ? image.Frame(i)->Pixels()[0] : -1);
    return out;
}

// The files of the temporary folder whose names start with "~GL".
inline QStringList TempFiles() {
    return QDir(QDir::tempPath()).entryList({"~GL*"}, QDir::Files);
}

} // namespace editortest
