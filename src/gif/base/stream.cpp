#include "gif/base/stream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/temp_files.h"

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
    const std::vector<uint8_t>& data = *data_;
    size_t n = pos_ < data.size() ? std::min(count, data.size() - pos_) : 0;
    if (n) std::memcpy(buffer, data.data() + pos_, n);
    pos_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    std::vector<uint8_t>& data = Own();
    if (pos_ + count > data.size()) data.resize(pos_ + count);
    std::memcpy(data.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0
                 : origin == TSeekOrigin::soCurrent   ? int64_t(pos_)
                                                       : int64_t(data_->size());
    int64_t target = std::max<int64_t>(0, base + offset);
    pos_ = size_t(target);
    return target;
}

void TMemoryStream::SetSize(size_t size) {
    Own().resize(size);
    pos_ = std::min(pos_, size);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::Mode::OpenRead);
    data_ = std::make_shared<std::vector<uint8_t>>(file.ReadToEnd());
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    TSafeFileWriter writer(fileName);
    writer.Stream().WriteBuffer(data_->data(), data_->size());
    writer.Commit();
}

namespace {

std::string Quoted(const std::string& fileName) {
    return "\"" + fileName + "\". ";
}

// Follows symbolic links from `path` to the name finally written (which need not exist
// yet). A link to one of the process's own descriptors ends the walk: its target names
// an open file, not a place in the file system.
std::string FollowLinks(const std::string& path, const std::string& target) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (StandardDescriptor(current) >= 0) return current;
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buffer(size_t(std::max<off_t>(st.st_size, 255)) + 1);
        ssize_t length;
        while ((length = readlink(current.c_str(), buffer.data(), buffer.size())) >= 0 &&
               size_t(length) == buffer.size())
            buffer.resize(buffer.size() * 2);
        if (length <= 0) return current;
        std::string next(buffer.data(), size_t(length));
        if (next[0] != '/') {
            size_t slash = current.rfind('/');
            if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
        }
        current = std::move(next);
    }
    throw EStreamError("Cannot create file " + Quoted(target) + std::strerror(ELOOP));
}

// Six characters for a temporary name that is hard to guess.
std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != ssize_t(sizeof bits))
        bits = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (uint64_t(getpid()) << 32);
    std::string suffix;
    for (int i = 0; i < 6; ++i, bits /= 62)
        suffix += kLetters[bits % 62];
    return suffix;
}

// Makes the rename of a file in `path`'s folder durable; failures change nothing.
void SyncFolder(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

int StandardDescriptor(const std::string& fileName) {
    if (fileName == "/dev/stdin") return 0;
    if (fileName == "/dev/stdout") return 1;
    if (fileName == "/dev/stderr") return 2;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!fileName.starts_with(prefix)) continue;
        std::string_view digits = std::string_view(fileName).substr(prefix.size());
        if (digits.empty() || digits.size() > 9) return -1;
        int fd = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return -1;
            fd = fd * 10 + (c - '0');
        }
        return fd;
    }
    return -1;
}

TFileStream::TFileStream(const std::string& fileName, Mode mode) : name_(fileName) {
    const char* what = mode == Mode::OpenRead ? "Cannot open file " : "Cannot create file ";
    int fd;
    if (int standard = StandardDescriptor(fileName); standard >= 0)
        fd = fcntl(standard, F_DUPFD_CLOEXEC, 0);
    else if (mode == Mode::OpenRead)
        fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    else
        fd = open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(what, errno);
    Adopt(fd, mode);
}

TFileStream::TFileStream(int fd, const std::string& fileName, Mode mode) : name_(fileName) {
    Adopt(fd, mode);
}

void TFileStream::Adopt(int fd, Mode mode) {
    const char* what = mode == Mode::OpenRead ? "Cannot open file " : "Cannot create file ";
    struct stat st;
    int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    if (error == 0) {
        regular_ = S_ISREG(st.st_mode);
        file_ = fdopen(fd, mode == Mode::OpenRead ? "rb" : "wb");
        if (!file_) error = errno;
    }
    if (error != 0) {
        close(fd);
        Fail(what, error);
    }
}

void TFileStream::Fail(const char* what, int error) const {
    throw EStreamError(what + Quoted(name_) + std::strerror(error));
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    size_t got = std::fread(buffer, 1, count, file_);
    if (got < count && std::ferror(file_)) Fail("Cannot read file ", errno);
    return got;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    size_t put = std::fwrite(buffer, 1, count, file_);
    written_ += int64_t(put);
    if (put < count) Fail("Cannot write file ", errno);
    return put;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
               : origin == TSeekOrigin::soCurrent   ? SEEK_CUR
                                                     : SEEK_END;
    if (fseeko(file_, offset, whence) != 0 && offset < 0) fseeko(file_, 0, SEEK_SET);
    return ftello(file_);
}

std::vector<uint8_t> TFileStream::ReadToEnd() {
    std::vector<uint8_t> bytes;
    struct stat st;
    off_t pos = regular_ ? ftello(file_) : -1;
    if (pos >= 0 && fstat(fileno(file_), &st) == 0 && st.st_size > pos) {
        bytes.resize(size_t(st.st_size - pos));
        bytes.resize(Read(bytes.data(), bytes.size()));
    }
    // Whatever a pipe or device sends, or a file that grew meanwhile.
    std::vector<uint8_t> chunk(65536);
    while (size_t got = Read(chunk.data(), chunk.size())) {
        if (!regular_ && bytes.size() + got > kMaxUnsizedRead) Fail("Cannot read file ", EFBIG);
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + ptrdiff_t(got));
    }
    return bytes;
}

void TFileStream::Close() {
    if (!file_) return;
    int error = std::fflush(file_) == 0 ? 0 : errno;
    // Pipes and devices cannot be synchronised; only files wait for the disk.
    if (error == 0 && regular_ && durable_ && fsync(fileno(file_)) != 0) error = errno;
    if (std::fclose(file_) != 0 && error == 0) error = errno;
    file_ = nullptr;
    if (error != 0) Fail("Cannot write file ", error);
}

TSafeFileWriter::TSafeFileWriter(const std::string& target, bool durable)
    : target_(target), durable_(durable) {
    auto fail = [&](int error) {
        throw EStreamError("Cannot create file " + Quoted(target) + std::strerror(error));
    };
    path_ = FollowLinks(target, target);
    if (StandardDescriptor(path_) >= 0) {
        stream_ = std::make_unique<TFileStream>(path_, TFileStream::Mode::Create);
        return;
    }
    struct stat st;
    bool exists = stat(path_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) fail(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, FIFO or socket: written in place, never replaced.
        int fd = open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) fail(errno);
        stream_ = std::make_unique<TFileStream>(fd, target, TFileStream::Mode::Create);
        return;
    }
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp_ = path_ + ".~" + RandomSuffix();
        // Registered before it exists, so that a signal cannot come between its creation
        // and its registration. New files get the usual permissions (0666 less the umask).
        tempSlot_ = RegisterTempFile(temp_.c_str());
        fd = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) break;
        int error = errno;
        UnregisterTempFile(tempSlot_);
        tempSlot_ = -1;
        if (error != EEXIST) {
            temp_.clear();
            fail(error);
        }
    }
    if (fd < 0) {
        temp_.clear();
        fail(EEXIST);
    }
    if (exists) {
        // The replacement keeps the old file's owner where allowed and its permission
        // bits; set-id bits only go with the owner they were meant for.
        mode_t mode = st.st_mode & 07777;
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            mode &= ~mode_t(S_ISUID);
            if (fchown(fd, uid_t(-1), st.st_gid) != 0) mode &= ~mode_t(S_ISGID);
        }
        fchmod(fd, mode);
    }
    try {
        stream_ = std::make_unique<TFileStream>(fd, target, TFileStream::Mode::Create);
        stream_->SetDurable(durable_);
    } catch (...) {
        unlink(temp_.c_str());
        UnregisterTempFile(tempSlot_);
        throw;
    }
}

TSafeFileWriter::~TSafeFileWriter() {
    stream_.reset();
    if (!committed_ && !temp_.empty()) unlink(temp_.c_str());
    UnregisterTempFile(tempSlot_);
}

void TSafeFileWriter::Commit() {
    stream_->Close();
    if (!temp_.empty()) {
        if (std::rename(temp_.c_str(), path_.c_str()) != 0)
            throw EStreamError("Cannot write file " + Quoted(target_) + std::strerror(errno));
        UnregisterTempFile(tempSlot_);
        tempSlot_ = -1;
        if (durable_) SyncFolder(path_);
    }
    committed_ = true;
}

} // namespace gif
