// SPDX-License-Identifier: GPL-3.0-or-later
// Small pieces of the words a screen reader says for numbers on screen.
#pragma once

#include <string>

namespace mf {

// A count and its noun: "1 mine", "6 mines", "0 mines".
std::string countedWords(long n, const char* one, const char* many);

// A board's side: "6 by 6".
std::string sideWords(int side);

} // namespace mf
