// SPDX-License-Identifier: GPL-3.0-or-later
// Request to first audible sample: how soon a sound is heard after the game
// asks for it, over 200 plays in one process, the first play after start
// included (it loads the sound library and connects to the server).
//
//   build/bench/sound_onset_bench        (needs a PulseAudio server with a sink:
//                                         tests/audio/pulse_null_sink.sh)
//
// A silence stream keeps the sink running on the wall clock while its
// monitor is recorded; each play's onset is found in the recording. Prints
// the median and the 95th percentile next to their targets: on PulseAudio
// 8 ms and 12 ms, on PipeWire (a quantum or so) 12 ms and 20 ms.
// bench/sound_onset.sh runs it on both servers side by side.
// A report, not a test: exits 0 whatever the figures.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "audio/monitor_recorder.h"
#include "audio/tone_file.h"
#include "game/qt/qt_wave_device.h"

using namespace mf::test;

namespace {

constexpr int kPlays = 200;
constexpr double kPeriodMs = 250;

struct Targets {
    double medianMs;
    double p95Ms;
};

// The targets for the server in reach, by its name in `pactl info`.
Targets targetsFor(const QString& server) {
    return server.contains("PipeWire") ? Targets{12, 20} : Targets{8, 12};
}

QString serverName() {
    QProcess pactl;
    pactl.start("pactl", {"info"});
    if (!pactl.waitForFinished(5000))
        return {};
    for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Server Name: "))
            return line.mid(13).trimmed();
    return {};
}

// The latency the sink is configured to, which is how far ahead of its clock
// it renders: the most a monitor's time can be early. 0 when unknown.
double sinkBlockMs(const QString& sink) {
    QProcess pactl;
    pactl.start("pactl", {"list", "sinks"});
    if (!pactl.waitForFinished(5000))
        return 0;
    bool ours = false;
    for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n')) {
        const QString text = line.trimmed();
        if (text.startsWith("Name: "))
            ours = text.mid(6) == sink;
        const qsizetype at = text.indexOf("configured ");
        if (ours && text.startsWith("Latency: ") && at > 0)
            return text.mid(at + 11).section(' ', 0, 0).toDouble() / 1000;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString sink = defaultSink();
    if (sink.isEmpty()) {
        std::fprintf(stderr, "no PulseAudio server with a sink (start one: bash tests/audio/pulse_null_sink.sh)\n");
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())
        || !writeTone("bench.fez", {100, 660, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 0.5})) {
        std::fprintf(stderr, "cannot write the test sound\n");
        return 1;
    }
    SilenceStream silence;
    MonitorRecorder recorder(sink + ".monitor");
    if (!recorder.waitUntilRecording()) {
        std::fprintf(stderr, "parec does not record %s.monitor\n", qPrintable(sink));
        return 1;
    }

    mf::qt::QtWaveDevice device;   // nothing loaded or connected yet
    std::vector<double> onsets;
    std::optional<double> first;
    for (int i = 0; i < kPlays; ++i) {
        const qint64 requested = nowNs();
        device.setCommand("Close");
        device.setFileName("bench.fez");
        device.setCommand("Open");
        device.setWait(i % 4 == 3);   // every fourth play waits, as the explosion does
        device.setCommand("Play");
        spin(kPeriodMs - msBetween(requested, nowNs()));
        recorder.catchUp(nowNs());
        if (const auto heard = recorder.firstAudible(requested - MonitorRecorder::kEarlyNs, nowNs())) {
            onsets.push_back(msBetween(requested, *heard));
            if (i == 0)
                first = onsets.back();
        }
    }

    const double block = sinkBlockMs(sink);
    const Spread spread = Spread::of(onsets);
    const QString server = serverName();
    const Targets target = targetsFor(server);
    std::printf("Request to first audible sample, %d plays, on the monitor's clock of %s\n", kPlays,
                qPrintable(server));
    std::printf("  (the sink renders up to %.1f ms ahead, so each figure may be up to that much low)\n", block);
    std::printf("  heard          %d of %d\n", int(onsets.size()), kPlays);
    if (first)
        std::printf("  first play     %.1f ms\n", *first);
    else
        std::printf("  first play     not heard\n");
    std::printf("  median         %.1f ms   (target < %.0f ms)  %s\n", spread.median, target.medianMs,
                spread.median < target.medianMs ? "met" : "MISSED");
    std::printf("  95th pct       %.1f ms   (target < %.0f ms)  %s\n", spread.p95, target.p95Ms,
                spread.p95 < target.p95Ms ? "met" : "MISSED");
    std::printf("  worst          %.1f ms\n", onsets.empty() ? 0.0 : *std::max_element(onsets.begin(), onsets.end()));
    const bool met = int(onsets.size()) == kPlays && spread.median + block < target.medianMs
                     && spread.p95 + block < target.p95Ms;
    std::printf("  upper bounds   median %.1f ms, 95th pct %.1f ms  %s\n", spread.median + block, spread.p95 + block,
                met ? "met" : "MISSED");
    return 0;
}
