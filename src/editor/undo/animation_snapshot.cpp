#include "editor/undo/animation_snapshot.h"

#include <QFile>
#include <unordered_map>

#include "editor/core/edit_context.h"
#include "editor/core/format.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "editor/undo/command.h"
#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

namespace {

// A file of frame data written by one snapshot, deleted when nothing points into it.
struct TFrameDataFile {
    QString Path;
    ~TFrameDataFile() { DeleteFileIfNamed(Path); }
};

} // namespace

// Where one frame's image data lies on disk.
struct TStoredImageData {
    std::shared_ptr<TFrameDataFile> File;
    int64_t Offset = 0;
    int64_t Size = 0;
};

namespace {

// The image data stored so far, found by the kept data it was written from: a frame that
// has not changed hands the next snapshot the same kept data object. Only weak references:
// the snapshots own what is stored. Used from the user-interface thread only.
class TStoredDataIndex {
public:
    std::shared_ptr<const TStoredImageData> Find(const std::shared_ptr<const TEncodedImageData>& data) {
        auto it = entries_.find(data.get());
        if (it == entries_.end()) return nullptr;
        auto stored = it->second.Stored.lock();
        if (!stored || it->second.Source.lock() != data) {
            entries_.erase(it);
            return nullptr;
        }
        return stored;
    }

    void Add(const std::shared_ptr<const TEncodedImageData>& data,
             const std::shared_ptr<const TStoredImageData>& stored) {
        if (entries_.size() >= sweepAt_) Sweep();
        entries_[data.get()] = {data, stored};
    }

private:
    struct TEntry {
        std::weak_ptr<const TEncodedImageData> Source;
        std::weak_ptr<const TStoredImageData> Stored;
    };

    // Forgets the entries whose data or snapshots are gone; runs when the index has doubled.
    void Sweep() {
        std::erase_if(entries_, [](const auto& entry) {
            return entry.second.Source.expired() || entry.second.Stored.expired();
        });
        sweepAt_ = std::max<size_t>(1024, entries_.size() * 2);
    }

    std::unordered_map<const TEncodedImageData*, TEntry> entries_;
    size_t sweepAt_ = 1024;
};

TStoredDataIndex& StoredData() {
    static TStoredDataIndex index;
    return index;
}

void Fail(const QString& what, const QFile& file) {
    throw ECommandError(Format("%s %s: %s", what, file.fileName(), file.errorString()));
}

// The frame data file a snapshot writes the image data of new frames to, made at the first.
class TFrameDataWriter {
public:
    std::shared_ptr<const TStoredImageData> Append(std::span<const uint8_t> bytes) {
        if (!file_) {
            file_ = std::make_shared<TFrameDataFile>();
            file_->Path = MakeTempFile(GetTempFolder());
            if (file_->Path.isEmpty())
                throw ECommandError(Format("Could not create a temporary file in %s", GetTempFolder()));
            out_.setFileName(file_->Path);
            if (!out_.open(QIODevice::WriteOnly)) Fail("Could not write", out_);
        }
        auto stored = std::make_shared<TStoredImageData>();
        stored->File = file_;
        stored->Offset = written_;
        stored->Size = int64_t(bytes.size());
        if (out_.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
            qint64(bytes.size()))
            Fail("Could not write", out_);
        written_ += int64_t(bytes.size());
        return stored;
    }
    void Finish() {
        if (file_ && !out_.flush()) Fail("Could not write", out_);
        out_.close();
    }

private:
    std::shared_ptr<TFrameDataFile> file_;
    QFile out_;
    int64_t written_ = 0;
};

} // namespace

TAnimationSnapshot::TAnimationSnapshot(TEditContext& context)
    : path_(MakeTempFile(GetTempFolder())) {
    if (path_.isEmpty())
        throw ECommandError(Format("Could not create a temporary file in %s", GetTempFolder()));
    TBusyCursor busy(context.Prompter);
    try {
        Write(context.Image);
    } catch (const std::exception& error) {
        pieces_.clear();   // a frame data file of this snapshot alone goes with it
        DeleteFileIfNamed(path_);
        if (dynamic_cast<const ECommandError*>(&error)) throw;
        throw ECommandError(error.what());
    }
}

TAnimationSnapshot::~TAnimationSnapshot() {
    DeleteFileIfNamed(path_);
}

void TAnimationSnapshot::Write(TGIFImage& image) {
    // The file a save would write, frame by frame; each frame's image data (the last thing
    // the frame writes, and what it keeps from the write) is cut out and stored apart.
    TMemoryStream skeleton;
    image.Header().SaveToStream(skeleton);
    TFrameDataWriter newData;
    TStoredDataIndex& index = StoredData();
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        frame.SaveToStream(skeleton);
        const std::shared_ptr<const TEncodedImageData> encoded = frame.SharedEncodedData();
        if (frame.IsBlank() || !encoded) continue;
        const int64_t at = skeleton.Size() - int64_t(encoded->Size);
        skeleton.SetSize(size_t(at));
        skeleton.SetPosition(at);
        std::shared_ptr<const TStoredImageData> stored = index.Find(encoded);
        if (!stored) {
            stored = newData.Append(encoded->Bytes());
            index.Add(encoded, stored);
        }
        pieces_.push_back({at, i, std::move(stored)});
    }
    TGIFTrailer(&image).SaveToStream(skeleton);
    newData.Finish();

    // A scratch copy: no waiting for the disk.
    QFile out(path_);
    const auto& bytes = skeleton.Bytes();
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()) ||
        !out.flush())
        Fail("Could not write", out);
}

void TAnimationSnapshot::LoadInto(TGIFImage& image) const {
    QFile in(path_);
    if (!in.open(QIODevice::ReadOnly)) Fail("Could not read", in);
    const QByteArray skeleton = in.readAll();
    std::vector<uint8_t> bytes;
    int64_t total = skeleton.size();
    for (const TPiece& piece : pieces_) total += piece.Data->Size;
    bytes.reserve(size_t(total));

    std::unordered_map<const TFrameDataFile*, std::unique_ptr<QFile>> open;
    int64_t from = 0;
    for (const TPiece& piece : pieces_) {
        if (piece.At < from || piece.At > skeleton.size()) throw ECommandError(Format("Damaged snapshot %s", path_));
        bytes.insert(bytes.end(), skeleton.begin() + from, skeleton.begin() + piece.At);
        from = piece.At;
        std::unique_ptr<QFile>& file = open[piece.Data->File.get()];
        if (!file) {
            file = std::make_unique<QFile>(piece.Data->File->Path);
            if (!file->open(QIODevice::ReadOnly)) Fail("Could not read", *file);
        }
        const size_t start = bytes.size();
        bytes.resize(start + size_t(piece.Data->Size));
        if (!file->seek(piece.Data->Offset) ||
            file->read(reinterpret_cast<char*>(bytes.data() + start), piece.Data->Size) != piece.Data->Size)
            Fail("Could not read", *file);
    }
    bytes.insert(bytes.end(), skeleton.begin() + from, skeleton.end());

    TMemoryStream stream(std::move(bytes));
    try {
        image.LoadFromStream(stream);
    } catch (const std::exception& error) {
        throw ECommandError(error.what());
    }
    // The frames read back keep their data: the next snapshot shares what this one stored.
    TStoredDataIndex& index = StoredData();
    for (const TPiece& piece : pieces_) {
        if (piece.Frame >= image.FrameCount()) break;
        auto encoded = image.Frame(piece.Frame)->SharedEncodedData();
        if (encoded && int64_t(encoded->Size) == piece.Data->Size) index.Add(encoded, piece.Data);
    }
}

} // namespace editor
