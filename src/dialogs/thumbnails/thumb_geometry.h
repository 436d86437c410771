// The thumbnail grid's arithmetic and texts, apart from its widgets: cell size, columns
// and rows, the fitted size of a picture and its place on the square, the status texts.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>

namespace dialogs {

// The sizes the options offer; anything else stored reads as the default.
inline constexpr int ThumbSizes[] = {50, 75, 100, 125, 150, 200};
inline constexpr int DefaultThumbSize = 75;
// A stored size that is one of ThumbSizes, else DefaultThumbSize.
int ValidThumbSize(int stored);

// Square cell of a thumbnail: room for two lines of text (`textHeight` is the height of
// "Pq"), the picture and its margins.
int ThumbCellSize(int textHeight, int thumbSize);
// Whole cells across `clientWidth`; at least one, so a narrow grid still shows pictures.
int ThumbColumns(int clientWidth, int cellSize);
// Rows for `count` thumbnails: count / columns rounded (halves to even), plus one while the
// cells do not hold them all. 0 for no thumbnails.
int ThumbRows(int count, int columns);

// The size a picture of width x height is shown at on a square of `thumbSize`: unchanged
// while neither side exceeds thumbSize + 1, else the longer side becomes thumbSize and the
// other keeps the proportion (truncated, at least 1).
QSize ThumbFitSize(int width, int height, int thumbSize);
// True when the picture must be rescaled to fit (a side above thumbSize + 1).
bool ThumbNeedsResample(int width, int height, int thumbSize);
// Top-left of a picture of `size` centred on the square (truncated toward zero).
QPoint ThumbOffset(QSize size, int thumbSize);

// The file size in KB as the browser shows it: bytes / 1024, but 1 up to 1024 bytes.
int ThumbFileKB(qint64 bytes);

// "%s - (%d x %d) %dKB": the status text of a chosen thumbnail.
QString ThumbStatusText(const QString& name, int width, int height, int kb);
// "Scanning folder for images... %d%s Complete" after `done` of `count` files.
QString ThumbProgressText(int done, int count);

} // namespace dialogs
