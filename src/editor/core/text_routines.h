// Small routines on texts, sizes and layout.
#pragma once

#include <QString>
#include <cstdint>

namespace editor {

// The text before the last "."; the whole text when it has none.
QString StripExtension(const QString& path);
// 1 for sizes up to 1024 bytes, else size / 1024 (whole kilobytes, rounded down).
int64_t KiloBytes(int64_t size);
// After removing all blanks: not empty and digits only.
bool IsNumeric(const QString& text);
// "Yes" in any case.
bool IsYes(const QString& text);

// The left coordinate that centres `width` between `left` and `right` (rounded toward zero),
// and the same for heights.
int CentreLeft(int left, int right, int width);
int CentreTop(int top, int bottom, int height);

// Whether `text` is a valid integer entry: not empty, digits and blanks only, at most 32767
// (max15bit) or 65535. The edit control's check uses it before showing its message.
bool IsValidIntegerEntry(const QString& text, bool max15bit);

} // namespace editor
