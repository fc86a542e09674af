// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/score_words.h"

#include "game/words.h"
#include "scores/scores.h"

namespace mf {

namespace {

std::string rowWords(const char* level, const std::string& name, const std::string& time) {
    std::string words;
    if (!name.empty())
        words = name;
    if (!time.empty())
        words += (words.empty() ? "" : ", ") + secondsWords(time);
    return std::string(level) + ": " + (words.empty() ? "no record" : words) + ".";
}

} // namespace

std::string secondsWords(const std::string& time) { return countedWords(time, "second", "seconds"); }

std::string newRecordWords(Int16 record, int seconds) {
    return std::string("New ") + levelWords(record) + " record: " + secondsWords(std::to_string(seconds));
}

std::string recordsWords(const Scores& window) {
    std::string words;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0)
            words += ' ';
        words += rowWords(levelWords(int(i) + 1), window.LblName[i].Caption, window.LblTime[i].Caption);
    }
    return words;
}

} // namespace mf
