// /ActiveDocument: IActiveDocument on the bus. One path serves every read of
// ActiveDocument: the object follows whichever document is active when it is called.
#pragma once

#include "automation/dbus/bus_object.h"

namespace automation::bus {

class TActiveDocumentObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IActiveDocument")
    Q_PROPERTY(bool CanUndo READ GetCanUndo)
    Q_PROPERTY(bool CanRedo READ GetCanRedo)
    Q_PROPERTY(QString FileName READ GetFileName)
    Q_PROPERTY(bool Modified READ GetModified WRITE PutModified)
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE PutReadOnly)
    Q_PROPERTY(int TabIndex READ GetTabIndex)
    Q_PROPERTY(int SelectedFrame READ GetSelectedFrame WRITE PutSelectedFrame)
    Q_PROPERTY(bool Optimized READ GetOptimized)
    Q_PROPERTY(QDBusObjectPath Frames READ GetFrames)
    Q_PROPERTY(int NSLoop READ GetNSLoop WRITE PutNSLoop)
  public:
    TActiveDocumentObject(TAutomationServer& server, std::shared_ptr<IActiveDocument> model)
        : TBusObject(server), model_(std::move(model)) {}

    bool GetCanUndo() { return Answer(model_->CanUndo()); }
    bool GetCanRedo() { return Answer(model_->CanRedo()); }
    QString GetFileName() { return Answer(model_->FileName()); }
    bool GetModified() { return Answer(model_->Modified()); }
    void PutModified(bool value) { Answer(model_->SetModified(value)); }
    bool GetReadOnly() { return Answer(model_->ReadOnly()); }
    void PutReadOnly(bool value) { Answer(model_->SetReadOnly(value)); }
    int GetTabIndex() { return Answer(model_->TabIndex()); }
    int GetSelectedFrame() { return Answer(model_->SelectedFrame()); }
    void PutSelectedFrame(int value) { Answer(model_->SetSelectedFrame(value)); }
    bool GetOptimized() { return Answer(model_->Optimized()); }
    QDBusObjectPath GetFrames();
    int GetNSLoop() { return Answer(model_->NSLoop()); }
    void PutNSLoop(int value) { Answer(model_->SetNSLoop(value)); }

  public slots:
    void Undo() { Answer(model_->Undo()); }
    void Redo() { Answer(model_->Redo()); }
    QByteArray CurrentBitmap() { return Bytes(Answer(model_->CurrentBitmap())); }
    void Clear() { Answer(model_->Clear()); }
    bool Close(bool wbPromptToSave) { return Answer(model_->Close(wbPromptToSave)); }
    void Print(bool wbNoPrompt, bool wbPrintAllFrames) {
        Answer(model_->Print(wbNoPrompt, wbPrintAllFrames));
    }
    void Reload(bool wbPromptToSave) { Answer(model_->Reload(wbPromptToSave)); }
    bool Save() { return Answer(model_->Save()); }
    void PlayAnimation() { Answer(model_->PlayAnimation()); }
    void StopAnimation() { Answer(model_->StopAnimation()); }
    int AddFrame(const QByteArray& Image, int Delay) { return Answer(model_->AddFrame(Picture(Image), Delay)); }
    void InsertFrame(int nIndex, const QByteArray& Image) { Answer(model_->InsertFrame(nIndex, Picture(Image))); }
    void DeleteFrame(int nIndex) { Answer(model_->DeleteFrame(nIndex)); }
    bool ExportToAVI() { return Answer(model_->ExportToAVI()); }
    bool ImportFromAVI(const QString& wsFile) { return Answer(model_->ImportFromAVI(wsFile)); }
    QString HTMLCode(const QString& wsURL, const QString& wsHint, int nBorder) {
        return Answer(model_->HTMLCode(wsURL, wsHint, nBorder));
    }
    void Optimize() { Answer(model_->Optimize()); }
    bool AddFrameNoPrompts(const QByteArray& Image, int nDelay) {
        return Answer(model_->AddFrameNoPrompts(Picture(Image), nDelay));
    }
    bool SaveDocToTempFile(const QString& wsFileName) { return Answer(model_->SaveDocToTempFile(wsFileName)); }

  private:
    std::shared_ptr<IActiveDocument> model_;
};

} // namespace automation::bus
