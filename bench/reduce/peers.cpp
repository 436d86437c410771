#include "peers.h"

#include "gif/reduce/reduce_colors.h"

#include <Magick++.h>
#include <libimagequant.h>
#include <stdexcept>

namespace reducebench {

namespace {

// Our library: ReduceColors with a method and a dither mode, 256 colours.
class TOurReducer final : public TReducer {
  public:
    TOurReducer(const gif::TBitmap& source, gif::TColorReduction method, gif::TDitherMode dither)
        : source_(source), method_(method), dither_(dither) {}
    void Run() override { result_ = gif::ReduceColors(source_, method_, dither_, nullptr, 8); }
    TRgbPicture Result() const override { return ToRgb(*result_); }

  private:
    const gif::TBitmap& source_;
    gif::TColorReduction method_;
    gif::TDitherMode dither_;
    std::unique_ptr<gif::TBitmap> result_;
};

// libimagequant: quantize and remap, 256 colours at its default speed, with the given
// dithering level (0 none, 1 full). It takes RGBA, prepared once outside the timing.
class TLiqReducer final : public TReducer {
  public:
    TLiqReducer(const gif::TBitmap& source, float dithering)
        : rgb_(ToRgb(source)), dithering_(dithering) {
        size_t pixels = size_t(rgb_.Width) * size_t(rgb_.Height);
        rgba_.resize(pixels * 4);
        for (size_t i = 0; i < pixels; ++i) {
            rgba_[4 * i] = rgb_.Rgb[3 * i];
            rgba_[4 * i + 1] = rgb_.Rgb[3 * i + 1];
            rgba_[4 * i + 2] = rgb_.Rgb[3 * i + 2];
            rgba_[4 * i + 3] = 255;
        }
        indices_.resize(pixels);
    }

    void Run() override {
        liq_attr* attr = liq_attr_create();
        liq_set_max_colors(attr, 256);
        liq_image* image = liq_image_create_rgba(attr, rgba_.data(), rgb_.Width, rgb_.Height, 0);
        liq_result* result = nullptr;
        if (liq_image_quantize(image, attr, &result) != LIQ_OK) {
            liq_image_destroy(image);
            liq_attr_destroy(attr);
            throw std::runtime_error("liq_image_quantize failed");
        }
        liq_set_dithering_level(result, dithering_);
        liq_write_remapped_image(result, image, indices_.data(), indices_.size());
        const liq_palette* pal = liq_get_palette(result);
        palette_.assign(pal->entries, pal->entries + pal->count);
        liq_result_destroy(result);
        liq_image_destroy(image);
        liq_attr_destroy(attr);
    }

    TRgbPicture Result() const override {
        TRgbPicture out{rgb_.Width, rgb_.Height, std::vector<uint8_t>(rgb_.Rgb.size())};
        for (size_t i = 0; i < indices_.size(); ++i) {
            const liq_color& c = palette_.at(indices_[i]);
            out.Rgb[3 * i] = c.r;
            out.Rgb[3 * i + 1] = c.g;
            out.Rgb[3 * i + 2] = c.b;
        }
        return out;
    }

  private:
    TRgbPicture rgb_;
    float dithering_;
    std::vector<uint8_t> rgba_;
    std::vector<uint8_t> indices_;
    std::vector<liq_color> palette_;
};

// ImageMagick's colour reduction (its octree, "-colors 256 -dither FloydSteinberg").
class TMagickReducer final : public TReducer {
  public:
    explicit TMagickReducer(const gif::TBitmap& source) : rgb_(ToRgb(source)) {
        original_.read(size_t(rgb_.Width), size_t(rgb_.Height), "RGB", Magick::CharPixel,
                       rgb_.Rgb.data());
    }

    // quantize() changes the picture: each run starts from its own full copy.
    void Prepare() override {
        work_ = original_;
        work_.modifyImage();
    }

    void Run() override {
        work_.quantizeColors(256);
        work_.quantizeDither(true);
        work_.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        work_.quantize();
    }

    TRgbPicture Result() const override {
        TRgbPicture out{rgb_.Width, rgb_.Height, std::vector<uint8_t>(rgb_.Rgb.size())};
        Magick::Image copy = work_;
        copy.write(0, 0, size_t(rgb_.Width), size_t(rgb_.Height), "RGB", Magick::CharPixel,
                   out.Rgb.data());
        return out;
    }

  private:
    TRgbPicture rgb_;
    Magick::Image original_;
    Magick::Image work_;
};

} // namespace

std::vector<TMethod> Methods() {
    using gif::TBitmap;
    return {
        {"quality",
         [](const TBitmap& s) {
             return std::make_unique<TOurReducer>(s, gif::crQuality,
                                                  gif::BestDitherMode(gif::crQuality));
         }},
        {"quality_ordered",
         [](const TBitmap& s) {
             return std::make_unique<TOurReducer>(s, gif::crQuality, gif::dtOrdered);
         }},
        {"quality_plain",
         [](const TBitmap& s) {
             return std::make_unique<TOurReducer>(s, gif::crQuality, gif::dtNearest);
         }},
        {"octree_fs",
         [](const TBitmap& s) {
             return std::make_unique<TOurReducer>(s, gif::crOptimized, gif::dtFloydSteinberg);
         }},
        {"liq_dither", [](const TBitmap& s) { return std::make_unique<TLiqReducer>(s, 1.0f); }},
        {"liq_plain", [](const TBitmap& s) { return std::make_unique<TLiqReducer>(s, 0.0f); }},
        {"magick_fs", [](const TBitmap& s) { return std::make_unique<TMagickReducer>(s); }},
    };
}

} // namespace reducebench
