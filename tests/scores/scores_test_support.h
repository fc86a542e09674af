// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the tests of the best-times file and the Hall of Fame: a
// private working directory, and the shared fakes under short names.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "fakes.h"

namespace mf::test {

using fakes::FakeMessageBox;
using fakes::readBytes;
using fakes::writeBytes;

// A fresh private directory that is also the working directory while it
// lives, so not even a default file name can reach a real record.
class TempDir : public fakes::TempDir {
public:
    TempDir() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(path()); }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

private:
    std::filesystem::path previous_;
};

// N blanks: the padding of a record's fields.
inline std::string blanks(std::size_t n) { return std::string(n, ' '); }

inline bool runningAsRoot() { return ::geteuid() == 0; }

// The three records the clear command writes: 129 bytes.
inline std::string clearedFile() {
    const std::string record = "Anonymous" + std::string(31, ' ') + "999";
    return record + record + record;
}

} // namespace mf::test
