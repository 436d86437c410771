// Byte streams: the one road in and out of the library for files, memory,
// the clipboard and fuzzers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace gif {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to `count` bytes; returns how many arrived (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes `count` bytes; returns how many were taken.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Moves the position and returns the new one. Positions before 0 clamp to 0.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    virtual int64_t Size();

    // Reads exactly `count` bytes or raises GIFException "Premature end of data".
    void ReadBuffer(void* buffer, size_t count);
    // Writes exactly `count` bytes or raises EStreamError.
    void WriteBuffer(const void* buffer, size_t count);
    // Reads one byte; false at the end of the stream.
    bool ReadByte(uint8_t& value) { return Read(&value, 1) == 1; }
    void WriteByte(uint8_t value) { WriteBuffer(&value, 1); }
    // Copies `count` bytes (all remaining when 0) from `source`; returns the count copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable stream in memory. Its bytes can be shared (Share): readers that keep parts of
// what they read, such as a frame's image data, then hold the buffer instead of a copy, and
// a later write to the stream copies the buffer first.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes)
        : data_(std::make_shared<std::vector<uint8_t>>(std::move(bytes))) {}
    explicit TMemoryStream(std::span<const uint8_t> bytes)
        : data_(std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end())) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return int64_t(data_->size()); }

    void Clear() { Own().clear(); pos_ = 0; }
    void SetSize(size_t size);
    const std::vector<uint8_t>& Bytes() const { return *data_; }
    std::vector<uint8_t> TakeBytes() { pos_ = 0; return std::move(Own()); }
    // The bytes as they stand, shared with whoever keeps the pointer.
    std::shared_ptr<const std::vector<uint8_t>> Share() const { return data_; }
    // The bytes from the current position to the end, for readers that scan in place.
    std::span<const uint8_t> Remaining() const {
        return {data_->data() + pos_, data_->size() - pos_};
    }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    // The bytes for writing: a copy of them first while they are shared.
    std::vector<uint8_t>& Own() {
        if (data_.use_count() > 1) data_ = std::make_shared<std::vector<uint8_t>>(*data_);
        return *data_;
    }

    std::shared_ptr<std::vector<uint8_t>> data_ = std::make_shared<std::vector<uint8_t>>();
    size_t pos_ = 0;
};

// A stream that keeps nothing and counts what is written: for measuring output sizes.
class TCountingStream : public TStream {
public:
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override {
        size_ += int64_t(count);
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
    int64_t Size() override { return size_; }

private:
    int64_t size_ = 0;
};

// A stream over a file of the file system. "/dev/stdin", "/dev/stdout", "/dev/stderr",
// "/dev/fd/N" and "/proc/self/fd/N" are the process's own open files (a duplicate of the
// descriptor is used), so pipes and sockets given that way work too.
class TFileStream : public TStream {
public:
    enum class Mode { OpenRead, Create };
    // Raises EStreamError ("Cannot open file "NAME". reason", "Cannot create file ...")
    // when the file cannot be opened or created; a folder cannot be opened.
    TFileStream(const std::string& fileName, Mode mode);
    // Takes over the open descriptor `fd` (closed with the stream); `fileName` names it in
    // messages.
    TFileStream(int fd, const std::string& fileName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // Reading and writing raise EStreamError ("Cannot read file "NAME". reason", "Cannot
    // write file "NAME". reason") when the system refuses, e.g. on a full disk.
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Everything from the current position to the end. A regular file is read at its
    // size; pipes and devices are read until they end, at most kMaxUnsizedRead bytes
    // (more raises EStreamError).
    std::vector<uint8_t> ReadToEnd();
    static constexpr size_t kMaxUnsizedRead = size_t(1) << 30;
    // Whether the stream is a regular file (not a pipe, device or socket).
    bool IsRegularFile() const { return regular_; }
    // The bytes written so far.
    int64_t BytesWritten() const { return written_; }
    // Flushes and closes (a regular file also reaches the disk, unless SetDurable(false));
    // raises EStreamError when the data did not get there.
    void Close();
    // Whether Close waits for the disk: not for scratch files that no crash needs to find.
    void SetDurable(bool durable) { durable_ = durable; }

private:
    void Adopt(int fd, Mode mode);
    [[noreturn]] void Fail(const char* what, int error) const;

    std::FILE* file_ = nullptr;
    std::string name_;
    bool regular_ = false;
    bool durable_ = true;
    int64_t written_ = 0;
};

// The descriptor a name like "/dev/stdout" or "/proc/self/fd/3" stands for, or -1.
int StandardDescriptor(const std::string& fileName);

// Saving that never leaves a half-written file. Symbolic links are followed, so the file
// they point to is saved. A regular file (or a new one) is written to a temporary file
// NAME.~XXXXXX beside it, which replaces it only when Commit() succeeds and takes over its
// permission bits (and owner, where the system allows). Anything else (a device, a FIFO,
// standard output) is written directly: renaming over it would replace it by a file.
class TSafeFileWriter {
public:
    // Raises EStreamError "Cannot create file "NAME". reason" when nothing can be written.
    // A writer that is not `durable` skips waiting for the disk: for scratch copies, which
    // are still never half-written, but need not survive a power cut.
    explicit TSafeFileWriter(const std::string& target, bool durable = true);
    ~TSafeFileWriter(); // removes the temporary file unless committed
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    TStream& Stream() { return *stream_; }
    // The bytes written so far.
    int64_t BytesWritten() const { return stream_->BytesWritten(); }
    // Flushes and closes, and renames the temporary file over the target; raises
    // EStreamError "Cannot write file "NAME". reason" when that fails.
    void Commit();

private:
    std::string target_;     // as given, for messages
    std::string path_;       // the file replaced: the target with its links followed
    std::string temp_;       // empty when writing directly
    int tempSlot_ = -1;      // the temporary file's registration (temp_files.h)
    std::unique_ptr<TFileStream> stream_;
    bool durable_ = true;
    bool committed_ = false;
};

} // namespace gif
