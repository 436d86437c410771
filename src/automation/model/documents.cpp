#include "automation/model/documents.h"

#include "automation/model/enumerator.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"

namespace automation {

editor::TDocument* TDocumentCache::Live() const {
    return context_->Workspace().Contains(document_) ? document_ : nullptr;
}

TResult<bool> TDocumentCache::CanUndo() {
    return Trap([&] {
        editor::TDocument* document = Live();
        if (!document) return false;
        document->UpdateUndoState();
        return document->History().Count() > 0;
    });
}

TResult<bool> TDocumentCache::CanRedo() { return {false}; }

TResult<bool> TDocumentCache::Modified() {
    return Trap([&] { return Live() && document_->Modified(); });
}

TResult<QString> TDocumentCache::FileName() {
    return Trap([&] { return Live() ? document_->FileName() : QString(); });
}

TResult<bool> TDocumentCache::ReadOnly() {
    return Trap([&] { return Live() && document_->ReadOnly; });
}

TResult<TNone> TDocumentCache::MakeActive() {
    return Trap([&] {
        if (editor::TDocument* document = Live()) context_->Workspace().BringDocumentForward(*document);
    });
}

TResult<int> TDocuments::Count() {
    return Trap([&] { return context_->Workspace().DocumentCount(); });
}

TResult<std::shared_ptr<IDocumentCache>> TDocuments::Cache(int Index) {
    return Trap([&]() -> std::shared_ptr<IDocumentCache> {
        const auto& documents = context_->Workspace().Documents();
        if (Index < 0 || Index >= int(documents.size())) return nullptr;
        return std::make_shared<TDocumentCache>(context_, documents[size_t(Index)].get());
    });
}

TResult<TObjectRef> TDocuments::Item(int index) {
    TResult<std::shared_ptr<IDocumentCache>> cache = Cache(index);
    return {cache.Value, cache.Status, cache.Error};
}

TResult<TEnumRef> TDocuments::_NewEnum() {
    return Trap([&]() -> TEnumRef {
        return std::make_shared<TEnumVariantCollection>(shared_from_this());
    });
}

} // namespace automation
