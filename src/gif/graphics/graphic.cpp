#include "gif/graphics/graphic.h"

#include "gif/base/stream.h"

namespace gif {

void TGraphic::LoadFromFile(const std::string& fileName) {
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName, bool durable) {
    TSafeFileWriter writer(fileName, durable);
    SaveToStream(writer.Stream());
    writer.Commit();
}

void TGraphic::Changed(TObject* sender) {
    Modified = true;
    if (OnChange) OnChange(sender);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                        const std::string& message) {
    if (OnProgress) OnProgress(sender, stage, percent, redrawNow, TRect{}, message);
}

} // namespace gif
