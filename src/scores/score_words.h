// SPDX-License-Identifier: GPL-3.0-or-later
// The words a screen reader says about the records: the question after a new
// record and the rows of the Hall of Fame. Nothing here is shown on screen.
#pragma once

#include <string>

#include "game/platform.h"

namespace mf {

class Scores;

// "12 seconds", "1 second"; a stored time that is not a plain number is said
// as it is shown, "seconds" after it.
std::string secondsWords(const std::string& time);

// "New Beginner record: 12 seconds", for record 1, 2 or 3.
std::string newRecordWords(Int16 record, int seconds);

// The window's three rows: "Beginner: Ann, 12 seconds. Intermediate: ...
// Expert: ...". A row without a name leaves it out; an empty row is
// "no record".
std::string recordsWords(const Scores& window);

} // namespace mf
