#include "automation/model/pictures.h"

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"

namespace automation {

TPicture PictureFromBitmap(const gif::TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    gif::TMemoryStream stream;
    bitmap.WriteFile(stream);
    return stream.Bytes();
}

bool BitmapFromPicture(const TPicture& picture, gif::TBitmap& bitmap) {
    bitmap = gif::TBitmap();
    if (picture.size() < 2 || picture[0] != 'B' || picture[1] != 'M') return false;
    try {
        gif::TMemoryStream stream{std::span<const uint8_t>(picture)};
        bitmap.LoadFromStream(stream);
    } catch (const std::exception&) {
        bitmap = gif::TBitmap();
        return false;
    }
    return !bitmap.Empty();
}

} // namespace automation
