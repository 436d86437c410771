#include "gif/model/item.h"

#include "gif/base/exception.h"
#include "gif/base/format.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace gif {

const char* GifVersionText(TGIFVersion version) {
    switch (version) {
    case gv87a: return "87a";
    case gv89a: return "89a";
    default: return "";
    }
}

void TGIFItem::Warn(uint8_t severity, const std::string& message) {
    if (ownerImage_) ownerImage_->Warning(this, severity, message);
}

void TGIFItem::SaveToFileNamed(const std::string& fileName) {
    TSafeFileWriter writer(fileName);
    SaveToStream(writer.Stream());
    writer.Commit();
}

void TGIFItem::LoadFromFileNamed(const std::string& fileName) {
    // The whole file is read at once: reading from memory is what the decoders do fastest.
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromStream(stream);
}

TGIFList::~TGIFList() {
    DeleteAll();
}

void TGIFList::Warn(uint8_t severity, const std::string& message) {
    if (ownerImage_) ownerImage_->Warning(this, severity, message);
}

void TGIFList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(Format(msg::ListIndexOutOfBounds, index));
}

TGIFItem* TGIFList::ItemAt(int index) const {
    CheckIndex(index, ItemCount());
    return items_[size_t(index)].get();
}

int TGIFList::IndexOf(const TGIFItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return int(i);
    return -1;
}

int TGIFList::Append(std::unique_ptr<TGIFItem> item) {
    items_.push_back(std::move(item));
    return ItemCount() - 1;
}

void TGIFList::InsertAt(int index, std::unique_ptr<TGIFItem> item) {
    CheckIndex(index, ItemCount() + 1);
    items_.insert(items_.begin() + index, std::move(item));
}

void TGIFList::DeleteAt(int index) {
    CheckIndex(index, ItemCount());
    // Take the item out first: its destructor may look at the list it leaves.
    std::unique_ptr<TGIFItem> item = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
}

void TGIFList::MoveItem(int from, int to) {
    CheckIndex(from, ItemCount());
    CheckIndex(to, ItemCount());
    std::unique_ptr<TGIFItem> item = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
}

std::unique_ptr<TGIFItem> TGIFList::Detach(TGIFItem* item) {
    int index = IndexOf(item);
    if (index < 0) return nullptr;
    std::unique_ptr<TGIFItem> owned = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    return owned;
}

void TGIFList::DeleteAll() {
    // Front to back, as deleting index 0 until the list is empty would, but without moving
    // the rest of the list down for every item. The items leave the list before any is freed.
    std::vector<std::unique_ptr<TGIFItem>> items = std::move(items_);
    items_.clear();
    for (std::unique_ptr<TGIFItem>& item : items) item.reset();
}

void TGIFList::SaveToStream(TStream& stream) {
    for (auto& item : items_) item->SaveToStream(stream);
}

} // namespace gif
