// The thumbnails of a folder made on worker threads (one per core), handed to the user-
// interface thread in name order as they finish, so the first row shows at once and the
// window never waits for a picture. Starting another folder, or Cancel, drops the running
// scan: its workers stop after the file in hand and their results are discarded.
//
// New cache entries are encoded and written to disk once a worker has no picture left to
// make: encoding and creating files are a large share of a cold scan, and the thumbnails
// should not wait for them. Entries made by a cancelled scan are still written; those
// still waiting when the scanner is destroyed are dropped (they are only made again on
// the next visit). Thumbnails made are also kept in memory for the next scan.
#pragma once

#include "dialogs/thumbnails/thumb_files.h"
#include "dialogs/thumbnails/thumb_memory.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <memory>
#include <vector>

namespace dialogs {

class TThumbnailCache;

struct TThumbJob {
    QString Folder;                 // with its trailing "/"
    std::vector<TThumbFile> Files;  // in display order
    int ThumbSize = 75;
    QColor Background = Qt::white;
};

class TThumbScanner : public QObject {
    Q_OBJECT
  public:
    // `threads` workers (0: one per core); `cache` may be null (no shared cache).
    explicit TThumbScanner(const TThumbnailCache* cache, int threads = 0, QObject* parent = nullptr);
    ~TThumbScanner() override;

    // Cancels any running scan and starts `job`.
    void Start(TThumbJob job);
    void Cancel();
    bool Running() const { return state_ != nullptr; }
    const TThumbMemory& Memory() const { return memory_; }

  signals:
    // File `index` of the job is done (in order: every earlier file came first). `ok` is
    // false for a file that could not be read; `square` is then null.
    void Made(int index, bool ok, int width, int height, const QImage& square);
    // Every file of the job is done.
    void Finished();

  private:
    struct TState;
    struct TPendingEntries;
    void Deliver(const std::shared_ptr<TState>& state);

    const TThumbnailCache* cache_;
    TThumbMemory memory_;
    std::shared_ptr<TPendingEntries> pending_;
    QThreadPool pool_;
    std::shared_ptr<TState> state_;
};

} // namespace dialogs
