#include "game/qt/wav_info.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace mf::qt {

namespace {

quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }
quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }

void put(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

} // namespace

WavInfo readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8) != "WAVE")
        return {};

    WavInfo wav;
    bool pcm16 = false;
    char chunk[8];
    while (file.read(chunk, 8) == 8) {
        const QByteArray id(chunk, 4);
        const qint64 size = u32(chunk + 4);
        const qint64 body = file.pos();
        if (id == "fmt ") {
            const QByteArray fmt = file.read(16);
            if (size < 16 || fmt.size() != 16)
                return {};
            const char* f = fmt.constData();
            const quint32 format = u16(f), channels = u16(f + 2), rate = u32(f + 4);
            const quint32 byteRate = u32(f + 8), blockAlign = u16(f + 12), bits = u16(f + 14);
            pcm16 = format == 1 && bits == 16 && channels > 0 && rate > 0 && rate <= 768000
                    && blockAlign == 2 * channels && byteRate == quint64(rate) * blockAlign;
            wav.channels = int(channels);
            wav.sampleRate = int(rate);
        } else if (id == "data") {
            if (!pcm16)
                return {};
            // A file cut short plays what it has, in whole frames.
            const qint64 frameBytes = 2 * wav.channels;
            const qint64 bytes = std::min(size, file.size() - body) / frameBytes * frameBytes;
            wav.samples = file.read(bytes);
            if (bytes <= 0 || wav.samples.size() != bytes)
                return {};
            const qint64 byteRate = frameBytes * wav.sampleRate;
            wav.duration = std::chrono::milliseconds((bytes * 1000 + byteRate - 1) / byteRate);
            wav.playable = true;
            return wav;
        }
        if (!file.seek(body + size + (size & 1)))   // chunks are word-aligned
            return {};
    }
    return {};
}

QByteArray wavFile(const WavInfo& wav, std::chrono::milliseconds silence) {
    const quint32 block = 2 * quint32(wav.channels);
    const quint32 padding = quint32(wav.sampleRate * silence.count() / 1000) * block;
    const quint32 data = quint32(wav.samples.size()) + padding;
    QByteArray out("RIFF");
    put(out, 36 + data, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);                                   // PCM
    put(out, quint32(wav.channels), 2);
    put(out, quint32(wav.sampleRate), 4);
    put(out, quint32(wav.sampleRate) * block, 4);
    put(out, block, 2);
    put(out, 16, 2);
    out += "data";
    put(out, data, 4);
    out += wav.samples;
    out.append(QByteArray(qsizetype(padding), '\0'));
    return out;
}

} // namespace mf::qt
