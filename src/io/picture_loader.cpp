#include "io/picture_loader.h"

#include "gif/graphics/bitmap.h"
#include "io/xpress/xpress.h"

#include <exception>

namespace io {

int LoadPictureWithXpress(const std::string& path, gif::TBitmap& bitmap, std::string* message) {
    TXpress xpress;
    auto fail = [&](int error, const std::string& text) {
        if (message) *message = text;
        xpress.Release();
        return error;
    };
    xpress.SetFileName(path);
    if (xpress.Error() != xeNone) return fail(xpress.Error(), xpress.ErrorMessage());
    std::vector<uint8_t> dib = xpress.CopyPicture();
    xpress.Release();
    if (dib.empty()) return fail(xeDamaged, XpressErrorText(xeDamaged));
    try {
        bitmap.LoadFromDIB(dib); // parses everything before it changes the bitmap
    } catch (const std::exception& e) {
        return fail(xeDamaged, std::string(XpressErrorText(xeDamaged)) + " (" + e.what() + ")");
    }
    return xeNone;
}

} // namespace io
