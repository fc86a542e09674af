// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "scores/score_file.h"
#include "scores/scores_test_support.h"

namespace mf {
namespace {

using test::blanks;
using test::FakeMessageBox;
using test::readBytes;
using test::writeBytes;

ScoreRecord record(const std::string& name, int seconds) {
    ScoreRecord r;
    r.Name = name;
    r.setTime(seconds);
    return r;
}

std::string bytesOf(const ScoreRecord& r) {
    const auto bytes = r.toBytes();
    return {bytes.data(), bytes.size()};
}

class ScoreFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    FakeMessageBox box;
    std::string path = dir.file(kScoreFileName);
};

TEST_F(ScoreFileTest, OpenCreatesAMissingFileEmptyAndAllRecordsReadEmpty) {
    ScoreFile file(path, box);
    file.Open();
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    for (Int16 n = 1; n <= 3; ++n)
        EXPECT_EQ(file.Read(n), ScoreRecord{}) << "record " << n;
    file.Close();
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ScoreFileTest, TheDefaultFileLiesInTheWorkingDirectory) {
    ScoreFile file(box);
    file.Open();
    file.Close();
    EXPECT_TRUE(std::filesystem::exists(dir.file("Vorask7.fez")));
}

TEST_F(ScoreFileTest, OpenAndCloseLeaveAnExistingFileAsItWas) {
    const std::string odd = "not a record file at all, but kept\n";
    writeBytes(path, odd);
    ScoreFile file(path, box);
    file.Open();
    file.Read(1);
    file.Close();
    EXPECT_EQ(readBytes(path), odd);
}

TEST_F(ScoreFileTest, ThreeDefaultRecordsMakeTheClearedFileByteForByte) {
    ScoreFile file(path, box);
    file.Open();
    ScoreRecord r;
    r.Name = "Anonymous";
    r.Time = "999";
    for (Int16 n = 1; n <= 3; ++n)
        file.Write(n, r);
    file.Close();
    EXPECT_EQ(readBytes(path), test::clearedFile());
    EXPECT_EQ(readBytes(path).size(), 129u);
}

TEST_F(ScoreFileTest, WritingRecordTwoChangesOnlyItsFortyThreeBytes) {
    writeBytes(path, test::clearedFile());
    ScoreFile file(path, box);
    file.Open();
    file.Write(2, record("Jo", 7));
    file.Close();

    std::string expected = test::clearedFile();
    expected.replace(43, 43, "Jo" + blanks(38) + "7" + blanks(2));
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(ScoreFileTest, WritesAreReadBackByTheNextOpen) {
    ScoreFile first(path, box);
    first.Open();
    first.Write(1, record("  Ann  ", 57));
    first.Close();

    ScoreFile second(path, box);
    second.Open();
    const ScoreRecord r = second.Read(1);
    EXPECT_EQ(std::string(r.Name.bytes()), "  Ann" + blanks(35));
    EXPECT_EQ(r.displayName(), "Ann");
    EXPECT_EQ(r.timeValue(), 57);
    second.Close();
}

TEST_F(ScoreFileTest, RecordsPastTheEndOfAShortFileReadEmpty) {
    const std::string first = bytesOf(record("Ann", 12));
    writeBytes(path, first + "Bob" + blanks(20));  // 66 bytes: record 2 is cut short
    ScoreFile file(path, box);
    file.Open();
    EXPECT_EQ(file.Read(1), record("Ann", 12));
    EXPECT_EQ(file.Read(2), ScoreRecord{});
    EXPECT_EQ(file.Read(3), ScoreRecord{});
    EXPECT_EQ(file.Read(0), ScoreRecord{});
    EXPECT_EQ(file.Read(-1), ScoreRecord{});
    file.Close();
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ScoreFileTest, WritingExtendsAShortFileAndKeepsTheExtraBytesOfALongOne) {
    const std::string first = bytesOf(record("Ann", 12));
    writeBytes(path, first + "xyz");
    ScoreFile file(path, box);
    file.Open();
    file.Write(2, record("Bob", 34));
    file.Close();
    EXPECT_EQ(readBytes(path), first + bytesOf(record("Bob", 34)));

    const std::string tail = "extra bytes after the third record";
    writeBytes(path, test::clearedFile() + tail);
    file.Open();
    file.Write(3, record("Cy", 5));
    file.Close();
    EXPECT_EQ(readBytes(path), test::clearedFile().substr(0, 86) + bytesOf(record("Cy", 5)) + tail);
}

TEST_F(ScoreFileTest, NamesAreStoredInWindows1252) {
    ScoreFile file(path, box);
    file.Open();
    file.Write(1, record("Zo\u00EB", 10));
    file.Write(2, record("\u540D\u524D", 20));
    file.Close();
    const std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.substr(0, 40), "Zo\xEB" + blanks(37));
    EXPECT_EQ(bytes.substr(43, 40), "??" + blanks(38));

    file.Open();
    EXPECT_EQ(file.Read(1).displayName(), "Zo\u00EB");
    file.Close();
}

TEST_F(ScoreFileTest, ADirectoryInTheFilesPlaceIsReportedOnceForReadingAndOnceForSaving) {
    std::filesystem::create_directory(path);
    ScoreFile file(path, box);
    file.Open();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, "The best times could not be read from " + path + ": Is a directory");
    EXPECT_EQ(box.calls[0].title, "Marrowfen 2");
    EXPECT_EQ(box.calls[0].style, vbOKOnly + vbExclamation);

    EXPECT_EQ(file.Read(1), ScoreRecord{});
    EXPECT_EQ(file.Read(2), ScoreRecord{});
    EXPECT_EQ(box.calls.size(), 1u);

    file.Write(1, record("Ann", 5));
    file.Write(2, record("Ann", 5));
    EXPECT_FALSE(file.WriteIfBetter(3, record("Ann", 5)));
    file.Close();
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(box.calls[1].text, "The best times could not be saved to " + path + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(ScoreFileTest, AReadOnlyFileIsReadAndOnlySavingIsRefused) {
    if (test::runningAsRoot())
        GTEST_SKIP() << "root may write to a read-only file; the refusal cannot be provoked";
    writeBytes(path, test::clearedFile());
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    ScoreFile file(path, box);
    file.Open();
    EXPECT_TRUE(box.calls.empty());
    EXPECT_EQ(file.Read(2).displayName(), "Anonymous");
    file.Write(2, record("Jo", 7));
    EXPECT_FALSE(file.WriteIfBetter(2, record("Jo", 7)));
    file.Close();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, "The best times could not be saved to " + path + ": Permission denied");
    EXPECT_EQ(readBytes(path), test::clearedFile());
}

TEST_F(ScoreFileTest, AFolderThatCannotTakeANewFileIsReportedOnce) {
    if (test::runningAsRoot())
        GTEST_SKIP() << "root may create files in a read-only folder; the refusal cannot be provoked";
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ScoreFile file(path, box);
    file.Open();
    EXPECT_EQ(file.Read(1), ScoreRecord{});
    file.Write(1, record("Jo", 7));
    file.Close();
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(box.calls[0].text, "The best times could not be read from " + path + ": Permission denied");
    EXPECT_EQ(box.calls[1].text, "The best times could not be saved to " + path + ": Permission denied");
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Lowers the largest file this process may write, as a full disk would stop
// it, and puts everything back when it goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(ScoreFileTest, AWriteCutShortByAFullDiskIsReportedAndSparesTheOtherRecords) {
    const std::string firstTwo = test::clearedFile().substr(0, 86);
    writeBytes(path, firstTwo);
    ScoreFile file(path, box);
    file.Open();
    {
        FileSizeLimit limit(100);  // record 3 would end at byte 129
        file.Write(3, record("Jo", 7));
        file.Write(3, record("Jo", 7));
    }
    file.Close();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, "The best times could not be saved to " + path + ": File too large");
    const std::string after = readBytes(path);
    EXPECT_LE(after.size(), 100u);
    EXPECT_EQ(after.substr(0, 86), firstTwo);
}

TEST_F(ScoreFileTest, OnlyAStrictlyBetterTimeIsWrittenIfBetter) {
    writeBytes(path, test::clearedFile());
    ScoreFile file(path, box);
    file.Open();
    EXPECT_TRUE(file.WriteIfBetter(2, record("Jo", 57)));
    EXPECT_FALSE(file.WriteIfBetter(2, record("Eve", 57)));
    EXPECT_FALSE(file.WriteIfBetter(2, record("Eve", 58)));
    file.Close();
    std::string expected = test::clearedFile();
    expected.replace(43, 43, bytesOf(record("Jo", 57)));
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(ScoreFileTest, NoTimeBeatsAnEmptyRecord) {
    ScoreFile file(path, box);
    file.Open();
    EXPECT_FALSE(file.WriteIfBetter(1, record("Jo", 0)));
    file.Close();
    EXPECT_EQ(readBytes(path), "");
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ScoreFileTest, ABetterTimeStoredByASecondCopyMeanwhileIsNotOverwritten) {
    writeBytes(path, test::clearedFile());
    ScoreFile slow(path, box);
    slow.Open();
    ASSERT_EQ(slow.Read(2).timeValue(), 999);

    ScoreFile quick(path, box);
    quick.Open();
    EXPECT_TRUE(quick.WriteIfBetter(2, record("Quick", 50)));
    quick.Close();

    EXPECT_FALSE(slow.WriteIfBetter(2, record("Slow", 57)));
    EXPECT_FALSE(slow.WriteIfBetter(2, record("Equal", 50)));
    slow.Close();
    EXPECT_EQ(readBytes(path).substr(43, 43), bytesOf(record("Quick", 50)));
}

TEST_F(ScoreFileTest, WriteIfBetterWaitsForALockHeldElsewhere) {
    writeBytes(path, test::clearedFile());
    ScoreFile file(path, box);
    file.Open();

    const int other = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    std::atomic<bool> finished{false};
    bool written = true;
    std::thread winner([&] {
        written = file.WriteIfBetter(1, record("Slow", 57));
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(finished);
    const std::string quick = bytesOf(record("Quick", 40));
    ASSERT_EQ(::pwrite(other, quick.data(), quick.size(), 0), 43);
    ::flock(other, LOCK_UN);
    winner.join();
    ::close(other);
    file.Close();

    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(path).substr(0, 43), quick);
}

TEST_F(ScoreFileTest, UseBeforeOpenOrAfterCloseDoesNoHarm) {
    writeBytes(path, test::clearedFile());
    ScoreFile file(path, box);
    EXPECT_EQ(file.Read(1), ScoreRecord{});
    file.Close();
    file.Open();
    file.Close();
    file.Close();
    file.Write(1, record("Jo", 7));
    EXPECT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(readBytes(path), test::clearedFile());
}

} // namespace
} // namespace mf
