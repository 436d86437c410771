// The members of the bus objects that hand out other objects, and the error replies.
#include "automation/dbus/active_document_object.h"
#include "automation/dbus/application_object.h"
#include "automation/dbus/documents_object.h"
#include "automation/dbus/enumerator_object.h"
#include "automation/dbus/frames_object.h"
#include "automation/dbus/server.h"

#include <QDBusMessage>
#include <QMetaObject>

namespace automation::bus {

void TBusObject::Fail(const QString& error) {
    if (!calledFromDBus()) return;
    server_.Track(message().service());
    if (!error.isEmpty()) sendErrorReply(ErrorName, error);
}

QDBusObjectPath TApplicationObject::GetActiveDocument() {
    Answer(model_.ActiveDocument());
    return server_.ActiveDocumentObject();
}

QDBusObjectPath TApplicationObject::GetDocumentCache() {
    Answer(model_.DocumentCache());
    return QDBusObjectPath(DocumentsPath);
}

bool TApplicationObject::GetImageSize(const QString& wsImageFile, int nHeight, int nWidth,
                                      int& nHeightOut, int& nWidthOut) {
    nHeightOut = nHeight;
    nWidthOut = nWidth;
    return Answer(model_.GetImageSize(wsImageFile, nHeightOut, nWidthOut));
}

void TApplicationObject::Quit() {
    Fail({});
    // The reply goes first: closing may ask the user about unsaved documents, and the
    // client is not kept waiting for that answer.
    QMetaObject::invokeMethod(this, [this] { model_.Quit(); }, Qt::QueuedConnection);
}

QDBusObjectPath TApplicationObject::Menu(const QString& wsMenuPath) {
    Answer(model_.Menu(wsMenuPath));
    return NoObject();
}

QDBusObjectPath TDocumentsObject::Cache(int Index) {
    return server_.DocumentPath(Index, Answer(model_->Cache(Index)));
}

QDBusObjectPath TDocumentsObject::_NewEnum() {
    TEnumRef enumerator = Answer(model_->_NewEnum());
    return server_.EnumeratorPath(enumerator, TItemKind::Documents,
                                  calledFromDBus() ? message().service() : QString());
}

QDBusObjectPath TActiveDocumentObject::GetFrames() {
    Answer(model_->Frames());
    return QDBusObjectPath(FramesPath);
}

QDBusObjectPath TFramesObject::Frame(int Index) {
    return server_.FramePath(Index, Answer(model_->Frame(Index)));
}

QDBusObjectPath TFramesObject::_NewEnum() {
    TEnumRef enumerator = Answer(model_->_NewEnum());
    return server_.EnumeratorPath(enumerator, TItemKind::Frames,
                                  calledFromDBus() ? message().service() : QString());
}

QList<QDBusObjectPath> TEnumeratorObject::Next(int celt, int& hresult) {
    const int start = model_->Position();
    TResult<std::vector<TObjectRef>> items = model_->Next(celt);
    hresult = items.Status == TStatus::False ? 1 : 0;
    QList<QDBusObjectPath> paths;
    for (size_t i = 0; i < Answer(items).size(); ++i) {
        const int index = start + int(i);
        if (kind_ == TItemKind::Documents)
            paths << server_.DocumentPath(index, std::dynamic_pointer_cast<IDocumentCache>(items.Value[i]));
        else
            paths << server_.FramePath(index, std::dynamic_pointer_cast<IFrame>(items.Value[i]));
    }
    return paths;
}

int TEnumeratorObject::Skip(int celt) {
    TResult<TNone> result = model_->Skip(celt);
    Answer(result);
    return result.Status == TStatus::False ? 1 : 0;
}

QDBusObjectPath TEnumeratorObject::Clone() {
    return server_.EnumeratorPath(Answer(model_->Clone()), kind_, owner_);
}

} // namespace automation::bus
