// Helpers for the tests of the best-times file and the Hall of Fame: a
// private working directory, a scripted message box, whole-file access.
#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "game/platform.h"

namespace mf::test {

// A fresh directory made with mkdtemp that is also the working directory
// while it lives, so not even a default file name can reach a real record.
class TempDir {
public:
    TempDir() : previous_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "marrowfen-scores-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        unlockAll(path_);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    // A test may leave a folder read-only; give it back before removing.
    static void unlockAll(const std::filesystem::path& dir) {
        using std::filesystem::perms;
        std::error_code ignored;
        std::filesystem::permissions(dir, perms::owner_all, std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
                unlockAll(entry.path());
        }
    }

    std::filesystem::path previous_;
    std::filesystem::path path_;
};

inline bool runningAsRoot() { return ::geteuid() == 0; }

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The three records the clear command writes: 129 bytes.
inline std::string clearedFile() {
    const std::string record = "Anonymous" + std::string(31, ' ') + "999";
    return record + record + record;
}

// Answers with the scripted buttons in turn (OK once the script runs out)
// and keeps every box it was asked to show.
class FakeMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text;
        std::string title;
        int style;
    };

    int show(const std::string& text, const std::string& title, int style) override {
        shown.push_back({text, title, style});
        if (answers.empty())
            return vbOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<int> answers;
    std::vector<Shown> shown;
};

} // namespace mf::test
