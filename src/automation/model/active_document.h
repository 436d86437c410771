// TActiveDocument: the document window that is active when a member is called. It holds
// no document of its own, so an object obtained earlier follows later activations; only
// its frames collection is kept, made on the first read of Frames.
#pragma once

#include "automation/model/context.h"
#include "automation/model/interfaces.h"

namespace automation {

class TGIFFrames;

class TActiveDocument final : public IActiveDocument {
  public:
    explicit TActiveDocument(TContextRef context) : context_(std::move(context)) {}

    TResult<bool> CanUndo() override;
    TResult<bool> CanRedo() override;
    TResult<TNone> Undo() override;
    TResult<TNone> Redo() override;
    TResult<QString> FileName() override;
    TResult<bool> Modified() override;
    TResult<TNone> SetModified(bool value) override;
    TResult<bool> ReadOnly() override;
    TResult<TNone> SetReadOnly(bool value) override;
    TResult<TPicture> CurrentBitmap() override;
    TResult<int> TabIndex() override;
    TResult<int> SelectedFrame() override;
    TResult<TNone> SetSelectedFrame(int index) override;
    TResult<bool> Optimized() override;
    TResult<TNone> Clear() override;
    TResult<bool> Close(bool wbPromptToSave) override;
    TResult<TNone> Print(bool wbNoPrompt, bool wbPrintAllFrames) override;
    TResult<TNone> Reload(bool wbPromptToSave) override;
    TResult<bool> Save() override;
    TResult<TNone> PlayAnimation() override;
    TResult<TNone> StopAnimation() override;
    TResult<int> AddFrame(const TPicture& Image, int Delay) override;
    TResult<TNone> InsertFrame(int nIndex, const TPicture& Image) override;
    TResult<TNone> DeleteFrame(int nIndex) override;
    TResult<bool> ExportToAVI() override;
    TResult<bool> ImportFromAVI(const QString& wsFile) override;
    TResult<QString> HTMLCode(const QString& wsURL, const QString& wsHint, int nBorder) override;
    TResult<std::shared_ptr<IFrames>> Frames() override;
    TResult<int> NSLoop() override;
    TResult<TNone> SetNSLoop(int value) override;
    TResult<TNone> Optimize() override;
    TResult<bool> AddFrameNoPrompts(const TPicture& Image, int nDelay) override;
    TResult<bool> SaveDocToTempFile(const QString& wsFileName) override;

  private:
    TContextRef context_;
    std::shared_ptr<TGIFFrames> frames_;
};

// The HTML code's template: anchor HREF, image SRC, HEIGHT, WIDTH and BORDER.
inline constexpr const char* HtmlCodeTemplate =
    "<A HREF=\"%s\"><IMG SRC=\"%s\" HEIGHT=\"%d\" WIDTH=\"%d\" BORDER=\"%d\"></A>";

} // namespace automation
