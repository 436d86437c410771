// TEnumVariantCollection: the enumerator handed out by the collections' _NewEnum. It holds
// its collection and a position starting at 0.
#pragma once

#include "automation/model/interfaces.h"

namespace automation {

class TEnumVariantCollection final : public IEnumVariant,
                                     public std::enable_shared_from_this<TEnumVariantCollection> {
  public:
    explicit TEnumVariantCollection(std::shared_ptr<IVariantCollection> collection)
        : collection_(std::move(collection)) {}

    TResult<std::vector<TObjectRef>> Next(int count) override;
    TResult<TNone> Skip(int count) override;
    TResult<TNone> Reset() override;
    TResult<TEnumRef> Clone() override;
    int Position() const override { return position_; }

  private:
    std::shared_ptr<IVariantCollection> collection_;
    int position_ = 0;
};

} // namespace automation
