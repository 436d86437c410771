// The thumbnail browser (pnlThumbs, offscreen) loading a folder of 2,000 pictures (PNG, JPEG
// and GIF, 400 x 300, made here), against BM_BareDecode: the imaging control decoding the
// same files one after the other on one thread. Counters:
//   BM_FirstVisit  first_row_s   seconds until the grid's first row is filled
//                  all_vs_bare   time until every thumbnail is shown / the bare decode
//                  max_stall_ms  the user-interface thread's longest stall: a 2 ms timer
//                                measures its own lateness during the scan
//                  cached_vs_bare time until every cache entry is also written / the bare
//                                decode (entries are written after the thumbnails show)
//                  cpu_vs_bare   processor time of all threads until every thumbnail shows /
//                                the bare decode's: what a busy machine disturbs least (on
//                                two idle cores the wall-clock ratio is about half of it)
//   BM_SecondVisit warm_vs_first the same folder again in the same browser (thumbnails
//                                from memory) / the first visit (cpu_vs_first: the same in
//                                processor time); max_stall_ms as above
//   BM_NewSessionVisit           the same counters for a new browser, as in a new session:
//                                thumbnails from the cache on disk
//   BM_WarmEntry   entry_us      one thread's processor time per thumbnail from the cache
//                                on disk; read_us the part that reads the entry
//   build/bench/thumbnails/bench_thumbnails
#include "dialogs/thumbnails/thumb_cache.h"
#include "dialogs/thumbnails/thumb_maker.h"
#include "dialogs/thumbnails/thumbs_panel.h"
#include "editor/core/settings.h"
#include "editor/document/workspace.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/fake_workspace_host.h"
#include "editor/support/scripted_prompter.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/model/subimage.h"
#include "io/xpress/xpress.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int Pictures = 2000, Width = 400, Height = 300;

struct TBench {
    QTemporaryDir dir;
    QString folder;
    double bareSeconds = 0;
    double bareCpuSeconds = 0;
    double firstVisitCpuSeconds = 0;
    double firstVisitSeconds = 0;
    int visits = 0;

    TBench() {
        folder = dir.filePath("pictures");
        QDir().mkpath(folder);
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
        QImage picture(Width, Height, QImage::Format_RGB32);
        for (int i = 0; i < Pictures; ++i) {
            // A gradient with a disc: each picture differs a little.
            QPainter painter(&picture);
            QLinearGradient gradient(0, 0, Width, Height);
            gradient.setColorAt(0, QColor::fromHsv(i * 7 % 360, 160, 230));
            gradient.setColorAt(1, QColor::fromHsv((i * 7 + 120) % 360, 200, 90));
            painter.fillRect(picture.rect(), gradient);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPoint(i % Width, Height / 2), 40, 40);
            painter.end();
            const QString base = folder + QString("/p%1").arg(i, 4, 10, QChar('0'));
            switch (i % 3) {
            case 0: picture.save(base + ".png"); break;
            case 1: picture.save(base + ".jpg", "JPEG", 85); break;
            default: WriteGif(picture, base + ".gif"); break;
            }
        }
    }

    // A one-frame GIF of the picture with 216 web colours, by the program's own library.
    static void WriteGif(const QImage& picture, const QString& path) {
        gif::TGIFImage image;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    image.GlobalColorMap().AppendColor(gif::RGB(uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)));
        auto frame = std::make_unique<gif::TGIFSubImage>(&image);
        frame->SetPlacement(0, 0, Width, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const QRgb c = picture.pixel(x, y);
                frame->Pixels()[size_t(y) * Width + x] =
                    uint8_t((qRed(c) + 25) / 51 * 36 + (qGreen(c) + 25) / 51 * 6 + (qBlue(c) + 25) / 51);
            }
        image.AddFrame(std::move(frame));
        image.SaveToFile(QFile::encodeName(path).toStdString());
    }
};

// Processor time of the whole process (every thread) so far.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The bare decode, timed on the wall clock and on the processor.
void TimeBareDecode();

TBench& Bench() {
    static TBench bench;
    return bench;
}

void DecodeAllOnce() {
    const QStringList names = QDir(Bench().folder).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        io::TXpress xpress;
        xpress.SetFileName(QFile::encodeName(Bench().folder + "/" + name).toStdString());
        benchmark::DoNotOptimize(xpress.Width32());
        xpress.Release();
    }
}

void TimeBareDecode() {
    QElapsedTimer timer;
    timer.start();
    const double cpu = ProcessCpuSeconds();
    DecodeAllOnce();
    Bench().bareCpuSeconds = ProcessCpuSeconds() - cpu;
    Bench().bareSeconds = timer.nsecsElapsed() / 1e9;
}

void BM_BareDecode(benchmark::State& state) {
    Bench();
    for (auto _ : state) {
        TimeBareDecode();
        state.SetIterationTime(Bench().bareSeconds);
    }
}

struct TVisit {
    double allSeconds = 0;
    double firstRowSeconds = -1;
    double maxStallMs = 0;
    double cacheSeconds = 0; // until every cache entry is written
    double cpuSeconds = 0;   // processor time of all threads until every thumbnail shows
};

// The thumbnail browser of one editor session, offscreen.
struct TBrowser {
    QTemporaryDir config;
    editor::Settings settings{config.filePath("settings.ini")};
    editortest::TScriptedPrompter prompter;
    editortest::TFakeFrameList frames;
    editortest::TFakeWorkspaceHost host;
    editor::TWorkspace workspace{prompter, settings, frames, host};
    dialogs::TThumbsPanel panel{workspace, settings, prompter};

    TBrowser() {
        host.Workspace = &workspace;
        panel.resize(1100, 300);
        panel.show();
        QApplication::processEvents();
    }
};

// The browser of the session that made the first visit; the second visit uses it too.
std::unique_ptr<TBrowser>& Session() {
    static std::unique_ptr<TBrowser> session;
    return session;
}

TVisit Visit(TBrowser& browser) {
    dialogs::TThumbsPanel& panel = browser.panel;
    panel.ClearThumbnails();
    QApplication::processEvents();

    TVisit visit;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        visit.maxStallMs = std::max(visit.maxStallMs, sinceTick.nsecsElapsed() / 1e6 - 2.0);
        sinceTick.restart();
        if (visit.firstRowSeconds < 0 && panel.grdThumbs->Count() >= panel.grdThumbs->Columns())
            visit.firstRowSeconds = clock.nsecsElapsed() / 1e9;
    });
    clock.start();
    const double cpuAtStart = ProcessCpuSeconds();
    sinceTick.start();
    ticker.start();
    // Waits in an event loop as the editor does, so that the user-interface thread sleeps
    // between deliveries and leaves the cores to the workers.
    QEventLoop loop;
    QTimer done;
    done.setInterval(10);
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!panel.Scanning()) loop.quit();
    });
    panel.LoadThumbnails(Bench().folder);
    done.start();
    if (panel.Scanning()) loop.exec();
    visit.allSeconds = clock.nsecsElapsed() / 1e9;
    visit.cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    ticker.stop();
    if (panel.grdThumbs->Count() != Pictures) visit.allSeconds = -1;
    // The cache entries are written after the thumbnails show; the panel stays until every
    // one is on disk (at most a minute), so that the next visit finds them.
    done.stop();
    const QString entries = dialogs::TThumbnailCache().Root() + "/normal";
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QDir(entries).entryList(QDir::Files).size() >= Pictures || clock.elapsed() > 60000)
            loop.quit();
    });
    poll.start();
    loop.exec();
    visit.cacheSeconds = clock.nsecsElapsed() / 1e9;
    return visit;
}

void BM_FirstVisit(benchmark::State& state) {
    if (Bench().bareSeconds == 0) TimeBareDecode(); // run alone: the peer is measured first
    for (auto _ : state) {
        // A cache folder of its own: deleting 2,000 entries just before would make the
        // file system's inode allocation, not the browser, the slow part.
        qputenv("XDG_CACHE_HOME", Bench().dir.filePath("cache-%1").arg(++Bench().visits).toUtf8());
        Session() = std::make_unique<TBrowser>();
        const TVisit visit = Visit(*Session());
        Bench().firstVisitSeconds = visit.allSeconds;
        Bench().firstVisitCpuSeconds = visit.cpuSeconds;
        state.SetIterationTime(visit.allSeconds);
        state.counters["first_row_s"] = visit.firstRowSeconds;
        state.counters["all_vs_bare"] = visit.allSeconds / Bench().bareSeconds;
        state.counters["max_stall_ms"] = visit.maxStallMs;
        state.counters["cached_vs_bare"] = visit.cacheSeconds / Bench().bareSeconds;
        state.counters["cpu_vs_bare"] = visit.cpuSeconds / Bench().bareCpuSeconds;
    }
}

void CountRevisit(benchmark::State& state, const TVisit& visit) {
    state.SetIterationTime(visit.allSeconds);
    state.counters["warm_vs_first"] = visit.allSeconds / Bench().firstVisitSeconds;
    state.counters["cpu_vs_first"] = visit.cpuSeconds / Bench().firstVisitCpuSeconds;
    state.counters["first_row_s"] = visit.firstRowSeconds;
    state.counters["max_stall_ms"] = visit.maxStallMs;
}

// The folder again in the same session, after the first visit.
void BM_SecondVisit(benchmark::State& state) {
    for (auto _ : state) {
        if (!Session()) Session() = std::make_unique<TBrowser>();
        CountRevisit(state, Visit(*Session()));
    }
}

// The folder in a new session: only the thumbnail cache on disk is warm, as for a folder
// that a file manager has already seen.
void BM_NewSessionVisit(benchmark::State& state) {
    for (auto _ : state) {
        Session().reset();
        TBrowser browser;
        CountRevisit(state, Visit(browser));
    }
}

// One thread's processor time per thumbnail taken from the warm cache on disk, and the
// share of it that reading the entry takes (the rest is the reduction to the square).
void BM_WarmEntry(benchmark::State& state) {
    const dialogs::TThumbnailCache cache;
    const QStringList names = QDir(Bench().folder).entryList(QDir::Files, QDir::Name);
    for (auto _ : state) {
        timespec start{}, middle{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        int found = 0;
        for (const QString& name : names) {
            dialogs::TCachedThumb thumb;
            found += cache.Read(Bench().folder + "/" + name, 128, thumb);
        }
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &middle);
        for (const QString& name : names)
            benchmark::DoNotOptimize(dialogs::MakeThumbnail(Bench().folder + "/" + name, 75,
                                                            Qt::white, &cache));
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        const auto us = [](timespec a, timespec b) {
            return double(b.tv_sec - a.tv_sec) * 1e6 + double(b.tv_nsec - a.tv_nsec) / 1e3;
        };
        state.counters["found"] = found;
        state.counters["entry_us"] = us(middle, end) / double(names.size());
        state.counters["read_us"] = us(start, middle) / double(names.size());
    }
}

// Each a single pass: a visit of 2,000 pictures is long, and a second pass of the first
// visit would find the cache warm.
BENCHMARK(BM_BareDecode)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstVisit)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondVisit)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewSessionVisit)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarmEntry)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Session().reset(); // before the application goes
    return 0;
}
