#include "gif/base/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "gif/base/exception.h"
#include "gif/base/messages.h"

namespace gif {

int64_t TStream::Size() {
    int64_t pos = Position();
    int64_t end = Seek(0, TSeekOrigin::soEnd);
    SetPosition(pos);
    return end;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw GIFException(msg::PrematureEnd);
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    uint8_t chunk[65536];
    int64_t copied = 0;
    for (;;) {
        size_t want = sizeof chunk;
        if (count > 0) want = size_t(std::min<int64_t>(want, count - copied));
        if (want == 0) break;
        size_t got = source.Read(chunk, want);
        if (got == 0) {
            if (count > 0) throw GIFException(msg::PrematureEnd);
            break;
        }
        WriteBuffer(chunk, got);
        copied += int64_t(got);
    }
    return copied;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    size_t n = pos_ < data_.size() ? std::min(count, data_.size() - pos_) : 0;
    if (n) std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0
                 : origin == TSeekOrigin::soCurrent   ? int64_t(pos_)
                                                       : int64_t(data_.size());
    int64_t target = std::max<int64_t>(0, base + offset);
    pos_ = size_t(target);
    return target;
}

void TMemoryStream::SetSize(size_t size) {
    data_.resize(size);
    pos_ = std::min(pos_, size);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::Mode::OpenRead);
    int64_t size = file.Size();
    data_.assign(size_t(size), 0);
    pos_ = 0;
    if (size > 0 && file.Read(data_.data(), size_t(size)) != size_t(size))
        throw EStreamError("Cannot read file " + fileName);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    TSafeFileWriter writer(fileName);
    writer.Stream().WriteBuffer(data_.data(), data_.size());
    writer.Commit();
}

TFileStream::TFileStream(const std::string& fileName, Mode mode) : name_(fileName) {
    file_ = std::fopen(fileName.c_str(), mode == Mode::OpenRead ? "rb" : "wb");
    if (!file_) {
        const char* what = mode == Mode::OpenRead ? "Cannot open file \"" : "Cannot create file \"";
        throw EStreamError(what + fileName + "\". " + std::strerror(errno));
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    return std::fread(buffer, 1, count, file_);
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    return std::fwrite(buffer, 1, count, file_);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
               : origin == TSeekOrigin::soCurrent   ? SEEK_CUR
                                                     : SEEK_END;
    if (fseeko(file_, offset, whence) != 0 && offset < 0) fseeko(file_, 0, SEEK_SET);
    return ftello(file_);
}

void TFileStream::Close() {
    if (!file_) return;
    bool ok = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) throw EStreamError("Cannot write file \"" + name_ + "\". " + std::strerror(errno));
}

TSafeFileWriter::TSafeFileWriter(const std::string& target) : target_(target) {
    std::string pattern = target + ".~XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw EStreamError("Cannot create file \"" + target + "\". " + std::strerror(errno));
    // mkstemp creates the file private; give it the permissions a new file gets.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    temp_ = pattern;
    try {
        stream_ = std::make_unique<TFileStream>(temp_, TFileStream::Mode::Create);
    } catch (...) {
        std::remove(temp_.c_str());
        throw;
    }
}

TSafeFileWriter::~TSafeFileWriter() {
    stream_.reset();
    if (!committed_) std::remove(temp_.c_str());
}

void TSafeFileWriter::Commit() {
    stream_->Close();
    if (std::rename(temp_.c_str(), target_.c_str()) != 0)
        throw EStreamError("Cannot write file \"" + target_ + "\". " + std::strerror(errno));
    committed_ = true;
}

} // namespace gif
