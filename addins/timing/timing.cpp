#include "timing/timing.h"

#include "common/menu_handler.h"

#include <algorithm>
#include <cmath>

namespace addins {

namespace {

using automation::TResult;

// Runs `change` on every frame's delay inside one undo group.
template <class F>
TResult<int> ChangeDelays(automation::IGIFLoopwrightApplication& app, const QString& caption, F change) {
    auto document = app.ActiveDocument().Value;
    if (!document) return Failure("There is no animation to change.");
    auto frames = document->Frames().Value;
    if (!frames) return Failure("There is no animation to change.");
    const int count = frames->Count().Value;
    if (count == 0) return Success();
    auto begun = document->BeginUndoGroup(caption);
    if (!begun.Succeeded()) return Failure(begun.Error);
    QString error;
    for (int i = 0; i < count && error.isEmpty(); ++i) {
        auto frame = frames->Frame(i).Value;
        if (!frame) continue;
        auto delay = frame->Delay();
        if (!delay.Succeeded()) {
            error = delay.Error;
            break;
        }
        auto set = frame->SetDelay(change(delay.Value));
        if (!set.Succeeded()) error = set.Error;
    }
    document->EndUndoGroup();
    if (!error.isEmpty()) return Failure(error);
    return Success();
}

} // namespace

int ScaledDelay(int delay, int numerator, int denominator) {
    if (denominator <= 0) return std::clamp(delay, 1, 65535);
    const double scaled = std::round(double(delay) * numerator / denominator);
    return int(std::clamp(scaled, 1.0, 65535.0));
}

TResult<int> ScaleDelays(automation::IGIFLoopwrightApplication& app, int numerator, int denominator,
                         const QString& caption) {
    return ChangeDelays(app, caption, [&](int delay) { return ScaledDelay(delay, numerator, denominator); });
}

TResult<int> SetAllDelays(automation::IGIFLoopwrightApplication& app) {
    auto document = app.ActiveDocument().Value;
    if (!document) return Failure("There is no animation to change.");
    auto first = document->Frames().Value ? document->Frames().Value->Frame(0).Value : nullptr;
    const QString current = first ? QString::number(first->Delay().Value) : QString("10");
    auto answer = app.InputBox("Set all delays", "Delay of every frame (1/100 s):", current);
    if (!answer.Succeeded()) return Failure(answer.Error);
    bool ok = false;
    const int delay = answer.Value.trimmed().toInt(&ok);
    if (answer.Value == current) return Success();
    if (!ok || delay < 0 || delay > 65535) {
        app.MessageBox(QString("'%1' is not a delay from 0 to 65535.").arg(answer.Value), "Timing", 0x10);
        return Success();
    }
    return ChangeDelays(app, "Set All Delays", [&](int) { return delay; });
}

} // namespace addins
