// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/score_record.h"

namespace mf {

// Three digits at most, so the value always fits the game's 16-bit integers.
static_assert(ScoreRecord::kTimeLength <= 4);

Int16 ScoreRecord::timeValue() const {
    const std::string_view text = Time.bytes();
    std::size_t i = text.find_first_not_of(' ');
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return static_cast<Int16>(value);
}

void ScoreRecord::setTime(int seconds) {
    Time = std::to_string(seconds);
}

std::array<char, ScoreRecord::kSize> ScoreRecord::toBytes() const {
    std::array<char, kSize> bytes{};
    Name.bytes().copy(bytes.data(), kNameLength);
    Time.bytes().copy(bytes.data() + kNameLength, kTimeLength);
    return bytes;
}

ScoreRecord ScoreRecord::fromBytes(std::string_view bytes) {
    ScoreRecord record;
    if (bytes.size() != kSize)
        return record;
    record.Name.assignBytes(bytes.substr(0, kNameLength));
    record.Time.assignBytes(bytes.substr(kNameLength));
    return record;
}

} // namespace mf
