// SPDX-License-Identifier: GPL-3.0-or-later
// The best-times file: three 43-byte records, Beginner, Intermediate and
// Expert, read and written by record number. No header, no checksum.
#pragma once

#include <string>

#include "game/platform.h"
#include "scores/score_record.h"

namespace mf {

// The record file lies in the working directory.
inline constexpr const char* kScoreFileName = "Vorask7.fez";

// A failure never stops the game: the player is told once per failed
// operation, in a message box, and the file is left as it was. After a
// failed Open, records read empty without further words and the first
// attempt to save reports why it cannot be done.
class ScoreFile {
public:
    ScoreFile(std::string path, MessageBox& box);
    explicit ScoreFile(MessageBox& box) : ScoreFile(kScoreFileName, box) {}
    ~ScoreFile();
    ScoreFile(const ScoreFile&) = delete;
    ScoreFile& operator=(const ScoreFile&) = delete;

    // Opens for reading and writing; a missing file is created empty, an
    // existing one is never truncated. A file that may only be read is
    // opened for reading, and saving reports the refusal.
    void Open();

    // Record n (1, 2 or 3). A record wholly or partly beyond the end of the
    // file reads empty.
    ScoreRecord Read(Int16 n);

    // Writes the 43 bytes of record n at its offset, extending a shorter file.
    // No other byte of the file changes.
    void Write(Int16 n, const ScoreRecord& r);

    // Stores r as record n only if its time is still strictly better than
    // the stored one, read again under an exclusive lock so that a second
    // copy of the game cannot slip a better time in between. True if written.
    bool WriteIfBetter(Int16 n, const ScoreRecord& r);

    // Flushes what was written to the disk and releases the file.
    void Close();

    const std::string& path() const { return path_; }

private:
    bool openWith(int flags);
    bool readRecord(Int16 n, ScoreRecord& record);
    bool writeRecord(Int16 n, const ScoreRecord& record);
    bool canWrite();
    void reportReadFailure(const std::string& reason);
    void reportSaveFailure(const std::string& reason);
    void release();

    std::string path_;
    MessageBox& box_;
    int fd_ = -1;
    bool writable_ = false;
    bool written_ = false;
    std::string whyNotWritable_;
    bool readReported_ = false;
    bool saveReported_ = false;
};

} // namespace mf
