// SPDX-License-Identifier: GPL-3.0-or-later
// Records a PulseAudio monitor source with parec and places every sample on
// this process's clock, so a test or benchmark can tell when a sound it asked
// for was heard. Each sample's time is taken from the earliest arrival seen
// within half a second after it, which is when the sink rendered it: a null sink
// renders up to one block (about the lowest latency any of its streams asks
// for) ahead of its clock, so a time found here may be up to that much early.
// Look for a sound's onset from a little before its request (kEarly) to see
// that spread. Only arrivals soon after count because a sink's clock may
// drift from this process's, or skip blocks on a busy machine (PipeWire's
// null sink does both): the earliest arrival of all, or one from before the
// skip, would put later samples early.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace mf::test {

// Nanoseconds on one steady clock shared by the recorder and its user.
inline qint64 nowNs() {
    static const QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
    return clock.nsecsElapsed();
}

inline double msBetween(qint64 fromNs, qint64 toNs) { return double(toNs - fromNs) / 1e6; }

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    const qint64 end = nowNs() + qint64(timeoutMs) * 1'000'000;
    while (!condition()) {
        if (nowNs() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

// Runs the event loop for this long.
inline void spin(double ms) {
    const qint64 end = nowNs() + qint64(ms * 1e6);
    waitFor([&] { return nowNs() >= end; }, int(ms) + 1000);
}

// The median and 95th percentile of some figures.
struct Spread {
    double median = 0;
    double p95 = 0;
    static Spread of(std::vector<double> values) {
        if (values.empty())
            return {};
        std::sort(values.begin(), values.end());
        const auto at = [&](double q) { return values[std::size_t(std::ceil(q * double(values.size()))) - 1]; };
        return {at(0.5), at(0.95)};
    }
};

class MonitorRecorder {
public:
    static constexpr int kRate = 44100;
    static constexpr int kAudible = 1000;   // about -30 dBFS; a null sink's silence is 0
    static constexpr qint64 kEarlyNs = 30'000'000;   // more than a render block

    explicit MonitorRecorder(const QString& source) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { read(); });
        process_.start("parec", {"--device=" + source, "--format=s16le", "--channels=1",
                                 "--rate=" + QString::number(kRate), "--latency-msec=10"});
    }
    ~MonitorRecorder() {
        process_.kill();
        process_.waitForFinished(2000);
    }
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Waits until sound flows (a low-latency monitor takes a moment).
    bool waitUntilRecording() {
        return waitFor([this] { return count() >= kRate / 10; }, 10000);
    }

    // Takes in everything captured up to the given time; false when the
    // recorder stopped delivering. The end of what has come is placed by the
    // arrivals of the last half second: one late delivery alone would put it
    // later than it is.
    bool catchUp(qint64 untilNs) {
        return waitFor([&] { return recentOrigin() + count() * 1'000'000'000 / kRate >= untilNs; }, 5000);
    }

    std::optional<qint64> firstAudible(qint64 fromNs, qint64 toNs) const {
        for (qint64 i = indexAt(fromNs); i < indexAt(toNs); ++i)
            if (std::abs(at(i)) >= kAudible)
                return timeNs(i);
        return {};
    }
    std::optional<qint64> lastAudible(qint64 fromNs, qint64 toNs) const {
        for (qint64 i = indexAt(toNs) - 1; i >= indexAt(fromNs); --i)
            if (std::abs(at(i)) >= kAudible)
                return timeNs(i);
        return {};
    }
    double rms(qint64 fromNs, qint64 toNs) const {
        double sum = 0;
        const qint64 from = indexAt(fromNs), to = indexAt(toNs);
        for (qint64 i = from; i < to; ++i)
            sum += double(at(i)) * at(i);
        return to > from ? std::sqrt(sum / double(to - from)) : 0;
    }
    // Amplitude of one frequency: the Goertzel filter over each 50 ms (a
    // whole number of cycles of 440 and 880 Hz, so neither leaks into the
    // other), then the root mean square of those. One sum over the whole span
    // would let a cycle the server or the capture drops midway, which shifts
    // the tone's phase, cancel the tone against itself.
    double level(qint64 fromNs, qint64 toNs, double hz) const {
        const qint64 from = indexAt(fromNs), to = indexAt(toNs);
        const qint64 block = std::min<qint64>(kRate / 20, to - from);
        if (block <= 0)
            return 0;
        double sum = 0;
        qint64 blocks = 0;
        for (qint64 start = from; start + block <= to; start += block, ++blocks)
            sum += std::pow(goertzel(start, start + block, hz), 2);
        return std::sqrt(sum / double(blocks));
    }

private:
    // One delivery: the samples received by then, and when. Its origin is
    // when sample 0 would have been rendered if this one was on time.
    struct Arrival {
        qint64 count;
        qint64 ns;
        qint64 origin() const { return ns - count * 1'000'000'000 / kRate; }
    };
    static constexpr qint64 kNearNs = 500'000'000;   // arrivals this close count

    double goertzel(qint64 from, qint64 to, double hz) const {
        const double k = 2 * std::cos(2 * M_PI * hz / kRate);
        double s1 = 0, s2 = 0;
        for (qint64 i = from; i < to; ++i) {
            const double s = at(i) + k * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
        return 2 * std::sqrt(std::max(power, 0.0)) / double(to - from);
    }

    void read() {
        raw_ += process_.readAllStandardOutput();
        arrivals_.push_back({count(), nowNs()});
    }
    qint64 count() const { return raw_.size() / 2; }
    int at(qint64 i) const { return qFromLittleEndian<qint16>(raw_.constData() + 2 * i); }
    // The earliest origin among the arrivals from the one at `near` on: those
    // before it may have come before samples went missing.
    qint64 originAround(std::size_t near) const {
        if (arrivals_.empty())
            return std::numeric_limits<qint64>::max() / 2;
        const qint64 ns = arrivals_[near].ns;
        qint64 origin = arrivals_[near].origin();
        for (std::size_t j = near + 1; j < arrivals_.size() && arrivals_[j].ns < ns + kNearNs; ++j)
            origin = std::min(origin, arrivals_[j].origin());
        return origin;
    }
    // The earliest origin among the arrivals of the last half second.
    qint64 recentOrigin() const {
        if (arrivals_.empty())
            return std::numeric_limits<qint64>::max() / 2;
        qint64 origin = arrivals_.back().origin();
        for (auto a = arrivals_.rbegin(); a != arrivals_.rend() && a->ns > arrivals_.back().ns - kNearNs; ++a)
            origin = std::min(origin, a->origin());
        return origin;
    }
    // Samples and times are placed by the same arrivals both ways: the
    // samples an arrival brought are at its origin, and so indexAt(timeNs(i))
    // is i.
    std::size_t arrivalOf(qint64 i) const {
        const auto found = std::upper_bound(arrivals_.begin(), arrivals_.end(), i,
                                            [](qint64 index, const Arrival& a) { return index < a.count; });
        return std::min<std::size_t>(std::size_t(found - arrivals_.begin()), arrivals_.size() - 1);
    }
    qint64 timeNs(qint64 i) const {
        if (arrivals_.empty())
            return originAround(0) + i * 1'000'000'000 / kRate;
        return originAround(arrivalOf(i)) + i * 1'000'000'000 / kRate;
    }
    // The first sample heard at or after the time.
    qint64 indexAt(qint64 ns) const {
        if (arrivals_.empty())
            return 0;
        std::size_t lo = 0, hi = arrivals_.size() - 1;   // the first arrival whose last sample is not before ns
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (timeNs(arrivals_[mid].count - 1) < ns)
                lo = mid + 1;
            else
                hi = mid;
        }
        const qint64 from = lo ? arrivals_[lo - 1].count : 0;
        const qint64 at = ((ns - originAround(lo)) * kRate + 999'999'999) / 1'000'000'000;
        return std::clamp<qint64>(at, from, arrivals_[lo].count);
    }

    QProcess process_;
    QByteArray raw_;
    std::vector<Arrival> arrivals_;
};

// Plays silence into the default sink for as long as it lives, so that the
// sink and its monitor run on the wall clock.
class SilenceStream {
public:
    SilenceStream() {
        process_.setStandardInputFile("/dev/zero");
        process_.start("pacat", {"--playback", "--raw", "--format=s16le", "--channels=1",
                                 "--rate=" + QString::number(MonitorRecorder::kRate), "--latency-msec=50"});
    }
    ~SilenceStream() {
        process_.kill();
        process_.waitForFinished(2000);
    }
    SilenceStream(const SilenceStream&) = delete;
    SilenceStream& operator=(const SilenceStream&) = delete;

private:
    QProcess process_;
};

// The default sink of the server in reach (`pactl info`), or empty.
inline QString defaultSink() {
    QProcess pactl;
    pactl.start("pactl", {"info"});
    if (!pactl.waitForFinished(5000) || pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0)
        return {};
    for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Default Sink: "))
            return line.mid(14).trimmed();
    return {};
}

} // namespace mf::test
