// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/score_words.h"

#include <array>

#include "scores/scores.h"

namespace mf {

namespace {

constexpr std::array<const char*, 3> kLevels = {"Beginner", "Intermediate", "Expert"};

std::string rowWords(const char* level, const std::string& name, const std::string& time) {
    std::string words;
    if (!name.empty())
        words = name;
    if (!time.empty())
        words += (words.empty() ? "" : ", ") + secondsWords(time);
    return std::string(level) + ": " + (words.empty() ? "no record" : words) + ".";
}

} // namespace

std::string secondsWords(const std::string& time) {
    return time + (time == "1" ? " second" : " seconds");
}

std::string newRecordWords(Int16 record, int seconds) {
    const std::string level = kLevels[static_cast<std::size_t>(record - 1)];
    return "New " + level + " record: " + secondsWords(std::to_string(seconds));
}

std::string recordsWords(const Scores& window) {
    std::string words;
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
        if (i > 0)
            words += ' ';
        words += rowWords(kLevels[i], window.LblName[i].Caption, window.LblTime[i].Caption);
    }
    return words;
}

} // namespace mf
