#include "editor/core/text_routines.h"

namespace editor {

QString StripExtension(const QString& path) {
    const int dot = int(path.lastIndexOf('.'));
    return dot < 0 ? path : path.left(dot);
}

int64_t KiloBytes(int64_t size) { return size <= 1024 ? 1 : size / 1024; }

bool IsNumeric(const QString& text) {
    QString digits = text;
    digits.remove(' ');
    if (digits.isEmpty()) return false;
    for (QChar c : digits)
        if (c < '0' || c > '9') return false;
    return true;
}

bool IsYes(const QString& text) { return text.compare("Yes", Qt::CaseInsensitive) == 0; }

int CentreLeft(int left, int right, int width) { return (left + right - width) / 2; }

int CentreTop(int top, int bottom, int height) { return (top + bottom - height) / 2; }

bool IsValidIntegerEntry(const QString& text, bool max15bit) {
    if (!IsNumeric(text)) return false;
    QString digits = text;
    digits.remove(' ');
    while (digits.size() > 1 && digits.startsWith('0')) digits.remove(0, 1);
    // More than five digits is out of range whatever they say.
    if (digits.size() > 5) return false;
    return digits.toInt() <= (max15bit ? 32767 : 65535);
}

} // namespace editor
