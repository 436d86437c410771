// The index beside each backing file ("~GLxxxxxx.tmp" has "~GLxxxxxx.idx"): the real file,
// the document's caption and the editor process that owns it. After a crash the next
// editor finds the backing files of editors that no longer run and offers them back.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace editor {

struct TRecoveryEntry {
    QString Backing;   // the backing file
    QString Index;     // its index
    QString FileName;  // the document's real file, or its untitled name
    QString Caption;   // the document's caption, as the question names it
    bool Untitled = false;
    qint64 Pid = 0;
    QString Started;   // when that process started (its start time in /proc), to tell a
                       // later process that took the same id
};

// The index that belongs to a backing file.
QString RecoveryIndexPath(const QString& backing);
// Writes the index of `backing` for this process; false when it could not.
bool WriteRecoveryIndex(const QString& backing, const QString& fileName, const QString& caption,
                        bool untitled);
// Deletes the index of `backing` (nothing when `backing` is empty).
void RemoveRecoveryIndex(const QString& backing);
// Reads an index; false when it is not one of ours or is damaged.
bool ReadRecoveryIndex(const QString& index, TRecoveryEntry& entry);

// This process's start time as the system records it ("" when unknown).
QString ProcessStartTime(qint64 pid);
// The process with that id and start time is still running.
bool ProcessRunning(qint64 pid, const QString& started);

// The backing files in `folders` whose editors no longer run, oldest first. Indexes whose
// backing file has gone are deleted on the way.
std::vector<TRecoveryEntry> FindOrphanedBackingFiles(const QStringList& folders);

} // namespace editor
