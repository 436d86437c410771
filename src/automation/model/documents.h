// TDocuments, the collection of open document windows, and TDocumentCache, one of them.
#pragma once

#include "automation/model/context.h"
#include "automation/model/interfaces.h"

namespace automation {

class TDocumentCache final : public IDocumentCache {
  public:
    TDocumentCache(TContextRef context, editor::TDocument* document)
        : context_(std::move(context)), document_(document) {}

    TResult<bool> CanUndo() override;
    TResult<bool> CanRedo() override;
    TResult<bool> Modified() override;
    TResult<QString> FileName() override;
    TResult<bool> ReadOnly() override;
    TResult<TNone> MakeActive() override;

  private:
    // The document while its window is open, else null (the object then reads empty).
    editor::TDocument* Live() const;

    TContextRef context_;
    editor::TDocument* document_;
};

// A stateless view of the main window's document windows, in window order.
class TDocuments final : public IDocuments,
                         public IVariantCollection,
                         public std::enable_shared_from_this<TDocuments> {
  public:
    explicit TDocuments(TContextRef context) : context_(std::move(context)) {}

    TResult<int> Count() override;
    TResult<std::shared_ptr<IDocumentCache>> Cache(int Index) override;
    TResult<TEnumRef> _NewEnum() override;

    IAutomationObject* ControllingObject() override { return this; }
    TResult<int> ItemCount() override { return Count(); }
    TResult<TObjectRef> Item(int index) override;

  private:
    TContextRef context_;
};

} // namespace automation
