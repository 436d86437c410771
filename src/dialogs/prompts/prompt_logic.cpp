#include "dialogs/prompts/prompt_logic.h"

#include <cmath>

#include "editor/core/format.h"

namespace dialogs {

int RoundHalfEven(double value) { return int(std::nearbyint(value)); }

int PercentOf(int typed, int current) {
    return current == 0 ? 0 : RoundHalfEven(double(typed) / double(current) * 100.0);
}

int SizeFromPercent(int current, int percent) {
    return RoundHalfEven(double(current) * double(percent) / 100.0);
}

QString AttributeText(const QString& text) {
    // & first, so that the other replacements are not escaped twice.
    return QString(text)
        .replace('&', "&amp;")
        .replace('"', "&quot;")
        .replace('<', "&lt;")
        .replace('>', "&gt;");
}

QString BuildHtmlTag(const QString& fileName, int height, int width, const QString& link,
                     const QString& hint, const QString& border) {
    const QString alt =
        hint.isEmpty() ? QString() : editor::Format(" alt=\"%s\"", AttributeText(hint));
    const QString borderPart =
        border.isEmpty() ? QString() : editor::Format(" border=\"%s\"", AttributeText(border));
    const QString img = editor::Format("<img src=\"%s\" height=\"%d\" width=\"%d\"%s%s>",
                                       AttributeText(fileName), height, width, alt, borderPart);
    return link.isEmpty() ? img
                          : editor::Format("<a href=\"%s\">%s</a>", AttributeText(link), img);
}

QString RunningTimeText(unsigned totalDelay) {
    return QString::asprintf("%4.2f secs", double(totalDelay) / 100.0);
}

} // namespace dialogs
