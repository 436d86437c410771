// The web page that shows an animation: an img tag naming the GIF file with its size.
#pragma once

#include <string>

namespace io {

// The page's lines, separated by carriage return and line feed, without a final line break.
// The picture's path goes into the SRC attribute as given, with the characters that would end
// the attribute or start markup ("&", '"', "<", ">") written as character references.
std::string HtmlPageText(const std::string& imagePath, int height, int width);

// Writes `text` followed by a carriage return and line feed as the file `fileName`, through a
// temporary file, so a failed write leaves an existing file intact. Raises gif::EStreamError.
void WriteHtmlPage(const std::string& fileName, const std::string& text);

} // namespace io
