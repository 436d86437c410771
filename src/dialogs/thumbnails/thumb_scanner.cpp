#include "dialogs/thumbnails/thumb_scanner.h"

#include "dialogs/thumbnails/thumb_cache.h"
#include "dialogs/thumbnails/thumb_maker.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <deque>
#include <mutex>

namespace dialogs {

namespace {

// The longest the user-interface thread hands on thumbnails at one time.
constexpr qint64 DeliverySliceMs = 8;

} // namespace

struct TThumbScanner::TState {
    TThumbJob Job;
    std::atomic<int> Next{0};          // the next file a worker takes
    std::atomic<bool> Cancelled{false};
    std::mutex Lock;                   // guards Results and Done
    std::vector<TThumbPicture> Results;
    std::vector<char> Done;
    int Delivered = 0;                 // UI thread only
};

// Cache entries waiting to be encoded and written, shared by every scan of one scanner.
struct TThumbScanner::TPendingEntries {
    // Beyond this many bytes waiting (about 2,500 entries of the normal size before they
    // are encoded), workers encode their entries at once, and write them when even the
    // encoded entry does not fit.
    static constexpr qsizetype MaxBytes = qsizetype(96) << 20;

    std::mutex Lock;
    std::deque<TCacheEntry> Entries;
    qsizetype Bytes = 0;
    std::atomic<bool> Abandoned{false};
    std::atomic<int> Scan{0}; // counts the scans started: a newer scan goes first

    // Keeps `entry` for later (moved from); false when too much is waiting already.
    bool Keep(TCacheEntry& entry) {
        std::lock_guard<std::mutex> hold(Lock);
        if (Bytes + entry.Bytes() > MaxBytes) return false;
        Bytes += entry.Bytes();
        Entries.push_back(std::move(entry));
        return true;
    }

    // Keeps `entry`, encoded first when it does not fit as it is, or writes it at once.
    void KeepOrStore(const TThumbnailCache& cache, TCacheEntry& entry) {
        if (Keep(entry)) return;
        if (TThumbnailCache::Encode(entry) && !Keep(entry)) cache.Store(entry);
    }

    // Writes waiting entries until none is left, another scan starts (its pictures come
    // first) or the scanner goes away.
    void Store(const TThumbnailCache& cache, int scan) {
        for (;;) {
            TCacheEntry entry;
            {
                std::lock_guard<std::mutex> hold(Lock);
                if (Entries.empty() || Abandoned || Scan != scan) return;
                entry = std::move(Entries.front());
                Entries.pop_front();
                Bytes -= entry.Bytes();
            }
            cache.Store(entry);
        }
    }
};

TThumbScanner::TThumbScanner(const TThumbnailCache* cache, int threads, QObject* parent)
    : QObject(parent), cache_(cache), pending_(std::make_shared<TPendingEntries>()) {
    pool_.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
    pool_.setExpiryTimeout(5000);
}

TThumbScanner::~TThumbScanner() {
    pending_->Abandoned = true;
    Cancel();
    pool_.waitForDone();
}

void TThumbScanner::Cancel() {
    if (state_) state_->Cancelled = true;
    state_.reset();
}

void TThumbScanner::Start(TThumbJob job) {
    Cancel();
    auto state = std::make_shared<TState>();
    state->Job = std::move(job);
    const size_t count = state->Job.Files.size();
    state->Results.resize(count);
    state->Done.assign(count, 0);
    state_ = state;
    if (count == 0) {
        state_.reset();
        emit Finished();
        return;
    }
    const int workers = std::min<int>(pool_.maxThreadCount(), int(count));
    const TThumbnailCache* cache = cache_;
    const std::shared_ptr<TPendingEntries> pending = pending_;
    const int scan = ++pending->Scan;
    for (int w = 0; w < workers; ++w) {
        pool_.start([this, state, cache, pending, scan] {
            const TThumbJob& job = state->Job;
            const int total = int(job.Files.size());
            for (;;) {
                if (state->Cancelled) break;
                const int index = state->Next.fetch_add(1);
                if (index >= total) break;
                const TThumbFile& file = job.Files[size_t(index)];
                const QString path = job.Folder + file.Name;
                const TThumbStamp stamp{file.Bytes, file.Modified, job.ThumbSize,
                                        job.Background.rgb()};
                TCacheEntry entry;
                TThumbPicture made;
                if (!memory_.Find(path, stamp, made)) {
                    made = MakeThumbnail(path, job.ThumbSize, job.Background, cache, &entry);
                    memory_.Keep(path, stamp, made);
                }
                {
                    std::lock_guard<std::mutex> hold(state->Lock);
                    state->Results[size_t(index)] = std::move(made);
                    state->Done[size_t(index)] = 1;
                }
                const bool cancelled = state->Cancelled;
                // Queued to this object: dropped with it, and run on its (the UI) thread.
                if (!cancelled)
                    QMetaObject::invokeMethod(this, [this, state] { Deliver(state); },
                                              Qt::QueuedConnection);
                // The thumbnail is on its way first; the entry waits to be encoded and
                // written until no picture is left.
                if (!entry.File.isEmpty()) pending->KeepOrStore(*cache, entry);
                if (cancelled) break;
            }
            if (cache) pending->Store(*cache, scan);
        });
    }
}

void TThumbScanner::Deliver(const std::shared_ptr<TState>& state) {
    if (state != state_) return; // a cancelled scan
    const int total = int(state->Job.Files.size());
    // Thumbnails found in memory arrive by the hundred: they are handed on in slices, so
    // that the window stays responsive.
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        if (slice.hasExpired(DeliverySliceMs)) {
            QMetaObject::invokeMethod(this, [this, state] { Deliver(state); },
                                      Qt::QueuedConnection);
            return;
        }
        TThumbPicture ready;
        {
            std::lock_guard<std::mutex> hold(state->Lock);
            if (state->Delivered >= total || !state->Done[size_t(state->Delivered)]) break;
            ready = std::move(state->Results[size_t(state->Delivered)]);
        }
        const int index = state->Delivered++;
        emit Made(index, ready.Ok, ready.Width, ready.Height, ready.Square);
        if (state != state_) return; // a slot started another folder or cleared
    }
    if (state->Delivered >= total && state == state_) {
        state_.reset();
        emit Finished();
    }
}

} // namespace dialogs
