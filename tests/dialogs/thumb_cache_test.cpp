// The desktop's shared thumbnail cache: our entries are valid for other programs, theirs are
// used without decoding the picture, and a changed file is never shown from a stale entry.
#include "dialogs/thumbnails/thumb_cache.h"
#include "dialogs/thumbnails/thumb_files.h"
#include "dialogs/thumbnails/thumb_memory.h"
#include "dialogs/thumbnails/thumb_maker.h"
#include "dialogs/thumbnails/thumb_png.h"
#include "dialogs/thumbnails/thumb_scanner.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace dialogs;

namespace {

QString WritePicture(const QString& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path));
    return path;
}

bool Wait(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(ThumbCache, OurEntryIsValidForOthers) {
    QTemporaryDir dir;
    TThumbnailCache cache(dir.filePath("cache/thumbnails"));
    const QString picture = WritePicture(dir.filePath("photo one.png"), 300, 100, Qt::red);
    const TThumbPicture made = MakeThumbnail(picture, 75, Qt::white, &cache);
    ASSERT_TRUE(made.Ok);
    EXPECT_FALSE(made.FromCache);
    EXPECT_EQ(made.Width, 300);
    EXPECT_EQ(made.Height, 100);
    // Named after the MD5 of the percent-encoded file URI, in "normal" for sizes up to 128.
    const QByteArray uri = "file://" + QUrl::toPercentEncoding(QFileInfo(picture).absoluteFilePath(), "/");
    EXPECT_EQ(TThumbnailCache::FileUri(picture), uri);
    const QString entry = dir.filePath("cache/thumbnails/normal/") +
                          QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
    ASSERT_TRUE(QFileInfo::exists(entry));
    EXPECT_EQ(QFileInfo(entry).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    const QImage stored(entry);
    EXPECT_EQ(stored.size(), QSize(128, 42)); // at most 128 on its longer side
    EXPECT_EQ(stored.text("Thumb::URI").toUtf8(), uri);
    EXPECT_EQ(stored.text("Thumb::MTime").toLongLong(),
              QFileInfo(picture).lastModified().toSecsSinceEpoch());
    // Another reader of the format agrees.
    QProcess identify;
    identify.start("/usr/bin/identify", {"-verbose", entry});
    ASSERT_TRUE(identify.waitForFinished(20000));
    EXPECT_EQ(identify.exitCode(), 0);
    const QString report = QString::fromUtf8(identify.readAllStandardOutput());
    EXPECT_TRUE(report.contains("Thumb::URI: " + QString::fromUtf8(uri))) << report.toStdString();
    EXPECT_TRUE(report.contains("Thumb::MTime:"));
    EXPECT_TRUE(report.contains("Geometry: 128x42"));
    // The second visit reads it back.
    const TThumbPicture again = MakeThumbnail(picture, 75, Qt::white, &cache);
    EXPECT_TRUE(again.FromCache);
    EXPECT_EQ(again.Width, 300);
    EXPECT_EQ(again.Square.pixelColor(37, 37), QColor(Qt::red));
    // Larger thumbnails use the "large" folder.
    EXPECT_TRUE(MakeThumbnail(picture, 200, Qt::white, &cache).Ok);
    EXPECT_EQ(QImage(cache.EntryPath(picture, 256)).size(), QSize(256, 85));
}

TEST(ThumbCache, AnotherProgramsEntryIsUsedWithoutDecoding) {
    QTemporaryDir dir;
    TThumbnailCache cache(dir.filePath("thumbnails"));
    // The file itself cannot be decoded: a thumbnail can only come from the cache.
    const QString path = dir.filePath("holiday.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, '\x5a'));
    file.close();
    EXPECT_FALSE(MakeThumbnail(path, 75, Qt::white, nullptr).Ok);
    // An entry as a file manager writes it: md5 of the URI, the two required keys only.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    QDir().mkpath(dir.filePath("thumbnails/normal"));
    QImage foreign(128, 96, QImage::Format_RGB32);
    foreign.fill(Qt::green);
    foreign.setText("Thumb::URI", QString::fromUtf8(uri));
    foreign.setText("Thumb::MTime", QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    const QString entry = dir.filePath("thumbnails/normal/") +
                          QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
    ASSERT_TRUE(foreign.save(entry, "PNG"));
    const TThumbPicture used = MakeThumbnail(path, 75, Qt::white, &cache);
    ASSERT_TRUE(used.Ok);
    EXPECT_TRUE(used.FromCache);
    EXPECT_EQ(used.Square.pixelColor(37, 37), QColor(Qt::green));
    // Without the sizes in the entry, the entry's own size stands in.
    EXPECT_EQ(used.Width, 128);
    EXPECT_EQ(used.Height, 96);
    // A changed file (another modification time) makes the entry stale.
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_FALSE(MakeThumbnail(path, 75, Qt::white, &cache).Ok);
    // An entry of another file (a different URI under this name) is not used either.
    foreign.setText("Thumb::MTime", QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    foreign.setText("Thumb::URI", "file:///somewhere/else.jpg");
    ASSERT_TRUE(foreign.save(entry, "PNG"));
    EXPECT_FALSE(MakeThumbnail(path, 75, Qt::white, &cache).Ok);
    // Nor a damaged entry.
    QFile damaged(entry);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("\x89PNG broken");
    damaged.close();
    EXPECT_FALSE(MakeThumbnail(path, 75, Qt::white, &cache).Ok);
}

TEST(ThumbCache, UnwritableCacheStillGivesThumbnails) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("thumbnails"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    TThumbnailCache cache(dir.filePath("thumbnails"));
    const QString picture = WritePicture(dir.filePath("a.png"), 40, 30, Qt::blue);
    const TThumbPicture made = MakeThumbnail(picture, 50, Qt::white, &cache);
    EXPECT_TRUE(made.Ok);
    EXPECT_EQ(made.Square.pixelColor(25, 25), QColor(Qt::blue));
    EXPECT_FALSE(cache.Write(picture, 128, QImage(), 1, 1));
}

TEST(ThumbScanner, NameOrderSkippedFilesAndCancel) {
    QTemporaryDir dir;
    TThumbnailCache cache(dir.filePath("thumbnails"));
    TThumbJob job;
    job.Folder = dir.path() + "/";
    job.ThumbSize = 50;
    for (int i = 0; i < 24; ++i) {
        const QString name = QString("p%1.png").arg(i, 2, 10, QChar('0'));
        if (i == 5) {
            QFile broken(dir.filePath(name));
            ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
            broken.write("not a picture");
        } else {
            WritePicture(dir.filePath(name), 60 + i, 40, QColor(i * 10, 0, 0));
        }
        job.Files.push_back({name, 100});
    }
    TThumbScanner scanner(&cache, 2);
    std::vector<int> order;
    std::vector<bool> ok;
    bool finished = false;
    QObject::connect(&scanner, &TThumbScanner::Made,
                     [&](int index, bool made, int width, int, const QImage& square) {
                         order.push_back(index);
                         ok.push_back(made);
                         if (made) {
                             EXPECT_EQ(width, 60 + index);
                             EXPECT_EQ(square.size(), QSize(50, 50));
                         }
                     });
    QObject::connect(&scanner, &TThumbScanner::Finished, [&] { finished = true; });
    scanner.Start(job);
    ASSERT_TRUE(Wait([&] { return finished; }));
    ASSERT_EQ(order.size(), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(order[size_t(i)], i);
    EXPECT_FALSE(ok[5]);
    EXPECT_TRUE(ok[6]);
    // A started scan cancelled at once delivers nothing more and never finishes.
    order.clear();
    finished = false;
    scanner.Start(job);
    scanner.Cancel();
    EXPECT_FALSE(scanner.Running());
    Wait([] { return false; }, 300);
    EXPECT_TRUE(order.empty());
    EXPECT_FALSE(finished);
    // Starting another job drops the running one: only the new one's results arrive.
    TThumbJob small = job;
    small.Files.resize(3);
    scanner.Start(job);
    scanner.Start(small);
    ASSERT_TRUE(Wait([&] { return finished; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

// Entries are written once the thumbnails are shown: all of them after a scan, each a whole
// PNG under its final name; a scanner destroyed with entries still waiting drops them and
// leaves no temporary file behind. A JPEG's thumbnail (decoded at a smaller scale) still
// carries the size stored in the file.
TEST(ThumbScanner, CacheEntriesAreWrittenAfterTheThumbnailsShow) {
    QTemporaryDir dir;
    TThumbnailCache cache(dir.filePath("thumbnails"));
    TThumbJob job;
    job.Folder = dir.path() + "/";
    job.ThumbSize = 75;
    for (int i = 0; i < 30; ++i) {
        const QString name = QString("p%1.jpg").arg(i, 2, 10, QChar('0'));
        QImage image(400 + i, 300, QImage::Format_RGB32);
        image.fill(QColor(0, 0, 200));
        ASSERT_TRUE(image.save(dir.filePath(name), "JPEG", 90));
        job.Files.push_back({name, 100});
    }
    const QString normal = dir.filePath("thumbnails/normal");
    const auto entries = [&] { return QDir(normal).entryList(QDir::Files | QDir::Hidden); };
    {
        TThumbScanner scanner(&cache, 2);
        bool finished = false;
        std::vector<int> widths;
        QObject::connect(&scanner, &TThumbScanner::Made,
                         [&](int, bool, int width, int, const QImage&) { widths.push_back(width); });
        QObject::connect(&scanner, &TThumbScanner::Finished, [&] { finished = true; });
        scanner.Start(job);
        ASSERT_TRUE(Wait([&] { return finished; }));
        ASSERT_EQ(widths.size(), 30u);
        for (int i = 0; i < 30; ++i) EXPECT_EQ(widths[size_t(i)], 400 + i);
        ASSERT_TRUE(Wait([&] { return entries().size() == 30; })) << entries().size();
    }
    for (const QString& name : entries()) {
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
        const QImage entry(normal + "/" + name);
        ASSERT_FALSE(entry.isNull()) << name.toStdString();
        EXPECT_EQ(entry.width(), 128);
        EXPECT_GE(entry.text("Thumb::Image::Width").toInt(), 400);
    }
    TCachedThumb cached;
    ASSERT_TRUE(cache.Read(dir.filePath("p07.jpg"), 128, cached));
    EXPECT_EQ(cached.Width, 407);
    EXPECT_EQ(cached.Height, 300);

    // Destroyed at once after a scan of other pictures: no wait for its entries, no half
    // entry and no temporary file left.
    QDir(normal).removeRecursively();
    {
        TThumbScanner scanner(&cache, 2);
        bool finished = false;
        QObject::connect(&scanner, &TThumbScanner::Finished, [&] { finished = true; });
        scanner.Start(job);
        ASSERT_TRUE(Wait([&] { return finished; }));
    }
    for (const QString& name : entries()) {
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
        EXPECT_FALSE(QImage(normal + "/" + name).isNull()) << name.toStdString();
    }
}

// Thumbnails kept in memory are found again only for the same stamp, the least recently
// used go first when the budget is full, and files of unknown time are never kept.
TEST(ThumbMemory, StampRecencyAndBudget) {
    const auto thumb = [](int side) {
        TThumbPicture picture;
        picture.Ok = true;
        picture.Width = side;
        picture.Square = QImage(side, side, QImage::Format_RGB32);
        return picture;
    };
    const TThumbStamp stamp{100, 5000, 50, qRgb(255, 255, 255)};
    const qsizetype oneEntry = thumb(50).Square.sizeInBytes() + 8 * 2 + 128;
    TThumbMemory memory(oneEntry * 2);
    memory.Keep("/pics/a", stamp, thumb(50));
    TThumbPicture found;
    ASSERT_TRUE(memory.Find("/pics/a", stamp, found));
    EXPECT_EQ(found.Width, 50);
    for (TThumbStamp changed : {TThumbStamp{101, 5000, 50, stamp.Background},
                                TThumbStamp{100, 5001, 50, stamp.Background},
                                TThumbStamp{100, 5000, 60, stamp.Background},
                                TThumbStamp{100, 5000, 50, qRgb(0, 0, 0)}})
        EXPECT_FALSE(memory.Find("/pics/a", changed, found));
    memory.Keep("/pics/b", stamp, thumb(50));
    ASSERT_TRUE(memory.Find("/pics/a", stamp, found)); // a is now the most recent
    memory.Keep("/pics/c", stamp, thumb(50));           // b goes
    EXPECT_TRUE(memory.Find("/pics/a", stamp, found));
    EXPECT_FALSE(memory.Find("/pics/b", stamp, found));
    EXPECT_TRUE(memory.Find("/pics/c", stamp, found));
    EXPECT_LE(memory.Bytes(), oneEntry * 2);
    memory.Keep("/pics/a", stamp, thumb(50)); // kept again: replaced, not doubled
    EXPECT_LE(memory.Bytes(), oneEntry * 2);
    memory.Keep("/pics/huge", stamp, thumb(400)); // larger than the whole budget
    EXPECT_FALSE(memory.Find("/pics/huge", stamp, found));
    EXPECT_TRUE(memory.Find("/pics/a", stamp, found));
    const TThumbStamp unknown{100, 0, 50, stamp.Background};
    memory.Keep("/pics/d", unknown, thumb(50));
    EXPECT_FALSE(memory.Find("/pics/d", unknown, found));
}

// A folder scanned again shows its thumbnails from memory without reading the files; a
// file whose time changed is read again.
TEST(ThumbScanner, ASecondScanUsesTheThumbnailsInMemory) {
    QTemporaryDir dir;
    TThumbnailCache cache(dir.filePath("thumbnails"));
    for (int i = 0; i < 6; ++i)
        WritePicture(dir.filePath(QString("p%1.png").arg(i)), 40 + i, 30, QColor(0, 90, 0));
    TThumbJob job;
    job.Folder = dir.path() + "/";
    job.ThumbSize = 50;
    job.Files = ThumbFolderFiles(job.Folder, 19);
    ASSERT_EQ(job.Files.size(), 6u);
    TThumbScanner scanner(&cache, 2);
    std::vector<bool> ok;
    bool finished = false;
    QObject::connect(&scanner, &TThumbScanner::Made,
                     [&](int, bool made, int, int, const QImage&) { ok.push_back(made); });
    QObject::connect(&scanner, &TThumbScanner::Finished, [&] { finished = true; });
    scanner.Start(job);
    ASSERT_TRUE(Wait([&] { return finished; }));
    EXPECT_EQ(ok, std::vector<bool>(6, true));
    EXPECT_GT(scanner.Memory().Bytes(), 0);

    // Two files turn into garbage of the same size; one keeps its time, as a copy that
    // preserves times would. Only the other is read again, and fails.
    for (const QString name : {"p2.png", "p4.png"}) {
        QFile file(dir.filePath(name));
        const QDateTime time = QFileInfo(file).lastModified();
        const qint64 size = file.size();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(size, 'x'));
        file.flush();
        file.setFileTime(name == QString("p2.png") ? time : time.addSecs(60),
                         QFileDevice::FileModificationTime);
    }
    QDir(dir.filePath("thumbnails")).removeRecursively();
    ok.clear();
    finished = false;
    scanner.Start({job.Folder, ThumbFolderFiles(job.Folder, 19), 50, job.Background});
    ASSERT_TRUE(Wait([&] { return finished; }));
    EXPECT_EQ(ok, (std::vector<bool>{true, true, true, true, false, true}));
}

// The entry encoder: pixels and transparency come back exactly, and a text that Latin-1
// cannot hold is kept in UTF-8.
TEST(ThumbPng, PixelsAlphaAndTextsComeBack) {
    QImage picture(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.setPixelColor(x, y, QColor(x * 50, y * 100, 7, 255 - x * 60));
    const QByteArray png =
        EncodeThumbPng(picture, {{"Thumb::URI", "file:///a%20b.png"}, {"Title", QString::fromUtf8("Żółw 🐢")}});
    QImage back;
    ASSERT_TRUE(back.loadFromData(png, "PNG"));
    ASSERT_EQ(back.size(), picture.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back.pixelColor(x, y), picture.pixelColor(x, y)) << x << "," << y;
    EXPECT_EQ(back.text("Thumb::URI"), "file:///a%20b.png");
    EXPECT_EQ(back.text("Title"), QString::fromUtf8("Żółw 🐢"));

    QImage opaque(4, 4, QImage::Format_RGB32);
    opaque.fill(QColor(10, 20, 30));
    ASSERT_TRUE(back.loadFromData(EncodeThumbPng(opaque, {}), "PNG"));
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.pixelColor(3, 3), QColor(10, 20, 30));
    EXPECT_TRUE(EncodeThumbPng(QImage(), {}).isEmpty());
}
