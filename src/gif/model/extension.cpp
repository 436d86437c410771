#include "gif/model/extension.h"

#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"
#include "gif/model/text_extensions.h"

namespace gif {

const TGIFExtensionClass* ResolveToSelf(const TGIFExtensionClass* self, TStream&) {
    return self;
}

TGIFExtension::TGIFExtension(TGIFSubImage* frame)
    : TGIFItem(frame ? frame->OwnerImage() : nullptr), ownerFrame_(frame) {}

TGIFExtension::~TGIFExtension() = default;

void TGIFExtension::SaveToStream(TStream& stream) {
    const uint8_t head[2] = {bsExtensionIntroducer, ExtensionLabel()};
    stream.WriteBuffer(head, 2);
}

void TGIFExtension::LoadFromStream(TStream& stream) {
    uint8_t head[2];
    stream.ReadBuffer(head, 2);
    if (head[0] != bsExtensionIntroducer) throw GIFException(msg::InvalidIntroducer);
    if (head[1] != ExtensionLabel()) throw GIFException(msg::ExtensionLabelMismatch);
}

const TGIFExtensionClass* TExtensionList::Find(uint8_t label) const {
    for (auto it = pairs_.rbegin(); it != pairs_.rend(); ++it)
        if (it->Label == label) return it->Class;
    return nullptr;
}

TAppIdentifier MakeAppIdentifier(const char* text) {
    TAppIdentifier id{};
    std::memcpy(id.data(), text, std::min(std::strlen(text), id.size()));
    return id;
}

const TGIFExtensionClass* TAppExtensionList::Find(const TAppIdentifier& id) const {
    for (auto it = pairs_.rbegin(); it != pairs_.rend(); ++it)
        if (it->Identifier == id) return it->Class;
    return nullptr;
}

namespace {

// The registries live as long as the program; they are the library's only globals.
struct TRegistries {
    TRegistries() {
        labels.Add(&TGIFTextExtension::Class, bsPlainTextExtension);
        labels.Add(&TGIFGraphicControlExtension::Class, bsGraphicControlExtension);
        labels.Add(&TGIFCommentExtension::Class, bsCommentExtension);
        labels.Add(&TGIFApplicationExtension::Class, bsApplicationExtension);
        apps.Add(&TGIFAppExtNSLoop::Class, MakeAppIdentifier("NETSCAPE2.0"));
        apps.Add(&TGIFAppExtNSLoop::Class, MakeAppIdentifier("ANIMEXTS1.0"));
    }
    TExtensionList labels;
    TAppExtensionList apps;
};

TRegistries& Registries() {
    static TRegistries registries;   // created on first use, thread-safe
    return registries;
}

} // namespace

TExtensionList& LabelRegistry() { return Registries().labels; }
TAppExtensionList& AppRegistry() { return Registries().apps; }

const TGIFExtensionClass* ResolveExtensionClass(TStream& stream) {
    int64_t start = stream.Position();
    const TGIFExtensionClass* current = nullptr;
    uint8_t label;
    if (stream.ReadByte(label)) {
        current = LabelRegistry().Find(label);
        // Each round may read further; a class that answers with itself ends the search.
        // The chain is at most a few classes long; the bound only guards against a
        // registry that points in circles.
        for (int round = 0; current && round < 16; ++round) {
            const TGIFExtensionClass* next = current->ResolveClass(current, stream);
            if (next == current) break;
            current = next;
        }
    }
    stream.SetPosition(start);
    return current;
}

TGIFExtensionList::TGIFExtensionList(TGIFSubImage* frame)
    : TGIFList(frame ? frame->OwnerImage() : nullptr), ownerFrame_(frame) {}

void TGIFExtensionList::LoadFromStream(TStream& stream, TObject*) {
    uint8_t b;
    if (!stream.ReadByte(b)) return;
    while (b != bsImageSeparator && b != bsTrailer) {
        if (b != bsExtensionIntroducer) {
            Warn(1, msg::InvalidIntroducer);
            break;
        }
        const TGIFExtensionClass* cls = ResolveExtensionClass(stream);
        if (!cls) throw GIFException(msg::UnknownExtension);
        stream.Seek(-1, TSeekOrigin::soCurrent);
        std::unique_ptr<TGIFExtension> extension = cls->Create(ownerFrame_);
        extension->LoadFromStream(stream);   // on failure the block is freed as it unwinds
        Append(std::move(extension));
        if (!stream.ReadByte(b)) return;
    }
    stream.Seek(-1, TSeekOrigin::soCurrent);
}

} // namespace gif
