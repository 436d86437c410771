#include "yoyo/yoyo.h"

#include "common/menu_handler.h"

namespace addins {

automation::TResult<int> YoYo(automation::IGIFLoopwrightApplication& app) {
    auto document = app.ActiveDocument().Value;
    if (!document) return Failure("There is no animation to change.");
    auto frames = document->Frames().Value;
    const int count = frames ? frames->Count().Value : 0;
    // Fewer than three frames have no middle to play back.
    if (count < 3) return Success();
    auto begun = document->BeginUndoGroup("Yo-yo");
    if (!begun.Succeeded()) return Failure(begun.Error);
    QString error;
    for (int source = count - 2, at = count; source >= 1; --source, ++at) {
        auto copied = document->CopyFrame(source, at);
        if (!copied.Succeeded()) {
            error = copied.Error;
            break;
        }
    }
    document->EndUndoGroup();
    if (!error.isEmpty()) return Failure(error);
    return Success();
}

} // namespace addins
