// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "scores/cp1252.h"
#include "scores/score_record.h"
#include "scores/scores_test_support.h"

namespace mf {
namespace {

using test::blanks;

std::string nameBytes(const ScoreRecord& r) { return std::string(r.Name.bytes()); }
std::string timeBytes(const ScoreRecord& r) { return std::string(r.Time.bytes()); }

ScoreRecord withTimeField(const std::string& field) {
    ScoreRecord r;
    r.Time.assignBytes(field);
    return r;
}

TEST(Cp1252, EncodesEveryCharacterTheCodePageHasAsOneByte) {
    EXPECT_EQ(toCp1252("Anonymous 123 ~"), "Anonymous 123 ~");
    EXPECT_EQ(toCp1252("Zo\u00EB"), "Zo\xEB");
    EXPECT_EQ(toCp1252("\u00A0\u00E9\u00FF"), "\xA0\xE9\xFF");
    EXPECT_EQ(toCp1252("\u20AC\u201A\u0152\u2122\u0178"), "\x80\x82\x8C\x99\x9F");
}

TEST(Cp1252, MarksMissingCharactersAndBrokenUtf8WithAQuestionMark) {
    EXPECT_EQ(toCp1252("\u540D\u524D"), "??");                 // 名前
    EXPECT_EQ(toCp1252("a\U0001F600b"), "a?b");               // one character, one mark
    EXPECT_EQ(toCp1252("\u0081\u0100"), "??");                // a C1 control, Latin Extended
    EXPECT_EQ(toCp1252("a\xFF" "b"), "a?b");                  // a byte that starts nothing
    EXPECT_EQ(toCp1252("\xE5\x90" "A"), "??A");               // a sequence cut short
    EXPECT_EQ(toCp1252("\xC0\xAF"), "??");                    // overlong "/"
    EXPECT_EQ(toCp1252("\xED\xA0\x80"), "???");               // a surrogate
    EXPECT_EQ(toCp1252("\xF4\x90\x80\x80"), "????");          // past U+10FFFF
    EXPECT_EQ(toCp1252("\x80"), "?");                         // a lone continuation byte
}

TEST(Cp1252, DecodesToUtf8WithTheReplacementCharacterForUndefinedBytes) {
    EXPECT_EQ(fromCp1252("Zo\xEB"), "Zo\u00EB");
    EXPECT_EQ(fromCp1252("\x80\x99\x9F\xFF"), "\u20AC\u2122\u0178\u00FF");
    EXPECT_EQ(fromCp1252("\x81\x8D\x8F\x90\x9D"), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(fromCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, EveryByteSurvivesADecodeAndEncodeExceptTheUndefinedOnes) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(toCp1252(fromCp1252(byte)), undefined ? "?" : byte) << "byte " << b;
    }
}

TEST(ScoreRecord, ANewRecordIsEmpty) {
    const ScoreRecord r;
    EXPECT_EQ(nameBytes(r), blanks(40));
    EXPECT_EQ(timeBytes(r), blanks(3));
    EXPECT_EQ(r.displayName(), "");
    EXPECT_EQ(r.displayTime(), "");
    EXPECT_EQ(r.timeValue(), 0);
}

TEST(ScoreRecord, NameIsPaddedWithBlanksOrCutToFortyCharacters) {
    ScoreRecord r;
    r.Name = "Jo";
    EXPECT_EQ(nameBytes(r), "Jo" + blanks(38));
    r.Name = "";
    EXPECT_EQ(nameBytes(r), blanks(40));

    const std::string fortyFive = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRS";
    r.Name = fortyFive;
    EXPECT_EQ(nameBytes(r), fortyFive.substr(0, 40));
    r.Name = fortyFive + "TUVWX";
    EXPECT_EQ(nameBytes(r), fortyFive.substr(0, 40));

    r.Name = "  Ann  ";
    EXPECT_EQ(nameBytes(r), "  Ann" + blanks(35));
    EXPECT_EQ(r.displayName(), "Ann");
}

TEST(ScoreRecord, NameCountsCharactersNotUtf8Bytes) {
    ScoreRecord r;
    r.Name = "Zo\u00EB";
    EXPECT_EQ(nameBytes(r), "Zo\xEB" + blanks(37));
    EXPECT_EQ(r.displayName(), "Zo\u00EB");

    r.Name = "\u540D\u524D";
    EXPECT_EQ(nameBytes(r), "??" + blanks(38));

    std::string fortyOneAccents;
    for (int i = 0; i < 41; ++i)
        fortyOneAccents += "\u00E9";
    r.Name = fortyOneAccents;
    EXPECT_EQ(nameBytes(r), std::string(40, '\xE9'));
}

TEST(ScoreRecord, TimeIsWrittenWithoutALeadingBlank) {
    ScoreRecord r;
    r.setTime(7);
    EXPECT_EQ(timeBytes(r), "7  ");
    r.setTime(57);
    EXPECT_EQ(timeBytes(r), "57 ");
    r.setTime(999);
    EXPECT_EQ(timeBytes(r), "999");
    r.setTime(0);
    EXPECT_EQ(timeBytes(r), "0  ");
    r.Time = "12345";
    EXPECT_EQ(timeBytes(r), "123");
}

TEST(ScoreRecord, TimeReadsTheLeadingDigitsOfTheTrimmedField) {
    const struct {
        const char* field;
        int value;
    } cases[] = {
        {"999", 999}, {"57 ", 57}, {"12 ", 12}, {" 12", 12}, {" 1 ", 1}, {"007", 7},
        {"   ", 0},   {"x12", 0},  {"1a2", 1},  {"-5 ", 0},  {"+5 ", 0}, {"\t5 ", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withTimeField(c.field).timeValue(), c.value) << '"' << c.field << '"';
    EXPECT_EQ(withTimeField(std::string(3, '\0')).timeValue(), 0);
}

TEST(ScoreRecord, DisplayTimeDropsOuterBlanksOnly) {
    EXPECT_EQ(withTimeField("57 ").displayTime(), "57");
    EXPECT_EQ(withTimeField(" 5 ").displayTime(), "5");
    EXPECT_EQ(withTimeField("1 2").displayTime(), "1 2");
    EXPECT_EQ(withTimeField("x\xE9 ").displayTime(), "x\u00E9");
}

TEST(ScoreRecord, SerialisesAsFortyThreeBytesNameFirst) {
    ScoreRecord r;
    r.Name = "Jo";
    r.setTime(7);
    const auto bytes = r.toBytes();
    const std::string expected = "Jo" + blanks(38) + "7  ";
    EXPECT_EQ(std::string(bytes.data(), bytes.size()), expected);

    EXPECT_EQ(ScoreRecord::fromBytes(expected), r);
    EXPECT_EQ(ScoreRecord::fromBytes(expected.substr(0, 42)), ScoreRecord{});
    EXPECT_EQ(ScoreRecord::fromBytes(expected + "x"), ScoreRecord{});
}

} // namespace
} // namespace mf
