#include "io/xpress/picture_format.h"

#include "io/xpress/magick_runtime.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string_view>

namespace io {

namespace {

// ImageMagick modules (decoder families) the control uses.
constexpr std::array<std::string_view, 13> AllowedModules = {
    "BMP", "GIF", "ICON", "JPEG", "PCX", "PICT", "PNG", "PNM", "RLE", "TGA", "TIFF", "WMF", "WPG"};

// Extensions of the picture kinds, and the format each names.
struct TExtensionFormat {
    std::string_view Extension;
    std::string_view Format;
};
constexpr std::array<TExtensionFormat, 22> ExtensionFormats = {{
    {".bmp", "BMP"},  {".dcx", "DCX"},   {".gif", "GIF"},   {".ico", "ICO"},  {".jif", "JPEG"},
    {".jpe", "JPEG"}, {".jpeg", "JPEG"}, {".jpg", "JPEG"},  {".pbm", "PNM"},  {".pcx", "PCX"},
    {".pgm", "PNM"},  {".pic", "PICT"},  {".pict", "PICT"}, {".png", "PNG"},  {".pnm", "PNM"},
    {".ppm", "PNM"},  {".rle", "RLE"},   {".tga", "TGA"},   {".tif", "TIFF"}, {".tiff", "TIFF"},
    {".wmf", "WMF"},  {".wpg", "WPG"},
}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool IsAllowed(const std::string& format) {
    if (format.empty()) return false;
    std::unique_ptr<MagickCore::ExceptionInfo, decltype(&MagickCore::DestroyExceptionInfo)>
        exception(MagickCore::AcquireExceptionInfo(), &MagickCore::DestroyExceptionInfo);
    const MagickCore::MagickInfo* info = MagickCore::GetMagickInfo(format.c_str(), exception.get());
    if (!info || !info->magick_module || !info->decoder) return false;
    std::string module = info->magick_module;
    return std::find(AllowedModules.begin(), AllowedModules.end(), module) != AllowedModules.end();
}

// The kind ImageMagick recognises from the first bytes, as it would itself: its signature
// table first, then each decoder's own test.
std::string SniffFormat(std::span<const uint8_t> head) {
    if (head.empty()) return {};
    std::unique_ptr<MagickCore::ExceptionInfo, decltype(&MagickCore::DestroyExceptionInfo)>
        exception(MagickCore::AcquireExceptionInfo(), &MagickCore::DestroyExceptionInfo);
    const MagickCore::MagicInfo* magic =
        MagickCore::GetMagicInfo(head.data(), head.size(), exception.get());
    if (magic && MagickCore::GetMagicName(magic)) return MagickCore::GetMagicName(magic);
    char format[MagickPathExtent] = "";
    if (MagickCore::GetImageMagick(head.data(), head.size(), format) != MagickCore::MagickFalse)
        return format;
    return {};
}

} // namespace

std::string ChoosePictureFormat(std::span<const uint8_t> head, const std::string& path) {
    EnsureMagick();
    std::string sniffed = SniffFormat(head.first(std::min(head.size(), PictureSignatureBytes)));
    if (IsAllowed(sniffed)) return sniffed;
    std::string extension = Lower(std::filesystem::path(path).extension().string());
    for (const TExtensionFormat& entry : ExtensionFormats)
        if (entry.Extension == extension && IsAllowed(std::string(entry.Format)))
            return std::string(entry.Format);
    return {};
}

} // namespace io
