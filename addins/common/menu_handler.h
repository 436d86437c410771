// A menu handler that runs a function, for the add-ins' items.
#pragma once

#include "automation/addins/addin.h"

#include <functional>
#include <memory>

namespace addins {

class TFunctionHandler final : public automation::IIntfMenuHandler {
  public:
    explicit TFunctionHandler(std::function<automation::TResult<int>(int)> run) : run_(std::move(run)) {}
    automation::TResult<int> Execute(int nTag) override { return run_(nTag); }

  private:
    std::function<automation::TResult<int>(int)> run_;
};

// Adds an item captioned `caption` under `parent` with `handler`; null on failure.
inline automation::TMenuItemRef AddItem(const automation::TMenuItemRef& parent, const QString& caption,
                                        const QString& hint, int tag,
                                        std::shared_ptr<automation::IIntfMenuHandler> handler) {
    auto added = parent->AddSubItem();
    if (!added.Succeeded() || !added.Value) return nullptr;
    added.Value->SetCaption(caption);
    added.Value->SetHint(hint);
    added.Value->SetTag(tag);
    if (!added.Value->SetMenuHandler(std::move(handler)).Succeeded()) return nullptr;
    return added.Value;
}

// The result of a handler that did its work (or found none to do).
inline automation::TResult<int> Success() {
    automation::TResult<int> result;
    result.Value = automation::S_OK_;
    return result;
}

// A failed result carrying `message`.
inline automation::TResult<int> Failure(const QString& message) {
    automation::TResult<int> result;
    result.Value = automation::E_FAIL_;
    result.Status = automation::TStatus::Failed;
    result.Error = message;
    return result;
}

// A handler that runs `action` on the Application object while the editor still has it: the
// add-in holds the object weakly, since the editor owns it.
template <class Action>
std::shared_ptr<automation::IIntfMenuHandler> ApplicationHandler(
    const std::shared_ptr<automation::IGIFLoopwrightApplication>& application, Action action) {
    std::weak_ptr<automation::IGIFLoopwrightApplication> weak = application;
    return std::make_shared<TFunctionHandler>([weak, action](int) -> automation::TResult<int> {
        auto locked = weak.lock();
        if (!locked) return Failure("The editor is closing.");
        return action(*locked);
    });
}

} // namespace addins
