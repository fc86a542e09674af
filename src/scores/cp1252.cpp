// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/cp1252.h"

#include <array>
#include <cstddef>

namespace mf {

namespace {

constexpr char kUnknown = '?';
constexpr char32_t kReplacement = 0xFFFD;

// The characters of bytes 0x80..0x9F; 0 marks a byte the code page leaves undefined.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    auto byte = [&out](char32_t b) { out += static_cast<char>(b); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 sequence that starts at text[i] into c and returns its
// length, or 0 when the byte at i does not start a well-formed sequence.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    // Sequence length, payload bits of the lead byte, smallest code point
    // that needs this length (anything below is an overlong form).
    struct Form { unsigned char mask, pattern; std::size_t length; char32_t smallest; };
    static constexpr std::array<Form, 3> forms = {{
        {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000},
    }};
    const Form* form = nullptr;
    for (const Form& f : forms) {
        if ((lead & f.mask) == f.pattern)
            form = &f;
    }
    if (form == nullptr)
        return 0;
    const std::size_t length = form->length;
    const char32_t smallest = form->smallest;
    c = lead & static_cast<unsigned char>(~form->mask);
    if (text.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3Fu);
    }
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    if (c < smallest || c > 0x10FFFF || surrogate)
        return 0;
    return length;
}

char encodeChar(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t k = 0; k < kHighTable.size(); ++k) {
        if (kHighTable[k] != 0 && kHighTable[k] == c)
            return static_cast<char>(0x80 + k);
    }
    return kUnknown;
}

char32_t decodeByte(unsigned char b) {
    if (b < 0x80 || b >= 0xA0)
        return b;
    const char32_t c = kHighTable[b - 0x80];
    return c != 0 ? c : kReplacement;
}

} // namespace

std::string toCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(utf8, i, c);
        out += length != 0 ? encodeChar(c) : kUnknown;
        i += length != 0 ? length : 1;
    }
    return out;
}

std::string fromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        appendUtf8(out, decodeByte(static_cast<unsigned char>(b)));
    return out;
}

} // namespace mf
