#include "editor/document/recovery_index.h"

#include "editor/core/temp_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>
#include <unistd.h>

namespace editor {

namespace {

constexpr const char* BackingSuffix = ".tmp";
constexpr const char* IndexSuffix = ".idx";
// An index is a few hundred bytes; anything much larger is not one of ours.
constexpr qint64 MaxIndexSize = 64 * 1024;

} // namespace

QString RecoveryIndexPath(const QString& backing) {
    if (backing.isEmpty()) return {};
    const QString base =
        backing.endsWith(BackingSuffix) ? backing.chopped(int(qstrlen(BackingSuffix))) : backing;
    return base + IndexSuffix;
}

bool WriteRecoveryIndex(const QString& backing, const QString& fileName, const QString& caption,
                        bool untitled) {
    if (backing.isEmpty()) return false;
    const qint64 pid = qint64(::getpid());
    QJsonObject index{{"file", fileName},
                      {"caption", caption},
                      {"untitled", untitled},
                      {"pid", pid},
                      {"started", ProcessStartTime(pid)}};
    QSaveFile file(RecoveryIndexPath(backing));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(index).toJson(QJsonDocument::Compact));
    return file.commit();
}

void RemoveRecoveryIndex(const QString& backing) {
    if (!backing.isEmpty()) QFile::remove(RecoveryIndexPath(backing));
}

bool ReadRecoveryIndex(const QString& index, TRecoveryEntry& entry) {
    QFile file(index);
    if (!QFileInfo(index).isFile() || QFileInfo(index).size() > MaxIndexSize ||
        !file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject()) return false;
    const QJsonObject object = document.object();
    entry.Index = index;
    entry.Backing = index.chopped(int(qstrlen(IndexSuffix))) + BackingSuffix;
    entry.FileName = object.value("file").toString();
    entry.Caption = object.value("caption").toString();
    entry.Untitled = object.value("untitled").toBool();
    entry.Pid = qint64(object.value("pid").toDouble());
    entry.Started = object.value("started").toString();
    return !entry.FileName.isEmpty() && entry.Pid > 0;
}

QString ProcessStartTime(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = stat.readAll();
    // The command name in parentheses may hold blanks: fields are counted after it. The
    // start time is field 22, the 20th after the name.
    const int close = text.lastIndexOf(')');
    if (close < 0) return {};
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields[19]) : QString();
}

bool ProcessRunning(qint64 pid, const QString& started) {
    if (pid <= 0) return false;
    const QString now = ProcessStartTime(pid);
    if (now.isEmpty()) return false;
    // The same id with another start time is a later process.
    return started.isEmpty() || now == started;
}

std::vector<TRecoveryEntry> FindOrphanedBackingFiles(const QStringList& folders) {
    std::vector<TRecoveryEntry> found;
    QStringList seen;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (folder.isEmpty() || !dir.exists()) continue;
        const QString canonical = dir.canonicalPath();
        if (seen.contains(canonical)) continue;
        seen << canonical;
        for (const QFileInfo& info :
             dir.entryInfoList({QString(TempPrefix) + "*" + IndexSuffix}, QDir::Files)) {
            // A shared temporary folder holds other users' files too: only our own count.
            if (info.ownerId() != uint(::geteuid())) continue;
            TRecoveryEntry entry;
            if (!ReadRecoveryIndex(info.filePath(), entry)) continue;
            if (ProcessRunning(entry.Pid, entry.Started)) continue;
            const QFileInfo backing(entry.Backing);
            if (backing.isFile() && backing.ownerId() != uint(::geteuid())) continue;
            if (!backing.isFile()) {
                QFile::remove(entry.Index); // nothing left to recover
                continue;
            }
            found.push_back(entry);
        }
    }
    std::sort(found.begin(), found.end(), [](const TRecoveryEntry& a, const TRecoveryEntry& b) {
        return QFileInfo(a.Backing).lastModified() < QFileInfo(b.Backing).lastModified();
    });
    return found;
}

} // namespace editor
