// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/words.h"

namespace mf {

std::string countedWords(const std::string& n, const char* one, const char* many) {
    return n + " " + (n == "1" ? one : many);
}

std::string countedWords(long n, const char* one, const char* many) {
    return countedWords(std::to_string(n), one, many);
}

std::string sideWords(int side) {
    const std::string n = std::to_string(side);
    return n + " by " + n;
}

std::string boardWords(int side, long mines) {
    return sideWords(side) + ", " + countedWords(mines, "mine", "mines");
}

const char* levelWords(int level) {
    switch (level) {
    case 1:
        return "Beginner";
    case 2:
        return "Intermediate";
    case 3:
        return "Expert";
    default:
        return "Custom";
    }
}

} // namespace mf
