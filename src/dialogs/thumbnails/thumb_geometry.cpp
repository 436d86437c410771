#include "dialogs/thumbnails/thumb_geometry.h"

#include "dialogs/prompts/prompt_logic.h"

#include <algorithm>
#include <cmath>

namespace dialogs {

int ValidThumbSize(int stored) {
    for (int size : ThumbSizes)
        if (size == stored) return size;
    return DefaultThumbSize;
}

int ThumbCellSize(int textHeight, int thumbSize) {
    return 2 * std::max(0, textHeight) + thumbSize + 14;
}

int ThumbColumns(int clientWidth, int cellSize) {
    if (cellSize <= 0) return 1;
    return std::max(1, clientWidth / cellSize);
}

int ThumbRows(int count, int columns) {
    if (count <= 0) return 0;
    columns = std::max(1, columns);
    int rows = RoundHalfEven(double(count) / double(columns));
    if (qint64(columns) * rows < count) ++rows;
    return rows;
}

bool ThumbNeedsResample(int width, int height, int thumbSize) {
    return width > thumbSize + 1 || height > thumbSize + 1;
}

QSize ThumbFitSize(int width, int height, int thumbSize) {
    if (width <= 0 || height <= 0) return {0, 0};
    if (!ThumbNeedsResample(width, height, thumbSize)) return {width, height};
    // Integer arithmetic: thumbSize * shorter / longer truncates exactly as the real
    // quotient would, without rounding errors of floating point.
    if (width >= height) {
        const int other = int(qint64(thumbSize) * height / width);
        return {thumbSize, std::max(1, other)};
    }
    const int other = int(qint64(thumbSize) * width / height);
    return {std::max(1, other), thumbSize};
}

QPoint ThumbOffset(QSize size, int thumbSize) {
    // C++ division truncates toward zero, as the offsets of a larger picture need.
    return {(thumbSize - size.width()) / 2, (thumbSize - size.height()) / 2};
}

int ThumbFileKB(qint64 bytes) {
    if (bytes <= 1024) return 1;
    return int(std::min<qint64>(bytes / 1024, INT32_MAX));
}

QString ThumbStatusText(const QString& name, int width, int height, int kb) {
    return QString("%1 - (%2 x %3) %4KB").arg(name).arg(width).arg(height).arg(kb);
}

QString ThumbProgressText(int done, int count) {
    const int percent = count > 0 ? RoundHalfEven(double(done) * 100.0 / count) : 100;
    return QString("Scanning folder for images... %1%2 Complete").arg(percent).arg("%");
}

} // namespace dialogs
