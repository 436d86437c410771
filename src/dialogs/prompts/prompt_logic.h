// The arithmetic and texts of the prompts dialog, apart from its widgets.
#pragma once

#include <QString>

namespace dialogs {

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double value);
// round(typed / current * 100); 0 when the current size is 0.
int PercentOf(int typed, int current);
// round(current * percent / 100).
int SizeFromPercent(int current, int percent);

// `text` for a double-quoted HTML attribute: &, ", < and > as character references.
QString AttributeText(const QString& text);

// Every value is escaped for its attribute (AttributeText).
// <img src="FILE" height="H" width="W" alt="HINT" border="B">, wrapped in <a href="LINK">
// when a link is given; the alt and border parts only when their texts are not empty.
QString BuildHtmlTag(const QString& fileName, int height, int width, const QString& link,
                     const QString& hint, const QString& border);

// "%4.2f secs" of a total delay in hundredths of a second.
QString RunningTimeText(unsigned totalDelay);

} // namespace dialogs
