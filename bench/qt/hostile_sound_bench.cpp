// SPDX-License-Identifier: GPL-3.0-or-later
// What a sound file costs the game, whatever its header claims: the time to
// decode (or refuse) it and the peak resident memory it adds, for files made
// to hurt and for the largest sound the game takes.
//
//   build/bench/hostile_sound_bench
//
// Targets: a refused file within 1 ms and 1 MiB; the largest accepted sound
// (30 s of 48 kHz stereo) within 8 MiB. A report, not a test.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include "audio/tone_file.h"
#include "game/qt/sound_decoder.h"

namespace {

QTemporaryDir* folder = nullptr;

QString path(const char* name) { return folder->filePath(name); }

// STREAMINFO only: rate, channels and frames as claimed, no audio.
QByteArray flacHeader(int rate, int channels, qint64 frames) {
    QByteArray info;
    const auto put = [&info](quint64 value, int bytes) {
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            info.append(char((value >> shift) & 0xff));
    };
    put(4096, 2);
    put(4096, 2);
    put(0, 3);
    put(0, 3);
    put(quint64(rate) << 44 | quint64(channels - 1) << 41 | quint64(15) << 36 | quint64(frames), 8);
    info.append(16, '\0');
    return "fLaC" + QByteArray("\x80\x00\x00\x22", 4) + info;
}

bool write(const char* name, const QByteArray& bytes) {
    QFile f(path(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

long kib(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return 0;
}

void decode(benchmark::State& state, const char* name) {
    const std::string file = QFile::encodeName(path(name)).toStdString();
    bool played = false;
    for (auto _ : state) {
        const auto sound = mf::qt::decodeSound(file);
        played = sound != nullptr;
        benchmark::DoNotOptimize(sound);
    }
    state.counters["played"] = played ? 1 : 0;
    state.counters["file_KiB"] = double(QFile(path(name)).size()) / 1024;
}

// The peak resident memory one decoding adds, measured in a fresh run of
// this program, so that nothing the allocator kept from before hides it. In
// KiB, or -1.
long peakAddedKiB(const char* name) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--peak-of", path(name)});
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

// The child's part: loads the library with a small sound, then decodes.
int printPeakOf(const QString& file) {
    mf::qt::decodeSound(QFile::encodeName(path("tone.wav")).toStdString());
    if (QFile clear("/proc/self/clear_refs"); clear.open(QIODevice::WriteOnly))
        clear.write("5");
    const long before = kib("VmRSS:");
    const auto sound = mf::qt::decodeSound(QFile::encodeName(file).toStdString());
    std::printf("%ld\n", kib("VmHWM:") - before);
    return 0;
}

} // namespace

using mf::test::writeTone;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    if (argc == 3 && qstrcmp(argv[1], "--peak-of") == 0) {
        writeTone(path("tone.wav"), {});
        return printPeakOf(QString::fromLocal8Bit(argv[2]));
    }
    QByteArray wav;
    bool ok = writeTone(path("tone.wav"), {500, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, 0.5});
    if (QFile f(path("tone.wav")); ok && f.open(QIODevice::ReadOnly))
        wav = f.readAll();
    wav.replace(40, 4, QByteArray("\xf0\xff\xff\x7f", 4)); // data: 2 GB
    ok = ok && write("flac_8ch_384k.fez", flacHeader(384000, 8, 29 * 384000))
         && write("flac_then_garbage.fez",
                  flacHeader(48000, 2, 20 * 48000) + QByteArray("not a frame at all ").repeated(4000))
         && write("wav_claims_2GB.fez", wav)
         && writeTone(path("longest_flac.fez"), {29900, 440, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 48000, 0.5})
         && writeTone(path("longest_wav.fez"), {29900, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, 0.5});
    if (!ok) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }
    const char* const files[] = {"flac_8ch_384k.fez", "flac_then_garbage.fez", "wav_claims_2GB.fez",
                                 "longest_flac.fez", "longest_wav.fez"};
    std::printf("peak resident memory added by one decoding (target: 1 MiB refused, 8 MiB the longest):\n");
    for (const char* name : files)
        std::printf("  %-24s %6ld KiB\n", name, peakAddedKiB(name));
    for (const char* name : files)
        benchmark::RegisterBenchmark(name, decode, name)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
