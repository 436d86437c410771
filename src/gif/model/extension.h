// Extension blocks: the base class, the registries that decide which class reads
// a block, and the list of blocks in front of a frame's image.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/model/item.h"

namespace gif {

class TGIFExtension;
class TGIFSubImage;

inline constexpr uint8_t bsExtensionIntroducer = 0x21;
inline constexpr uint8_t bsImageSeparator = 0x2C;
inline constexpr uint8_t bsTrailer = 0x3B;

// What a "class reference" is in the extension registries: a name, a factory, and
// the class operation that may look further into the stream to pick a subclass.
struct TGIFExtensionClass {
    const char* Name;
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage* frame);
    // Reads from the stream (positioned after the label) and returns the class that
    // should read this block; returning the asking class ends the search.
    const TGIFExtensionClass* (*ResolveClass)(const TGIFExtensionClass* self, TStream& stream);
};

// Returns `self` without reading: the default class operation.
const TGIFExtensionClass* ResolveToSelf(const TGIFExtensionClass* self, TStream& stream);

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* frame);
    ~TGIFExtension() override;
    const char* ClassName() const override { return "TGIFExtension"; }

    TGIFSubImage* OwnerFrame() const { return ownerFrame_; }
    virtual uint8_t ExtensionLabel() const = 0;
    // Every extension block needs GIF89a.
    TGIFVersion GifVersion() const override { return gv89a; }
    // Writes the introducer and label; subclasses follow with their data.
    void SaveToStream(TStream& stream) override;
    // Reads and checks the introducer and label.
    void LoadFromStream(TStream& stream) override;

private:
    TGIFSubImage* ownerFrame_;
};

// Labels -> classes. A lookup searches from the last registration backwards.
class TExtensionList {
public:
    void Add(const TGIFExtensionClass* cls, uint8_t label) { pairs_.push_back({cls, label}); }
    const TGIFExtensionClass* Find(uint8_t label) const;

private:
    struct Pair {
        const TGIFExtensionClass* Class;
        uint8_t Label;
    };
    std::vector<Pair> pairs_;
};

using TAppIdentifier = std::array<uint8_t, 11>;   // 8-byte identifier + 3-byte authentication code
TAppIdentifier MakeAppIdentifier(const char* text);

// Application identifiers -> classes, compared on all 11 bytes, searched backwards.
class TAppExtensionList {
public:
    void Add(const TGIFExtensionClass* cls, const TAppIdentifier& id) { pairs_.push_back({cls, id}); }
    const TGIFExtensionClass* Find(const TAppIdentifier& id) const;

private:
    struct Pair {
        const TGIFExtensionClass* Class;
        TAppIdentifier Identifier;
    };
    std::vector<Pair> pairs_;
};

// The library's two registries, with the standard classes registered.
TExtensionList& LabelRegistry();
TAppExtensionList& AppRegistry();

// Picks the class for the block at the stream (positioned just after 0x21), or none.
// The stream position is left where it was.
const TGIFExtensionClass* ResolveExtensionClass(TStream& stream);

class TGIFExtensionList : public TGIFList {
public:
    explicit TGIFExtensionList(TGIFSubImage* frame);
    const char* ClassName() const override { return "TGIFExtensionList"; }

    TGIFSubImage* OwnerFrame() const { return ownerFrame_; }
    TGIFExtension* Extensions(int index) const { return static_cast<TGIFExtension*>(ItemAt(index)); }
    int Add(std::unique_ptr<TGIFExtension> extension) { return Append(std::move(extension)); }

    // Reads the blocks in front of an image up to the image separator or trailer.
    void LoadFromStream(TStream& stream, TObject* parent) override;

private:
    TGIFSubImage* ownerFrame_;
};

} // namespace gif
