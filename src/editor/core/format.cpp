#include "editor/core/format.h"

namespace editor {

QString FormatList(const QString& pattern, const QStringList& args) {
    QString out;
    out.reserve(pattern.size() + 32);
    int next = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const QChar k = pattern[i + 1];
            if (k == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (k == 's' || k == 'd') {
                if (next < args.size()) out += args[next];
                ++next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace editor
