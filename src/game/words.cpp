// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/words.h"

namespace mf {

std::string countedWords(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string sideWords(int side) {
    const std::string n = std::to_string(side);
    return n + " by " + n;
}

} // namespace mf
