// Base classes of the GIF object tree: items (header, frames, extension blocks,
// trailer) and the owning lists of frames and extension blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gif/base/object.h"

namespace gif {

class TGIFImage;
class TStream;

// GIF versions: what an item needs at least.
enum TGIFVersion : uint8_t { gvUnknown = 0, gv87a = 1, gv89a = 2 };
const char* GifVersionText(TGIFVersion version);   // "87a", "89a" or ""

class TGIFItem : public TPersistent {
public:
    explicit TGIFItem(TGIFImage* owner) : ownerImage_(owner) {}
    const char* ClassName() const override { return "TGIFItem"; }

    TGIFImage* OwnerImage() const { return ownerImage_; }
    // The lowest GIF version this item needs.
    virtual TGIFVersion GifVersion() const { return gv87a; }
    // Sends a warning to the owning image's warning handler with this item as sender.
    virtual void Warn(uint8_t severity, const std::string& message);

    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    // Saves into a new file (through a temporary file, so a failed save keeps the old one).
    void SaveToFileNamed(const std::string& fileName);
    // Opens the file read-only and loads it.
    void LoadFromFileNamed(const std::string& fileName);

protected:
    void SetOwnerImage(TGIFImage* owner) { ownerImage_ = owner; }

private:
    TGIFImage* ownerImage_;
};

// An ordered list that owns its items. Removing an item through the list frees it.
class TGIFList : public TPersistent {
public:
    explicit TGIFList(TGIFImage* owner) : ownerImage_(owner) {}
    ~TGIFList() override;
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;
    const char* ClassName() const override { return "TGIFList"; }

    TGIFImage* OwnerImage() const { return ownerImage_; }
    virtual void Warn(uint8_t severity, const std::string& message);

    int ItemCount() const { return int(items_.size()); }
    // Raises EListError "List index out of bounds (n)" for a bad index.
    TGIFItem* ItemAt(int index) const;
    int IndexOf(const TGIFItem* item) const;
    int Append(std::unique_ptr<TGIFItem> item);
    void InsertAt(int index, std::unique_ptr<TGIFItem> item);
    // Removes the item at `index` and frees it.
    void DeleteAt(int index);
    void MoveItem(int from, int to);
    // Removes the item without freeing it; returns ownership (empty if not listed).
    std::unique_ptr<TGIFItem> Detach(TGIFItem* item);
    // Frees every item, first to last; the list is empty while they are freed.
    void DeleteAll();

    virtual void SaveToStream(TStream& stream);
    virtual void LoadFromStream(TStream& stream, TObject* parent) = 0;

private:
    void CheckIndex(int index, int limit) const;

    TGIFImage* ownerImage_;
    std::vector<std::unique_ptr<TGIFItem>> items_;
};

} // namespace gif
