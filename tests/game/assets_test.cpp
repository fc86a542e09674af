// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures and sounds shipped in assets/: present under the names the
// game asks for, at the pixel sizes the window lays out, and in a wave
// format every player can open.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t bigEndian32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | std::uint32_t{b[at + 3]};
}

std::uint32_t littleEndian32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 |
           std::uint32_t{b[at + 2]} << 16 | std::uint32_t{b[at + 3]} << 24;
}

std::uint16_t littleEndian16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::string tag(const Bytes& b, std::size_t at) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                       b.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

// One picture: a PNG whose header chunk gives the expected size.
void checkPicture(const fs::path& path, std::uint32_t width, std::uint32_t height) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const Bytes png = readAll(path);
    ASSERT_GE(png.size(), 24u) << "missing or truncated";
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), signature);
    EXPECT_EQ(tag(png, 12), "IHDR");
    EXPECT_EQ(bigEndian32(png, 16), width);
    EXPECT_EQ(bigEndian32(png, 20), height);
}

// One sound: 16-bit mono PCM at 44100 Hz lasting between the two limits.
void checkSound(const fs::path& path, double minSeconds, double maxSeconds) {
    const Bytes wav = readAll(path);
    ASSERT_GE(wav.size(), 12u) << "missing or truncated";
    ASSERT_EQ(tag(wav, 0), "RIFF");
    ASSERT_EQ(tag(wav, 8), "WAVE");
    EXPECT_EQ(littleEndian32(wav, 4), wav.size() - 8);

    // Walk the chunks; a chunk of odd size is followed by a pad byte.
    std::uint16_t format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0, dataBytes = 0;
    bool haveFormat = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::string id = tag(wav, at);
        const std::uint32_t size = littleEndian32(wav, at + 4);
        ASSERT_LE(at + 8 + size, wav.size()) << "chunk " << id << " runs past the end";
        if (id == "fmt ") {
            ASSERT_GE(size, 16u);
            format = littleEndian16(wav, at + 8);
            channels = littleEndian16(wav, at + 10);
            rate = littleEndian32(wav, at + 12);
            bits = littleEndian16(wav, at + 22);
            haveFormat = true;
        } else if (id == "data") {
            dataBytes = size;
            haveData = true;
        }
        at += 8 + size + (size & 1u);
    }
    ASSERT_TRUE(haveFormat && haveData);
    EXPECT_EQ(format, 1) << "not plain PCM";
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(rate, 44100u);
    ASSERT_TRUE(channels > 0 && bits >= 8 && rate > 0);

    const double seconds = static_cast<double>(dataBytes) / (channels * (bits / 8)) / rate;
    EXPECT_GE(seconds, minSeconds);
    EXPECT_LE(seconds, maxSeconds);
}

// Reads the assets of the source tree named by MARROWFEN_SOURCE_DIR while
// working in a fresh folder of its own, so nothing depends on where the
// tests were started.
class Assets : public ::testing::Test {
protected:
    void SetUp() override {
        const char* source = std::getenv("MARROWFEN_SOURCE_DIR");
        if (source == nullptr || *source == '\0')
            GTEST_SKIP() << "MARROWFEN_SOURCE_DIR is not set";
        assets_ = fs::absolute(source) / "assets";
        home_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "marrowfen-assets-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        work_ = pattern;
        fs::current_path(work_);
    }

    void TearDown() override {
        if (work_.empty()) return;
        fs::current_path(home_);
        fs::remove_all(work_);
    }

    fs::path assets_, home_, work_;
};

TEST_F(Assets, PicturesHaveTheirPixelSizes) {
    struct Expected { const char* file; std::uint32_t width, height; };
    const Expected pictures[] = {
        {"Img1.png", 26, 26},      {"Img2.png", 26, 26},      {"img3.png", 26, 26},
        {"img4.png", 26, 26},      {"img5.png", 26, 26},      {"img6.png", 26, 26},
        {"img7.png", 26, 26},      {"img8.png", 26, 26},      {"imgHit.png", 26, 26},
        {"imgFlag.png", 26, 26},   {"imgNone1_0.png", 26, 26}, {"imgNone1_1.png", 26, 26},
        {"imgNone1_2.png", 26, 26}, {"imgNone1_3.png", 26, 26}, {"imgNone1_4.png", 26, 26},
        {"ImgBomb.png", 26, 26},   {"ImgNoBomb.png", 26, 26}, {"ImgSkull.png", 40, 32},
        {"ImgGrowl.png", 40, 32},  {"ImgVorask.png", 40, 32}, {"Ha1.png", 40, 32},
        {"Ha2.png", 40, 32},       {"ImgHodrel.png", 40, 32}, {"imgBrnM1.png", 32, 32},
        {"imgBrnM2.png", 32, 32},  {"imgBrnM3.png", 32, 32},  {"ImgBrnM4.png", 32, 32},
        {"Blow.png", 64, 64},      {"imgLogo.png", 32, 32},   {"Icon.png", 32, 32},
    };
    for (const Expected& e : pictures) {
        SCOPED_TRACE(e.file);
        checkPicture(assets_ / "images" / e.file, e.width, e.height);
    }
}

TEST_F(Assets, SoundsArePcmWavesOfTheirLength) {
    // The explosion and the farewell hold the game up while they play.
    struct Expected { const char* file; double minSeconds, maxSeconds; };
    const Expected sounds[] = {
        {"Vorask1.fez", 0.3, 2.0}, // explosion
        {"Vorask2.fez", 0.3, 3.0}, // new record
        {"Vorask3.fez", 0.3, 3.0}, // help window
        {"Vorask4.fez", 0.3, 2.0}, // farewell
        {"Vorask5.fez", 0.3, 3.0}, // win
        {"Vorask6.fez", 1.0, 1.5}, // laugh, while the face laughs
    };
    for (const Expected& e : sounds) {
        SCOPED_TRACE(e.file);
        checkSound(assets_ / "sounds" / e.file, e.minSeconds, e.maxSeconds);
    }
}

} // namespace
