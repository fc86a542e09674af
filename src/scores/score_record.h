// SPDX-License-Identifier: GPL-3.0-or-later
// One record of the best-times file: a holder's name and a time, stored as
// two fixed-length fields of 40 and 3 bytes, 43 bytes in all.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "game/platform.h"
#include "scores/cp1252.h"

namespace mf {

// A text field of N bytes in Windows-1252. Assigning a text fills the field
// up with blanks on the right or cuts it to N characters.
template <std::size_t N>
class FixedText {
public:
    FixedText() { bytes_.fill(' '); }

    // Takes UTF-8 text; see toCp1252 for characters the field cannot hold.
    FixedText& operator=(std::string_view utf8) {
        assignBytes(toCp1252(utf8));
        return *this;
    }

    // Takes bytes as they lie in the file, already in Windows-1252.
    void assignBytes(std::string_view raw) {
        bytes_.fill(' ');
        raw.copy(bytes_.data(), N);
    }

    std::string_view bytes() const { return {bytes_.data(), N}; }

    // The text without its leading and trailing blanks, as UTF-8.
    std::string trimmed() const {
        const std::string_view all = bytes();
        const std::size_t first = all.find_first_not_of(' ');
        if (first == std::string_view::npos)
            return {};
        const std::size_t last = all.find_last_not_of(' ');
        return fromCp1252(all.substr(first, last - first + 1));
    }

    static constexpr std::size_t size() { return N; }

    bool operator==(const FixedText&) const = default;

private:
    std::array<char, N> bytes_;
};

struct ScoreRecord {
    static constexpr std::size_t kNameLength = 40;
    static constexpr std::size_t kTimeLength = 3;
    static constexpr std::size_t kSize = kNameLength + kTimeLength;

    // A new record is all blanks: an empty name and an empty time.
    FixedText<kNameLength> Name;
    FixedText<kTimeLength> Time;

    // The number at the start of Time once its outer blanks are gone; 0 when
    // it does not start with a digit. No sign is read.
    Int16 timeValue() const;

    // Stores whole seconds as decimal digits without a leading blank.
    void setTime(int seconds);

    std::string displayName() const { return Name.trimmed(); }
    std::string displayTime() const { return Time.trimmed(); }

    // The 43 bytes of the record as they lie in the file: Name, then Time.
    std::array<char, kSize> toBytes() const;
    // The reverse; anything but exactly 43 bytes gives an empty record.
    static ScoreRecord fromBytes(std::string_view bytes);

    bool operator==(const ScoreRecord&) const = default;
};

} // namespace mf
