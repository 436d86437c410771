// The project's own addresses on the web, in one place: the Help menu's links and the
// About page's buttons use them.
#pragma once

namespace editor {

// The product's web site; its "help/" folder holds the online support pages.
inline constexpr const char* WebSite = "https://loopwright.example.org/";
// Where the About page's mail button writes to.
inline constexpr const char* MailAddress = "support@loopwright.example.org";

} // namespace editor
