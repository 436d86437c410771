#include "dialogs/thumbnails/thumb_memory.h"

namespace dialogs {

bool TThumbMemory::Find(const QString& path, const TThumbStamp& stamp, TThumbPicture& picture) {
    if (stamp.Modified == 0) return false;
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = byPath_.constFind(path);
    if (found == byPath_.constEnd()) return false;
    const TList::iterator entry = found.value();
    if (!(entry->Stamp == stamp)) return false;
    entries_.splice(entries_.begin(), entries_, entry);
    picture = entry->Picture;
    return true;
}

void TThumbMemory::Keep(const QString& path, const TThumbStamp& stamp,
                        const TThumbPicture& picture) {
    if (stamp.Modified == 0) return;
    // The entry's own bookkeeping counts too, so that unreadable files are bounded as well.
    const qsizetype bytes = picture.Square.sizeInBytes() + path.size() * 2 + 128;
    if (bytes > maxBytes_) return;
    std::lock_guard<std::mutex> hold(lock_);
    if (const auto old = byPath_.constFind(path); old != byPath_.constEnd()) Drop(old.value());
    while (bytes_ + bytes > maxBytes_ && !entries_.empty()) Drop(std::prev(entries_.end()));
    entries_.push_front({path, stamp, picture, bytes});
    byPath_.insert(path, entries_.begin());
    bytes_ += bytes;
}

qsizetype TThumbMemory::Bytes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return bytes_;
}

void TThumbMemory::Drop(TList::iterator entry) {
    bytes_ -= entry->Bytes;
    byPath_.remove(entry->Path);
    entries_.erase(entry);
}

} // namespace dialogs
