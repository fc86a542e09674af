// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/score_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace mf {

namespace {

std::string describe(int error) {
    return std::generic_category().message(error);
}

off_t offsetOf(Int16 n) {
    return static_cast<off_t>(n - 1) * static_cast<off_t>(ScoreRecord::kSize);
}

// Holds an exclusive advisory lock on the file while it lives. A file
// system that refuses locks only loses the protection against a second
// copy of the game; the record is still saved.
class ExclusiveLock {
public:
    explicit ExclusiveLock(int fd) : fd_(fd) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~ExclusiveLock() { ::flock(fd_, LOCK_UN); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    int fd_;
};

} // namespace

ScoreFile::ScoreFile(std::string path, MessageBox& box)
    : path_(std::move(path)), box_(box), whyNotWritable_(describe(EBADF)) {}

ScoreFile::~ScoreFile() {
    release();
}

void ScoreFile::Open() {
    Close();
    readReported_ = false;
    saveReported_ = false;
    // O_NONBLOCK keeps a FIFO in the file's place from hanging the game;
    // it is turned away below as not a regular file.
    const int common = O_CLOEXEC | O_NONBLOCK;
    if (openWith(O_RDWR | O_CREAT | common)) {
        writable_ = true;
        return;
    }
    const int error = errno;
    whyNotWritable_ = describe(error);
    const bool refused = error == EACCES || error == EPERM || error == EROFS;
    if (refused && openWith(O_RDONLY | common))
        return;
    reportReadFailure(whyNotWritable_);
}

bool ScoreFile::openWith(int flags) {
    const int fd = ::open(path_.c_str(), flags, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        fd_ = fd;
        return true;
    }
    ::close(fd);
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return false;
}

ScoreRecord ScoreFile::Read(Int16 n) {
    ScoreRecord record;
    readRecord(n, record);
    return record;
}

void ScoreFile::Write(Int16 n, const ScoreRecord& r) {
    if (canWrite())
        writeRecord(n, r);
}

bool ScoreFile::WriteIfBetter(Int16 n, const ScoreRecord& r) {
    if (!canWrite())
        return false;
    ExclusiveLock lock(fd_);
    ScoreRecord stored;
    if (!readRecord(n, stored) || r.timeValue() >= stored.timeValue())
        return false;
    return writeRecord(n, r);
}

void ScoreFile::Close() {
    if (fd_ >= 0 && written_ && ::fsync(fd_) != 0)
        reportSaveFailure(describe(errno));
    release();
}

// False after a failure, which has been reported.
bool ScoreFile::readRecord(Int16 n, ScoreRecord& record) {
    record = ScoreRecord{};
    if (fd_ < 0)
        return false;  // Open failed and has said so
    if (n < 1)
        return true;
    std::array<char, ScoreRecord::kSize> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t count = ::pread(fd_, bytes.data() + got, bytes.size() - got,
                                      offsetOf(n) + static_cast<off_t>(got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            reportReadFailure(describe(errno));
            return false;
        }
        if (count == 0)
            break;  // the end of the file: the record is not all there
        got += static_cast<std::size_t>(count);
    }
    if (got == bytes.size())
        record = ScoreRecord::fromBytes({bytes.data(), bytes.size()});
    return true;
}

// The record goes out at its own offset and nowhere else. A short write
// goes on from where it stopped; it usually ends in an error (a full disk),
// which is reported.
bool ScoreFile::writeRecord(Int16 n, const ScoreRecord& record) {
    if (n < 1)
        return false;
    const auto bytes = record.toBytes();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       offsetOf(n) + static_cast<off_t>(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            reportSaveFailure(describe(count < 0 ? errno : ENOSPC));
            return false;
        }
        done += static_cast<std::size_t>(count);
        written_ = true;
    }
    return true;
}

bool ScoreFile::canWrite() {
    if (!writable_)
        reportSaveFailure(whyNotWritable_);
    return writable_;
}

void ScoreFile::reportReadFailure(const std::string& reason) {
    if (std::exchange(readReported_, true))
        return;
    box_.show("The best times could not be read from " + path_ + ": " + reason,
              kTitle, vbOKOnly + vbExclamation);
}

void ScoreFile::reportSaveFailure(const std::string& reason) {
    if (std::exchange(saveReported_, true))
        return;
    box_.show("The best times could not be saved to " + path_ + ": " + reason,
              kTitle, vbOKOnly + vbExclamation);
}

// Lets go of the file without a word; what was written stays written.
void ScoreFile::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    writable_ = false;
    written_ = false;
    whyNotWritable_ = describe(EBADF);
}

} // namespace mf
