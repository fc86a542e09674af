// SPDX-License-Identifier: GPL-3.0-or-later
// Random record files of every length, and random names, against the rules
// of the best-times file and the Hall of Fame. The generator is seeded, so a
// failure repeats; the case number is printed with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "scores/cp1252.h"
#include "scores/score_file.h"
#include "scores/scores.h"
#include "scores/scores_test_support.h"

namespace mf {
namespace {

using test::readBytes;
using test::writeBytes;

constexpr int kCases = 3000;

class Generator {
public:
    explicit Generator(unsigned seed) : engine_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

    // Mostly what a record holds (blanks, digits, letters), with some bytes
    // from anywhere: controls, NUL, the high half of the code page.
    char byte() {
        static const std::string usual = "      0123456789ABCxyz";
        if (below(4) != 0)
            return usual[static_cast<std::size_t>(below(static_cast<int>(usual.size())))];
        return static_cast<char>(below(256));
    }

    std::string bytes(std::size_t n) {
        std::string s(n, ' ');
        std::generate(s.begin(), s.end(), [this] { return byte(); });
        return s;
    }

    // Empty, short, exactly one to three records, or oversized.
    std::string file() {
        static const std::size_t sizes[] = {0, 1, 42, 43, 44, 85, 86, 128, 129, 130, 400};
        if (below(2) == 0)
            return bytes(sizes[static_cast<std::size_t>(below(11))]);
        return bytes(static_cast<std::size_t>(below(300)));
    }

    // Random UTF-8 and not-quite-UTF-8 of up to 60 characters.
    std::string name() {
        static const char* pieces[] = {"a", " ", "Z", "\u00EB", "\u20AC", "\u540D", "\U0001F600",
                                       "\xFF", "\xE5\x90", "\x81", "9"};
        std::string s;
        for (int i = below(61); i > 0; --i)
            s += pieces[below(11)];
        return s;
    }

    ScoreRecord record() {
        ScoreRecord r;
        r.Name = name();
        if (below(3) == 0)
            r.Time.assignBytes(bytes(3));
        else
            r.setTime(below(1000));
        return r;
    }

private:
    std::mt19937 engine_;
};

// The time rule written out once more, independently: skip blanks, then
// take digits.
int expectedTime(std::string_view field) {
    int value = 0;
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    while (i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])))
        value = value * 10 + (field[i++] - '0');
    return value;
}

std::string withoutOuterBlanks(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    while (!s.empty() && s.front() == ' ')
        s.erase(0, 1);
    return s;
}

bool hasOuterBlank(const std::string& s) {
    return !s.empty() && (s.front() == ' ' || s.back() == ' ');
}

std::string expectedRecord(const std::string& file, Int16 n) {
    const std::size_t offset = static_cast<std::size_t>(n - 1) * ScoreRecord::kSize;
    if (file.size() < offset + ScoreRecord::kSize)
        return std::string(ScoreRecord::kSize, ' ');
    return file.substr(offset, ScoreRecord::kSize);
}

void checkReads(ScoreFile& file, Scores& window, const std::string& contents) {
    for (Int16 n = 1; n <= 3; ++n) {
        const ScoreRecord r = file.Read(n);
        const auto bytes = r.toBytes();
        const std::string expected = expectedRecord(contents, n);
        ASSERT_EQ(std::string(bytes.data(), bytes.size()), expected) << "record " << n;
        ASSERT_EQ(r.timeValue(), expectedTime(expected.substr(40))) << "record " << n;
        ASSERT_GE(r.timeValue(), 0);
        ASSERT_LE(r.timeValue(), 999);
        const std::size_t row = static_cast<std::size_t>(n - 1);
        ASSERT_EQ(window.LblName[row].Caption, r.displayName());
        ASSERT_EQ(window.LblTime[row].Caption, r.displayTime());
        ASSERT_FALSE(hasOuterBlank(r.displayName()));
        ASSERT_FALSE(hasOuterBlank(r.displayTime()));
    }
}

// Only the 43 bytes of record n may differ; a shorter file grows to hold
// them, with zeros in any gap.
void checkWrite(const std::string& before, const std::string& after, Int16 n, const ScoreRecord& r) {
    const std::size_t offset = static_cast<std::size_t>(n - 1) * ScoreRecord::kSize;
    const std::size_t end = offset + ScoreRecord::kSize;
    std::string expected = before;
    if (expected.size() < end)
        expected.resize(end, '\0');
    const auto bytes = r.toBytes();
    expected.replace(offset, ScoreRecord::kSize, bytes.data(), bytes.size());
    ASSERT_EQ(after, expected) << "record " << n;
}

TEST(ScoreFuzz, RandomFilesAreReadByTheRulesAndAWriteTouchesOnlyItsRecord) {
    test::TempDir dir;
    test::FakeMessageBox box;
    const std::string path = dir.file(kScoreFileName);
    Generator random(20240611);
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const std::string contents = random.file();
        writeBytes(path, contents);

        Scores window(box, path);
        window.Form_Load();
        window.ShowScores();
        ScoreFile file(path, box);
        file.Open();
        ASSERT_NO_FATAL_FAILURE(checkReads(file, window, contents));
        window.Form_Unload();

        const auto n = static_cast<Int16>(random.below(3) + 1);
        const ScoreRecord r = random.record();
        file.Write(n, r);
        file.Close();
        ASSERT_NO_FATAL_FAILURE(checkWrite(contents, readBytes(path), n, r));
    }
    EXPECT_TRUE(box.calls.empty());
}

TEST(ScoreFuzz, AnyNameFillsExactlyTheFieldAndShowsTrimmed) {
    Generator random(7);
    for (int i = 0; i < kCases; ++i) {
        const std::string name = random.name();
        SCOPED_TRACE("case " + std::to_string(i));
        ScoreRecord r;
        r.Name = name;
        const std::string stored(r.Name.bytes());
        const std::string encoded = toCp1252(name);
        ASSERT_EQ(stored, (encoded + std::string(40, ' ')).substr(0, 40));
        ASSERT_FALSE(hasOuterBlank(r.displayName()));
        ASSERT_EQ(toCp1252(r.displayName()), withoutOuterBlanks(stored));
    }
}

} // namespace
} // namespace mf
