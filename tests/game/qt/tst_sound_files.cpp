// SPDX-License-Identifier: GPL-3.0-or-later
// Sound files as players may drop them in: every wave-audio encoding decodes
// to the right length and level, broken files are refused at once, and a
// bare name is found where the game looks for it, read afresh when changed.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <memory>

#include "audio/tone_file.h"
#include "game/qt/sound_decoder.h"
#include "game/qt/sound_store.h"

using mf::qt::decodeSound;
using mf::qt::DecodedSound;
using mf::qt::SoundStore;
using mf::test::Tone;
using mf::test::writeTone;

namespace {

double rmsOf(const DecodedSound& sound) {
    double sum = 0;
    for (const auto s : sound.samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(sound.samples.size()));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

std::shared_ptr<const DecodedSound> decode(const QString& path) {
    return decodeSound(QFile::encodeName(path).toStdString());
}

// A FLAC file that is all header: STREAMINFO claiming this much audio.
QByteArray flacHeader(int rate, int channels, qint64 frames) {
    QByteArray info;
    const auto put = [&info](quint64 value, int bytes) {
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            info.append(char((value >> shift) & 0xff));
    };
    put(4096, 2);   // smallest and largest block
    put(4096, 2);
    put(0, 3);      // frame sizes unknown
    put(0, 3);
    put(quint64(rate) << 44 | quint64(channels - 1) << 41 | quint64(16 - 1) << 36 | quint64(frames), 8);
    info.append(16, '\0');   // no checksum
    return "fLaC" + QByteArray("\x80\x00\x00\x22", 4) + info;   // the last block, 34 bytes
}

// The process's resident memory and its peak since the last reset, in KiB.
qint64 memoryKiB(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Makes the peak resident memory the current one.
void resetPeakMemory() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

class TstSoundFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString startDir_;

    QString path(const QString& name) const { return dir_->filePath(name); }

private slots:
    void init() {
        startDir_ = QDir::currentPath();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir::setCurrent(dir_->path()));
    }
    void cleanup() {
        QDir::setCurrent(startDir_);
        dir_.reset();
    }

    void everyEncodingDecodesWholeAndAudible_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("slack");   // frames a block-coded file may add
        const struct {
            const char* name;
            int format;
            int slack;
        } encodings[] = {
            {"pcm u8", SF_FORMAT_PCM_U8, 0},        {"pcm 16", SF_FORMAT_PCM_16, 0},
            {"pcm 24", SF_FORMAT_PCM_24, 0},        {"pcm 32", SF_FORMAT_PCM_32, 0},
            {"float 32", SF_FORMAT_FLOAT, 0},       {"float 64", SF_FORMAT_DOUBLE, 0},
            {"mu-law", SF_FORMAT_ULAW, 0},          {"a-law", SF_FORMAT_ALAW, 0},
            {"ima adpcm", SF_FORMAT_IMA_ADPCM, 4096}, {"ms adpcm", SF_FORMAT_MS_ADPCM, 4096},
        };
        for (const auto& e : encodings)
            for (const int channels : {1, 2})
                for (const int rate : {8000, 11025, 22050, 44100, 48000, 96000})
                    QTest::addRow("%s %s %d Hz", e.name, channels == 1 ? "mono" : "stereo", rate)
                        << (SF_FORMAT_WAV | e.format) << channels << rate << e.slack;
        // Compressed files, whose headers are believed only within reason.
        for (const int channels : {1, 2})
            for (const int rate : {8000, 44100, 96000}) {
                const char* layout = channels == 1 ? "mono" : "stereo";
                QTest::addRow("flac %s %d Hz", layout, rate)
                    << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << channels << rate << 0;
                QTest::addRow("ogg vorbis %s %d Hz", layout, rate)
                    << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << channels << rate << 0;
            }
    }
    void everyEncodingDecodesWholeAndAudible() {
        QFETCH(int, format);
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(int, slack);
        const Tone tone{400, 440, format, channels, rate, 0.5};
        QVERIFY2(writeTone(path("sound.fez"), tone), "libsndfile writes the test file");
        const auto sound = decode(path("sound.fez"));
        QVERIFY2(sound, "the file is played");
        QCOMPARE(sound->rate, rate);
        QCOMPARE(sound->channels, channels);
        const auto expected = std::size_t(rate * tone.ms / 1000);
        QVERIFY2(sound->frames() >= expected && sound->frames() <= expected + std::size_t(slack),
                 qPrintable(QString("%1 frames, %2 expected").arg(sound->frames()).arg(expected)));
        const double rms = rmsOf(*sound), wanted = 0.5 * 32767 / M_SQRT2;
        QVERIFY2(std::abs(rms - wanted) < 0.1 * wanted, qPrintable(QString("RMS %1, %2 expected").arg(rms).arg(wanted)));
    }

    void manyChannelsAreMixedToOne() {
        QVERIFY(writeTone(path("six.fez"), {300, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 6, 48000, 0.5}));
        const auto sound = decode(path("six.fez"));
        QVERIFY(sound);
        QCOMPARE(sound->channels, 1);
        QCOMPARE(sound->frames(), std::size_t(48000 * 300 / 1000));
        QVERIFY(rmsOf(*sound) > 0.9 * 0.5 * 32767 / M_SQRT2);
    }

    void brokenFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("ms");   // what is played; 0 refused
        const QTemporaryDir scratch;   // _data runs before init()
        QVERIFY(writeTone(scratch.filePath("good.wav"), {}));
        const QByteArray good = readAll(scratch.filePath("good.wav"));
        QVERIFY(good.size() > 1000 && good.mid(36, 4) == "data");
        QByteArray claimsMore = good;
        claimsMore.replace(40, 4, QByteArray("\xf0\xff\xff\x7f", 4));   // data: 2 GB
        QByteArray wrongMagic = good;
        wrongMagic.replace(8, 4, "WAVX");

        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("header only") << good.left(44) << 0;
        QTest::newRow("cut inside the header") << good.left(30) << 0;
        QTest::newRow("wrong magic") << wrongMagic << 0;
        QTest::newRow("text") << QByteArray("not a sound at all, just some words\n").repeated(40) << 0;
        QTest::newRow("RIFF then nothing useful") << QByteArray("RIFF and then nothing").repeated(10) << 0;
        QTest::newRow("truncated: half of its samples") << good.left(44 + (good.size() - 44) / 2) << 250;
        // A file cut short plays what it holds; one whose header claims far
        // more than it holds is made to look long, and is refused.
        QTest::newRow("header claims 2 GB of samples") << claimsMore << 0;
        QTest::newRow("FLAC header claiming 29 s of 8 channels at 384 kHz")
            << flacHeader(384000, 8, 29 * 384000) << 0;
        QTest::newRow("FLAC header claiming 1 s of mono at 8 kHz") << flacHeader(8000, 1, 8000) << 0;
        QTest::newRow("FLAC header then garbage")
            << flacHeader(48000, 2, 20 * 48000) + QByteArray("not a frame at all ").repeated(4000) << 0;
    }
    // Whatever the header claims, a file costs no more than the longest
    // sound would: each is decoded many times, and the peak memory meanwhile
    // stays far below what the claims would take.
    void brokenFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, ms);
        writeFile(path("sound.fez"), bytes);
        constexpr int kTimes = 20;
        resetPeakMemory();
        const qint64 before = memoryKiB("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kTimes; ++i) {
            const auto sound = decode(path("sound.fez"));
            if (ms == 0) {
                QVERIFY2(!sound, "refused");
                continue;
            }
            QVERIFY2(sound, "what the file holds is played");
            QVERIFY(std::abs(sound->duration().count() - ms) <= 2);
        }
        const qint64 grown = memoryKiB("VmHWM:") - before;
        qInfo("%d bytes: %.2f ms a decoding, peak memory %lld KiB above the resident memory before",
              int(bytes.size()), double(timer.nsecsElapsed()) / 1e6 / kTimes, grown);
        QVERIFY2(grown < 16 * 1024, "a file costs at most a few MiB");
    }

    void absurdlyLongSoundsAreRefused() {
        const int ms = int(std::chrono::milliseconds(mf::qt::kLongestSound).count()) + 1000;
        QVERIFY(writeTone(path("long.fez"), {ms, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, 0.5}));
        QVERIFY(!decode(path("long.fez")));
        QVERIFY(writeTone(path("fits.fez"), {ms - 2000, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, 0.5}));
        QVERIFY(decode(path("fits.fez")));
        QVERIFY(!decode(path("absent.fez")));
    }

    // The cache knows a file by its inode and change time too: a same-size
    // file put in place with the old time kept (cp -p, an unpacked archive)
    // is the new sound, whether written over or renamed over the old one.
    void aReplacedFileIsDecodedAfresh() {
        const QString name = "replaced.fez";
        const auto level = [&] {
            const auto sound = SoundStore::find(name);
            return sound ? rmsOf(*sound) / (32767 / M_SQRT2) : 0.0;
        };
        const auto keepTime = [](const QString& file, const timespec& time) {
            const timespec times[2] = {time, time};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0) == 0);
        };
        QVERIFY(writeTone(name, {500, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 0.5}));
        struct stat first{};
        QVERIFY(::stat(QFile::encodeName(name).constData(), &first) == 0);
        for (int round = 0; round < 6; ++round) {
            const double amplitude = round % 2 == 0 ? 0.5 : 0.25;
            QVERIFY(std::abs(level() - amplitude) < 0.02);
            const double next = 0.75 - amplitude;
            const bool renamed = round % 4 >= 2;
            const QString written = renamed ? QStringLiteral("unpacked.tmp") : name;
            QVERIFY(writeTone(written, {500, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, next}));
            keepTime(written, first.st_mtim);
            if (renamed)
                QVERIFY(::rename("unpacked.tmp", QFile::encodeName(name).constData()) == 0);
            struct stat now{};
            QVERIFY(::stat(QFile::encodeName(name).constData(), &now) == 0);
            QCOMPARE(now.st_size, first.st_size);
            QCOMPARE(now.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
            QVERIFY2(std::abs(level() - next) < 0.02, renamed ? "renamed over" : "written over");
        }
    }

    // The current directory, beside the program, then the installed data
    // folder; a changed file is read again, a removed one is no more.
    void bareNamesAreFoundWhereTheGameLooks() {
        const QString name = "tst_sound_files_lookup.fez";
        const QDir program(QCoreApplication::applicationDirPath());
        const QString share = QDir::cleanPath(program.filePath("../share/marrowfen2"));
        const bool shareExisted = QDir(share).exists();
        QVERIFY(QDir().mkpath(share));
        const QString installed = QDir(share).filePath(name), beside = program.filePath(name);
        const auto tidy = qScopeGuard([&] {
            QFile::remove(installed);
            QFile::remove(beside);
            if (!shareExisted)
                QDir().rmpath(share);
        });
        const auto lengthOf = [&] {
            const auto sound = SoundStore::find(name);
            return sound ? int(sound->duration().count()) : 0;
        };

        QCOMPARE(SoundStore::locate(name), QString());
        QCOMPARE(lengthOf(), 0);
        QVERIFY(writeTone(installed, {300}));
        QCOMPARE(SoundStore::locate(name), QFileInfo(installed).absoluteFilePath());
        QCOMPARE(lengthOf(), 300);
        QVERIFY(writeTone(beside, {400}));
        QCOMPARE(lengthOf(), 400);
        QVERIFY(writeTone(name, {500}));
        QCOMPARE(SoundStore::locate(name), QDir::current().absoluteFilePath(name));
        QCOMPARE(lengthOf(), 500);

        QTest::qWait(20);   // a later modification time
        QVERIFY(writeTone(name, {600}));
        QCOMPARE(lengthOf(), 600);
        writeFile(name, "no longer a sound");
        QCOMPARE(lengthOf(), 0);
        QVERIFY(QFile::remove(name) && QFile::remove(beside) && QFile::remove(installed));
        QCOMPARE(lengthOf(), 0);
    }
};

QTEST_MAIN(TstSoundFiles)
#include "tst_sound_files.moc"
