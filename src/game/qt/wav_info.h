// The wave files the game plays: 16-bit PCM in a RIFF/WAVE container. Files
// are checked here before the sound backend sees them, and are handed to it
// rewritten with a little silence at the end (see QtWaveDevice).
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace mf::qt {

struct WavInfo {
    bool playable = false;
    std::chrono::milliseconds duration{0};   // of the samples actually in the file
    int channels = 0;
    int sampleRate = 0;
    QByteArray samples;                      // interleaved, little-endian
};

// Reads a file; anything missing, unreadable or of another format is not playable.
WavInfo readWav(const QString& path);

// A plain wave file of the samples followed by the given length of silence.
QByteArray wavFile(const WavInfo& wav, std::chrono::milliseconds silence);

} // namespace mf::qt
