// SPDX-License-Identifier: GPL-3.0-or-later
// Names in the record file are stored one byte per character in the
// Windows-1252 code page; the rest of the game speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace mf {

// UTF-8 to Windows-1252. A character the code page lacks becomes "?", and so
// does every byte that is not part of a well-formed UTF-8 sequence (overlong
// forms, surrogates and code points past U+10FFFF included). The C1 control
// characters U+0080..U+009F have no place in the code page either: "?".
std::string toCp1252(std::string_view utf8);

// Windows-1252 to UTF-8, bytes 0x80..0x9F included. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode as U+FFFD, the
// replacement character, so a stray byte shows as such instead of vanishing.
std::string fromCp1252(std::string_view bytes);

} // namespace mf
