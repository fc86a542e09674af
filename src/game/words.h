// SPDX-License-Identifier: GPL-3.0-or-later
// Small pieces of the words a screen reader says for numbers on screen.
#pragma once

#include <string>

namespace mf {

// A count and its noun: "1 mine", "6 mines", "0 mines". A count given as
// shown on screen, which may be no plain number, takes the plural unless it
// is "1".
std::string countedWords(long n, const char* one, const char* many);
std::string countedWords(const std::string& n, const char* one, const char* many);

// A board's side: "6 by 6".
std::string sideWords(int side);

// A board: "6 by 6, 6 mines".
std::string boardWords(int side, long mines);

// A level by its number, as the menu and the record file count them:
// "Beginner" (1), "Intermediate" (2), "Expert" (3); any other is "Custom".
const char* levelWords(int level);

} // namespace mf
