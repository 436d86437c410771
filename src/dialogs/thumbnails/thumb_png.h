// A thumbnail cache entry as PNG bytes, written by libpng with settings chosen for speed:
// one fixed row filter and the fastest compression. Qt's own PNG writer tries every filter
// on every row and took a third of a cold scan's time; entries are small and made by the
// thousand, so size matters less than time here.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace dialogs {

// `picture` (any format; written as 8-bit RGB, or RGBA when it has an alpha channel) with
// the text chunks `texts` (key, value; Latin-1 keys). Empty on failure.
QByteArray EncodeThumbPng(const QImage& picture,
                          const std::vector<std::pair<QString, QString>>& texts);

} // namespace dialogs
