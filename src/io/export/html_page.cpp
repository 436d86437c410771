#include "io/export/html_page.h"

#include "gif/base/stream.h"

namespace io {

namespace {

constexpr const char* LineBreak = "\r\n";

std::string AttributeText(const std::string& value) {
    std::string text;
    text.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '&': text += "&amp;"; break;
        case '"': text += "&quot;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        default: text += c;
        }
    }
    return text;
}

} // namespace

std::string HtmlPageText(const std::string& imagePath, int height, int width) {
    const std::string lines[] = {
        "<HTML>",
        "<HEAD>",
        "  <META NAME=\"GENERATOR\" CONTENT=\"Quillmark GIF Loopwright\">",
        "  <TITLE></TITLE>",
        "</HEAD>",
        "",
        "<BODY BGCOLOR=\"#FFFFFF\">",
        "<IMG SRC=\"" + AttributeText(imagePath) + "\" ALT=\"Animated Image\" HEIGHT=\"" +
            std::to_string(height) + "\" WIDTH=\"" + std::to_string(width) + "\">",
        "</BODY></HTML>",
    };
    std::string page;
    for (const std::string& line : lines) {
        if (!page.empty() || &line != &lines[0]) page += LineBreak;
        page += line;
    }
    return page;
}

void WriteHtmlPage(const std::string& fileName, const std::string& text) {
    gif::TSafeFileWriter file(fileName);
    file.Stream().WriteBuffer(text.data(), text.size());
    file.Stream().WriteBuffer(LineBreak, 2);
    file.Commit();
}

} // namespace io
