#include "automation/model/enumerator.h"

namespace automation {

TResult<std::vector<TObjectRef>> TEnumVariantCollection::Next(int count) {
    auto result = Trap([&] {
        std::vector<TObjectRef> items;
        const int total = collection_->ItemCount().Value;
        while (int(items.size()) < count && position_ < total) {
            TResult<TObjectRef> item = collection_->Item(position_);
            if (!item.Succeeded()) throw EAutomationError(item.Error);
            items.push_back(item.Value);
            ++position_;
        }
        return items;
    });
    if (result.Succeeded() && int(result.Value.size()) != count) result.Status = TStatus::False;
    return result;
}

TResult<TNone> TEnumVariantCollection::Skip(int count) {
    TResult<TNone> result = Trap([] {});
    const int total = collection_->ItemCount().Value;
    // A negative count would walk backwards, even past the start: it skips nothing.
    if (count < 0) {
        result.Status = TStatus::False;
    } else if (position_ + int64_t(count) <= total) {
        position_ += count;
    } else {
        position_ = total;
        result.Status = TStatus::False;
    }
    return result;
}

TResult<TNone> TEnumVariantCollection::Reset() {
    position_ = 0;
    return {};
}

TResult<TEnumRef> TEnumVariantCollection::Clone() {
    TResult<TEnumRef> result;
    result.Value = std::make_shared<TEnumVariantCollection>(collection_);
    return result;
}

} // namespace automation
