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

// A growable stream in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
    explicit TMemoryStream(std::span<const uint8_t> bytes) : data_(bytes.begin(), bytes.end()) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return int64_t(data_.size()); }

    void Clear() { data_.clear(); pos_ = 0; }
    void SetSize(size_t size);
    const std::vector<uint8_t>& Bytes() const { return data_; }
    std::vector<uint8_t> TakeBytes() { pos_ = 0; return std::move(data_); }
    // The bytes from the current position to the end, for readers that scan in place.
    std::span<const uint8_t> Remaining() const {
        return {data_.data() + pos_, data_.size() - pos_};
    }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<uint8_t> data_;
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

// A stream over a file of the file system.
class TFileStream : public TStream {
public:
    enum class Mode { OpenRead, Create };
    // Raises EStreamError when the file cannot be opened or created.
    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Flushes and closes; raises EStreamError when the data did not reach the disk.
    void Close();

private:
    std::FILE* file_ = nullptr;
    std::string name_;
};

// Saving that never leaves a half-written file: the data goes into a temporary
// file beside the target, which replaces the target only when Commit() succeeds.
class TSafeFileWriter {
public:
    explicit TSafeFileWriter(const std::string& target);
    ~TSafeFileWriter();   // removes the temporary file unless committed
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    TStream& Stream() { return *stream_; }
    // Flushes, closes and renames the temporary file over the target.
    void Commit();

private:
    std::string target_;
    std::string temp_;
    std::unique_ptr<TFileStream> stream_;
    bool committed_ = false;
};

} // namespace gif
