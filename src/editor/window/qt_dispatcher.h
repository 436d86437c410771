// The renderer's way onto the user-interface thread in the running editor: a call from a
// renderer thread is queued, a wake-up is posted to the Qt event loop, and the renderer
// waits until the call has run. The UI thread also runs the queue whenever it waits for a
// renderer (stopping one), so a renderer blocked in a call never deadlocks that wait.
#pragma once

#include "gif/render/dispatcher.h"

#include <memory>

namespace editor {

class TQtDispatcher final : public gif::TQueuedDispatcher,
                            public std::enable_shared_from_this<TQtDispatcher> {
  public:
    // Made on the user-interface thread, which it serves.
    static std::shared_ptr<TQtDispatcher> Create();

  protected:
    void CallQueued() override;

  private:
    TQtDispatcher() = default;
};

} // namespace editor
