// A main window for the document tests: windows activate at once, as the desktop does
// when they are created or brought to the front; load events wait in a queue until the
// test pumps it, as posted events wait for the event loop. Calls are recorded as texts.
#pragma once

#include <QStringList>
#include <algorithm>
#include <deque>
#include <vector>

#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"

namespace editortest {

class TFakeWorkspaceHost : public editor::IWorkspaceHost {
public:
    editor::TWorkspace* Workspace = nullptr;

    void CreateDocumentWindow(editor::TDocument& document) override {
        windows_.push_back(&document);
        Workspace->DocumentActivated(document);
    }
    void DestroyDocumentWindow(editor::TDocument& document) override {
        Log << "destroy " + document.ShortName();
        RemoveWindow(document);
    }
    bool CloseDocumentWindow(editor::TDocument& document) override {
        if (!Workspace->DocumentCloseQuery(document)) return false;
        Log << "close " + document.ShortName();
        Workspace->DocumentClosed(document);
        RemoveWindow(document);
        return true;
    }
    void BringToFront(editor::TDocument& document) override {
        Workspace->DocumentActivated(document);
    }
    void PostLoadEvent(editor::TDocument& document) override { loads_.push_back(&document); }
    void DispatchPendingLoad(editor::TDocument& document) override {
        auto it = std::find(loads_.begin(), loads_.end(), &document);
        if (it == loads_.end()) return;
        loads_.erase(it);
        Workspace->LoadDocument(document);
    }
    // Delivers the queued load events in order, as the event loop would.
    void Pump() {
        while (!loads_.empty()) {
            editor::TDocument* document = loads_.front();
            loads_.pop_front();
            Workspace->LoadDocument(*document);
        }
    }
    int PendingLoads() const { return int(loads_.size()); }

    void DocumentChanged(editor::TDocument&) override {}
    void FrameShown(editor::TDocument&) override { ++FramesShown; }
    void DocumentDeactivated(editor::TDocument&) override {}
    void ResetWindow() override { Log << "reset"; }
    void StartResetTimer() override { Log << "timer"; }
    void ShowProgress(int) override {}
    void StepProgress() override {}
    void HideProgress() override {}
    gif::TProgressEvent ProgressHandler() override { return {}; }
    void HideStartupAnimation() override {}
    void StopPlayback(bool) override {}
    void PausePlayback() override {}
    bool CanPaste() override { return false; }
    void RepaintFrameList() override {}
    void InspectorShowFrame(int) override {}
    void InspectorClear() override { Log << "inspector clear"; }
    void SetInspectorVisible(bool visible) override {
        Log << QString("inspector visible %1").arg(visible);
    }
    int InspectorRow() override { return -1; }
    void SelectInspectorRow(int) override {}

    QStringList Log;
    int FramesShown = 0;

private:
    // The desktop activates the most recent remaining window when the active one goes.
    void RemoveWindow(editor::TDocument& document) {
        windows_.erase(std::remove(windows_.begin(), windows_.end(), &document), windows_.end());
        loads_.erase(std::remove(loads_.begin(), loads_.end(), &document), loads_.end());
        if (!Workspace->ActiveDocument() && !windows_.empty())
            Workspace->DocumentActivated(*windows_.back());
    }

    std::vector<editor::TDocument*> windows_;
    std::deque<editor::TDocument*> loads_;
};

} // namespace editortest
