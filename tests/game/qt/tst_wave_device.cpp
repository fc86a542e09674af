// The Qt wave device: what reaches the sound server, how long a waiting play
// blocks, and that files which cannot be played stay silent and cost nothing.
//
// Sound server: the listening cases record the monitor of the default sink of
// a PulseAudio server reachable from this process (found with `pactl info`).
// The test script starts one with a null sink through
// tests/audio/pulse_null_sink.sh before running ctest; without a server these
// cases are skipped, while the timing cases still run. The no-server case
// starts this program again with PULSE_SERVER pointing at nothing and an empty
// XDG_RUNTIME_DIR, so no server is in its reach either way.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <memory>
#include <optional>

#include "game/qt/qt_wave_device.h"
#include "game/qt/wav_info.h"

using mf::qt::QtWaveDevice;

namespace {

constexpr int kRate = 44100;
constexpr int kAudible = 1000;          // about -30 dBFS; a null sink's silence is 0
constexpr qint64 kDispatchMs = 100;     // timer dispatch slack on a busy machine
constexpr double kAtOnceMs = 300;       // "at once": far below any sound's length
const char* const kChildVariable = "MARROWFEN_WAVE_DEVICE_CHILD";

qint64 nowNs() {
    static QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
    return clock.nsecsElapsed();
}

double msBetween(qint64 fromNs, qint64 toNs) { return double(toNs - fromNs) / 1e6; }

// A canonical wave file; dataBytes overrides the length the header claims.
QByteArray waveFile(const QByteArray& data, int channels = 1, int bits = 16, int format = 1,
                    std::optional<quint32> dataBytes = {}) {
    auto u16 = [](QByteArray& b, quint16 v) { v = qToLittleEndian(v); b.append(reinterpret_cast<char*>(&v), 2); };
    auto u32 = [](QByteArray& b, quint32 v) { v = qToLittleEndian(v); b.append(reinterpret_cast<char*>(&v), 4); };
    const int block = channels * bits / 8;
    QByteArray b("RIFF");
    u32(b, quint32(36 + data.size()));
    b += "WAVEfmt ";
    u32(b, 16);
    u16(b, quint16(format));
    u16(b, quint16(channels));
    u32(b, kRate);
    u32(b, quint32(kRate * block));
    u16(b, quint16(block));
    u16(b, quint16(bits));
    b += "data";
    u32(b, dataBytes.value_or(quint32(data.size())));
    return b + data;
}

// A 16-bit sine at -6 dBFS, the same on every channel.
QByteArray toneSamples(int ms, double hz, int channels = 1) {
    QByteArray data;
    for (int i = 0; i < kRate * ms / 1000; ++i) {
        const auto s = qToLittleEndian(qint16(std::lround(16384 * std::sin(2 * M_PI * hz * i / kRate))));
        for (int c = 0; c < channels; ++c)
            data.append(reinterpret_cast<const char*>(&s), 2);
    }
    return data;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Records a monitor source for the whole run and notes when each block
// arrives, which places every sample on the test's clock to within a block.
class Recorder {
public:
    explicit Recorder(const QString& source) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { read(); });
        process_.start("parec", {"--device=" + source, "--format=s16le", "--channels=1",
                                 "--rate=" + QString::number(kRate), "--latency-msec=10"});
    }
    ~Recorder() {
        process_.kill();
        process_.waitForFinished(2000);
    }

    // Waits until sound flows (a low-latency monitor takes a second or two).
    bool waitUntilRecording() {
        return QTest::qWaitFor([this] { return count() >= kRate / 10; }, 10000);
    }

    // Takes in everything captured up to the given time; samples are then
    // looked up by time on the test's clock.
    void catchUp(qint64 untilNs) {
        if (!QTest::qWaitFor([&] { return timeNs(count()) >= untilNs; }, 5000))
            qFatal("the recorder stopped delivering");
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
    // Amplitude of one frequency, by the Goertzel filter.
    double level(qint64 fromNs, qint64 toNs, double hz) const {
        const double k = 2 * std::cos(2 * M_PI * hz / kRate);
        double s1 = 0, s2 = 0;
        const qint64 from = indexAt(fromNs), to = indexAt(toNs);
        for (qint64 i = from; i < to; ++i) {
            const double s = at(i) + k * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
        return to > from ? 2 * std::sqrt(std::max(power, 0.0)) / double(to - from) : 0;
    }

private:
    void read() {
        raw_ += process_.readAllStandardOutput();
        origin_ = std::min(origin_, nowNs() - count() * 1'000'000'000 / kRate);
    }
    qint64 count() const { return raw_.size() / 2; }
    int at(qint64 i) const { return qFromLittleEndian<qint16>(raw_.constData() + 2 * i); }
    qint64 timeNs(qint64 i) const { return origin_ + i * 1'000'000'000 / kRate; }
    qint64 indexAt(qint64 ns) const { return qBound<qint64>(0, (ns - origin_) * kRate / 1'000'000'000, count()); }

    QProcess process_;
    QByteArray raw_;
    qint64 origin_ = std::numeric_limits<qint64>::max() / 2;
};

// The game's sequence for one sound.
void request(QtWaveDevice& device, const char* file, bool wait = false) {
    device.setCommand("Close");
    device.setDeviceType("WaveAudio");
    device.setFileName(file);
    device.setCommand("Open");
    device.setWait(wait);
    device.setCommand("Play");
}

// How long a request blocked, in ms.
double blockedMs(QtWaveDevice& device, const char* file, bool wait) {
    const qint64 start = nowNs();
    request(device, file, wait);
    return msBetween(start, nowNs());
}

const double kLimit05 = 500 + double(QtWaveDevice::kWaitMargin.count()) + kDispatchMs;
const double kLimit10 = 1000 + double(QtWaveDevice::kWaitMargin.count()) + kDispatchMs;

} // namespace

class TstWaveDevice : public QObject {
    Q_OBJECT

    std::unique_ptr<Recorder> recorder_;    // null: no sound server to listen to
    QString startDir_;
    std::unique_ptr<QTemporaryDir> dir_;

    // The recorder, caught up to now, or null without a server.
    Recorder* heard() {
        if (recorder_)
            recorder_->catchUp(nowNs());
        return recorder_.get();
    }

    // Plays a 0.5 s file, checks that all of it is heard and prints how soon.
    void playHeardWhole(QtWaveDevice& device, const char* file) {
        const qint64 requested = nowNs();
        request(device, file);
        const double blocked = msBetween(requested, nowNs());
        QTest::qWait(800);
        Recorder* rec = heard();
        const auto first = rec->firstAudible(requested, nowNs());
        const auto last = rec->lastAudible(requested, nowNs());
        if (!first) {
            QTest::qFail(QByteArray(file) + " was not heard", __FILE__, __LINE__);
            return;
        }
        const double span = msBetween(*first, *last);
        const QByteArray what = QByteArray(file) + ": blocked " + QByteArray::number(blocked) + " ms, heard for "
                                + QByteArray::number(span) + " ms";
        if (blocked > kAtOnceMs)
            QTest::qFail("a play that does not wait returned late; " + what, __FILE__, __LINE__);
        else if (std::abs(span - 500) > 30)
            QTest::qFail("the sound is not heard whole; " + what, __FILE__, __LINE__);
        else if (rec->rms(*first, *last) < 0.9 * 16384 / M_SQRT2)
            QTest::qFail("the sound is not heard at its level; " + what, __FILE__, __LINE__);
        qInfo("%s: the request returned after %.2f ms, the first sample was heard after %.1f ms (target < 100 ms)",
              file, blocked, msBetween(requested, *first));
    }

private slots:
    void initTestCase() {
        startDir_ = QDir::currentPath();
        if (qEnvironmentVariableIsSet(kChildVariable))
            return;
        QProcess pactl;
        pactl.start("pactl", {"info"});
        QString sink;
        if (pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0) {
            for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n'))
                if (line.startsWith("Default Sink: "))
                    sink = line.mid(14).trimmed();
        }
        if (sink.isEmpty()) {
            qInfo("no PulseAudio server with a sink: nothing is listened to");
            return;
        }
        qInfo("listening to %s.monitor", qPrintable(sink));
        recorder_ = std::make_unique<Recorder>(sink + ".monitor");
        QVERIFY2(recorder_->waitUntilRecording(), "parec records the sink's monitor");
    }

    void cleanupTestCase() { recorder_.reset(); }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir::setCurrent(dir_->path()));
        writeFile("tone05.fez", waveFile(toneSamples(500, 440)));
        writeFile("tone10.fez", waveFile(toneSamples(1000, 440)));
        writeFile("high05.fez", waveFile(toneSamples(500, 880)));
        writeFile("empty.fez", {});
        writeFile("garbage.fez", QByteArray("not a sound at all, just some words").repeated(40));
        writeFile("riffonly.fez", waveFile(toneSamples(500, 440)).left(30));
    }

    void cleanup() {
        QDir::setCurrent(startDir_);
        dir_.reset();
    }

    void headerTellsWhatCanBePlayedAndForHowLong_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<int>("ms");
        const QByteArray tone = toneSamples(500, 440);
        QTest::newRow("mono") << waveFile(tone) << true << 500;
        QTest::newRow("stereo") << waveFile(toneSamples(250, 440, 2), 2) << true << 250;
        QTest::newRow("odd-sized chunk first")
            << QByteArray(waveFile(tone)).insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12)) << true << 500;
        QTest::newRow("cut short") << waveFile(tone, 1, 16, 1, quint32(tone.size() * 2)) << true << 500;
        QTest::newRow("8-bit") << waveFile(tone, 1, 8) << false << 0;
        QTest::newRow("not PCM") << waveFile(tone, 1, 16, 3) << false << 0;
        QTest::newRow("no samples") << waveFile({}) << false << 0;
        QTest::newRow("header only") << waveFile(tone).left(30) << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("garbage") << QByteArray("RIFF and then nothing useful").repeated(10) << false << 0;
    }
    void headerTellsWhatCanBePlayedAndForHowLong() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, playable);
        QFETCH(int, ms);
        writeFile("sound.fez", bytes);
        const mf::qt::WavInfo wav = mf::qt::readWav("sound.fez");
        QCOMPARE(wav.playable, playable);
        if (playable)
            QCOMPARE(wav.duration.count(), ms);
        QVERIFY(!mf::qt::readWav("absent.fez").playable);
    }

    void playsAreHeardPromptlyAndWhole() {
        if (!heard())
            QSKIP("no PulseAudio server to listen to (pactl info failed); tests/audio/pulse_null_sink.sh starts one");
        // The game loads each sound when it is first played.
        QtWaveDevice device;
        qInfo("first play of a sound never loaded before:");
        playHeardWhole(device, "tone05.fez");
        qInfo("the same sound again:");
        playHeardWhole(device, "tone05.fez");
        qInfo("another sound never loaded before:");
        playHeardWhole(device, "high05.fez");
        const qint64 t = nowNs();
        device.preload({"tone10.fez"});
        qInfo("preload of one sound took %.2f ms", msBetween(t, nowNs()));
    }

    void waitingPlayReturnsOnceTheSoundIsOver() {
        QtWaveDevice device;
        device.preload({"tone10.fez"});
        QTest::qWait(100);
        int repaints = 0;
        bool waitingWhileRepainting = false, waitingMeanwhile = false;
        device.beforeWait = [&] { ++repaints; waitingWhileRepainting = device.waiting(); };
        QTimer meanwhile;   // one of the game's timers, ticking while the sound plays
        meanwhile.setSingleShot(true);
        QObject::connect(&meanwhile, &QTimer::timeout,
                         [&] { waitingMeanwhile = device.waiting() && QtWaveDevice::anyWaiting(); });
        meanwhile.start(300);

        const qint64 requested = nowNs();
        request(device, "tone10.fez", true);
        const qint64 returned = nowNs();
        const double waited = msBetween(requested, returned);
        qInfo("a waiting play of 1000 ms returned after %.1f ms", waited);
        QVERIFY2(waited <= kLimit10, "a waiting play ends within the file's length and the margin");
        QCOMPARE(repaints, 1);
        QVERIFY(waitingWhileRepainting);
        QVERIFY2(waitingMeanwhile, "the game's timers see the wait");
        QVERIFY(!device.waiting());
        QVERIFY(!QtWaveDevice::anyWaiting());

        QTest::qWait(300);
        Recorder* rec = heard();
        if (!rec)
            return;
        QVERIFY2(waited >= 800, "a waiting play lasts as long as its sound");
        const auto last = rec->lastAudible(requested, nowNs());
        QVERIFY(last);
        const double overshoot = msBetween(*last, returned);
        qInfo("it returned %.1f ms after the last sample was heard", overshoot);
        QVERIFY2(overshoot > -30, "the sound has been heard to its end when the play returns");
    }

    void waitAppliesToTheNextCommandOnly() {
        QtWaveDevice device;
        QVERIFY(blockedMs(device, "tone05.fez", true) >= 400);
        QVERIFY2(blockedMs(device, "tone05.fez", false) < kAtOnceMs, "Wait cleared itself after the play");
        device.setCommand("Close");
        device.setFileName("tone05.fez");
        device.setWait(true);
        device.setCommand("Open");
        const qint64 start = nowNs();
        device.setCommand("Play");
        QVERIFY2(msBetween(start, nowNs()) < kAtOnceMs, "Wait was spent on the Open before");
    }

    void unplayableFilesAreSilentAndReturnAtOnce_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << "absent.fez";
        QTest::newRow("empty") << "empty.fez";
        QTest::newRow("garbage") << "garbage.fez";
        QTest::newRow("header only") << "riffonly.fez";
    }
    void unplayableFilesAreSilentAndReturnAtOnce() {
        QFETCH(QString, file);
        QtWaveDevice device;
        device.preload({file, "tone05.fez"});
        const qint64 start = nowNs();
        device.setFileName("tone05.fez");
        device.setCommand("Open");
        device.setFileName(file.toStdString());
        device.setCommand("Open");   // the sound opened before is gone
        device.setWait(true);
        device.setCommand("Play");
        const double blocked = msBetween(start, nowNs());
        qInfo("a waiting play of %s returned after %.2f ms", qPrintable(file), blocked);
        QVERIFY2(blocked < kAtOnceMs, "an unplayable file does not hold up the game");
        QTest::qWait(200);
        if (Recorder* rec = heard())
            QVERIFY2(!rec->firstAudible(start, nowNs()), "nothing is heard");
    }

    void closeCutsThePlayingSound() {
        if (!heard())
            QSKIP("no PulseAudio server to listen to (pactl info failed); tests/audio/pulse_null_sink.sh starts one");
        QtWaveDevice device;
        device.preload({"tone10.fez", "high05.fez"});
        QTest::qWait(100);

        const qint64 started = nowNs();
        request(device, "tone10.fez");
        QTest::qWait(300);
        const qint64 closed = nowNs();
        device.setCommand("close");
        QTest::qWait(400);
        const auto last = heard()->lastAudible(started, nowNs());
        QVERIFY(last);
        const double after = msBetween(closed, *last);
        qInfo("the sound stopped %.1f ms after Close", after);
        QVERIFY2(after < 200, "Close stops the sound");

        // The next request cuts the 1 s tone at 440 Hz short with 880 Hz.
        request(device, "tone10.fez");
        QTest::qWait(300);
        const qint64 second = nowNs();
        device.setCommand("close");
        device.setDeviceType("WaveAudio");
        device.setFileName("high05.fez");
        device.setCommand("open");
        device.setCommand("play");
        QTest::qWait(600);
        Recorder* rec = heard();
        const qint64 from = second + 150'000'000, to = second + 400'000'000;
        const double first = rec->level(from, to, 440), next = rec->level(from, to, 880);
        qInfo("while the second sound plays: 440 Hz at %.0f, 880 Hz at %.0f", first, next);
        QVERIFY2(next > 8000, "the second sound plays");
        QVERIFY2(first < 0.05 * next, "the first sound has stopped");
    }

    void filesAreLookedForHereThenBesideTheProgram() {
        const char* name = "tst_wave_device_beside.fez";
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        const auto removeBeside = qScopeGuard([&] { QFile::remove(beside); });
        writeFile(beside, waveFile(toneSamples(500, 440)));
        QtWaveDevice device;
        // A waiting play that finds its file lasts about as long as the file.
        const double found = blockedMs(device, name, true);
        QVERIFY2(found >= 400 && found <= kLimit05, "found beside the program");
        writeFile(name, waveFile(toneSamples(1000, 440)));
        const double here = blockedMs(device, name, true);
        QVERIFY2(here >= 900 && here <= kLimit10, "the working directory comes first");
        QVERIFY(QFile::remove(name) && QFile::remove(beside));
        QVERIFY2(blockedMs(device, name, true) < kAtOnceMs, "a file gone from disk is not played");
    }

    // Without any sound server QSoundEffect reports a sound as playing for
    // ever; the wait must end all the same. Run in a child process so that no
    // server is in reach.
    void waitingPlayWithoutServer() {
        if (qEnvironmentVariableIsSet(kChildVariable)) {
            QtWaveDevice device;
            const qint64 t = nowNs();
            device.preload({"tone05.fez"});
            qInfo("preload without a server took %.2f ms", msBetween(t, nowNs()));
            const double waited = blockedMs(device, "tone05.fez", true);
            qInfo("a waiting play of 500 ms without a server returned after %.1f ms", waited);
            QVERIFY(waited <= kLimit05);
            return;
        }
        QVERIFY(QDir().mkdir("runtime"));
        QVERIFY(QFile::setPermissions("runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildVariable, "1");
        env.insert("PULSE_SERVER", "unix:/nonexistent");
        env.insert("XDG_RUNTIME_DIR", QDir("runtime").absolutePath());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        const qint64 start = nowNs();
        child.start(QCoreApplication::applicationFilePath(), {"waitingPlayWithoutServer"});
        QVERIFY(child.waitForFinished(10000));
        const double total = msBetween(start, nowNs());
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("QINFO"))
                qInfo("child: %s", line.constData());
        qInfo("the child process took %.0f ms in all", total);
        QVERIFY2(total <= kLimit05 + 3000, "the child, start-up included, is not held up");
    }
};

QTEST_MAIN(TstWaveDevice)
#include "tst_wave_device.moc"
