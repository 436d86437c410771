#include "dialogs/thumbnails/thumb_png.h"

#include <csetjmp>
#include <png.h>
#include <zlib.h>

namespace dialogs {

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void NoFlush(png_structp) {}

// A chunk's text: Latin-1 when the value fits it (tEXt, which every reader knows), UTF-8
// in an international chunk otherwise.
struct TChunkText {
    QByteArray Key;
    QByteArray Value;
    bool International = false;
};

// libpng's part, apart: it may jump back to its set-up point on an error, so nothing here
// may have a destructor to run.
bool WritePng(QByteArray* out, const QImage* rows, bool alpha, png_text* texts, int textCount) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, out, AppendToBytes, NoFlush);
    // The "sub" filter suits the gradients and photographs thumbnails are made of, and
    // costs one subtraction a byte. zlib's fastest level still finds the matches a row
    // above, which make entries of smooth pictures three times as fast to read back as
    // run-length matching would (entries are read far more often than written).
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_IHDR(png, info, png_uint_32(rows->width()), png_uint_32(rows->height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (textCount > 0) png_set_text(png, info, texts, textCount);
    png_write_info(png, info);
    for (int y = 0; y < rows->height(); ++y)
        png_write_row(png, const_cast<png_bytep>(rows->constScanLine(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

QByteArray EncodeThumbPng(const QImage& picture,
                          const std::vector<std::pair<QString, QString>>& texts) {
    if (picture.isNull()) return {};
    const bool alpha = picture.hasAlphaChannel();
    const QImage rows =
        picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    std::vector<TChunkText> chunks;
    for (const auto& [key, value] : texts) {
        TChunkText chunk;
        chunk.Key = key.toLatin1();
        const QByteArray latin = value.toLatin1();
        chunk.International = QString::fromLatin1(latin) != value;
        chunk.Value = chunk.International ? value.toUtf8() : latin;
        chunks.push_back(std::move(chunk));
    }
    std::vector<png_text> pngTexts(chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
        pngTexts[i] = {};
        pngTexts[i].compression = chunks[i].International ? PNG_ITXT_COMPRESSION_NONE
                                                          : PNG_TEXT_COMPRESSION_NONE;
        pngTexts[i].key = chunks[i].Key.data();
        pngTexts[i].text = chunks[i].Value.data();
        pngTexts[i].text_length = size_t(chunks[i].Value.size());
        pngTexts[i].itxt_length = chunks[i].International ? size_t(chunks[i].Value.size()) : 0;
    }
    QByteArray out;
    out.reserve(qsizetype(rows.sizeInBytes() / 2 + 1024));
    if (!WritePng(&out, &rows, alpha, pngTexts.data(), int(pngTexts.size()))) return {};
    return out;
}

} // namespace dialogs
