// The image on the clipboard: a packed device-independent bitmap of what the image shows,
// for programs that only take pictures, and the GIF file bytes for those that take GIFs.
// Handing the data to the desktop's clipboard is the application's part.
#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace gif {

TGIFImage::TClipboardData TGIFImage::SaveToClipboardData() {
    TClipboardData data;
    if (Empty()) return data;
    if (TBitmap* bitmap = Bitmap()) data.Dib = bitmap->SaveToDIB();
    TMemoryStream stream;
    SaveToStream(stream);
    data.Gif = stream.TakeBytes();
    return data;
}

// The palette of the clipboard's bitmap format is not needed: a packed DIB carries its
// own colour table.
void TGIFImage::LoadFromClipboardData(TClipboardFormat format, std::span<const uint8_t> data,
                                      HPALETTE) {
    if (data.empty()) throw GIFException(msg::UnsupportedClipboardFormat);
    switch (format) {
    case TClipboardFormat::cfGif: {
        TMemoryStream stream(data);
        LoadFromStream(stream);
        return;
    }
    case TClipboardFormat::cfDib: {
        TBitmap bitmap;
        bitmap.LoadFromDIB(data);
        Assign(&bitmap);
        return;
    }
    }
    throw GIFException(msg::UnsupportedClipboardFormat);
}

} // namespace gif
