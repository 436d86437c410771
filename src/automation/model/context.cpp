#include "automation/model/context.h"

#include "editor/document/workspace.h"
#include "editor/window/main_window.h"

namespace automation {

editor::TWorkspace& TAutomationContext::Workspace() const { return Window.Workspace(); }

editor::TDocument* TAutomationContext::Active() const { return Workspace().ActiveDocument(); }

gif::TGIFImage& TAutomationContext::Image() const { return Workspace().WorkingImage(); }

} // namespace automation
