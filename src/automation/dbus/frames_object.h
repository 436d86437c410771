// /ActiveDocument/Frames (IFrames) and /ActiveDocument/Frames/N (IFrame) on the bus.
#pragma once

#include "automation/dbus/bus_object.h"

namespace automation::bus {

class TFramesObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IFrames")
    Q_PROPERTY(int Count READ GetCount)
  public:
    TFramesObject(TAutomationServer& server, std::shared_ptr<IFrames> model)
        : TBusObject(server), model_(std::move(model)) {}
    int GetCount() { return Answer(model_->Count()); }

  public slots:
    QDBusObjectPath Frame(int Index);
    QDBusObjectPath _NewEnum();

  private:
    std::shared_ptr<IFrames> model_;
};

class TFrameObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IFrame")
    Q_PROPERTY(QByteArray Bitmap READ GetBitmap)
    Q_PROPERTY(QString Comments READ GetComments)
    Q_PROPERTY(bool Empty READ GetEmpty)
    Q_PROPERTY(int Extensions READ GetExtensions)
    Q_PROPERTY(int Left READ GetLeft WRITE PutLeft)
    Q_PROPERTY(int Top READ GetTop WRITE PutTop)
    Q_PROPERTY(bool Interlaced READ GetInterlaced WRITE PutInterlaced)
    Q_PROPERTY(bool LocalPalette READ GetLocalPalette)
    Q_PROPERTY(int Height READ GetHeight WRITE PutHeight)
    Q_PROPERTY(int Width READ GetWidth WRITE PutWidth)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE PutTransparent)
    Q_PROPERTY(int Delay READ GetDelay WRITE PutDelay)
    Q_PROPERTY(int Disposal READ GetDisposal WRITE PutDisposal)
  public:
    explicit TFrameObject(TAutomationServer& server) : TBusObject(server) {}
    // The frame the path stands for now.
    void SetModel(std::shared_ptr<IFrame> model) { model_ = std::move(model); }

    QByteArray GetBitmap() { return Bytes(Answer(model_->Bitmap())); }
    QString GetComments() { return Answer(model_->Comments()); }
    bool GetEmpty() { return Answer(model_->Empty()); }
    int GetExtensions() { return Answer(model_->Extensions()); }
    int GetLeft() { return Answer(model_->Left()); }
    void PutLeft(int value) { Answer(model_->SetLeft(value)); }
    int GetTop() { return Answer(model_->Top()); }
    void PutTop(int value) { Answer(model_->SetTop(value)); }
    bool GetInterlaced() { return Answer(model_->Interlaced()); }
    void PutInterlaced(bool value) { Answer(model_->SetInterlaced(value)); }
    bool GetLocalPalette() { return Answer(model_->LocalPalette()); }
    int GetHeight() { return Answer(model_->Height()); }
    void PutHeight(int value) { Answer(model_->SetHeight(value)); }
    int GetWidth() { return Answer(model_->Width()); }
    void PutWidth(int value) { Answer(model_->SetWidth(value)); }
    bool GetTransparent() { return Answer(model_->Transparent()); }
    void PutTransparent(bool value) { Answer(model_->SetTransparent(value)); }
    int GetDelay() { return Answer(model_->Delay()); }
    void PutDelay(int value) { Answer(model_->SetDelay(value)); }
    int GetDisposal() { return Answer(model_->Disposal()); }
    void PutDisposal(int value) { Answer(model_->SetDisposal(value)); }

  public slots:
    bool SetBitmap(const QByteArray& Bitmap) { return Answer(model_->SetBitmap(Picture(Bitmap))); }

  private:
    std::shared_ptr<IFrame> model_;
};

} // namespace automation::bus
