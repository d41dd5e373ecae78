#pragma once

// A parsed RIFF/WAVE file: uncompressed PCM only, which is all the cues use.

#include <QByteArray>
#include <QString>
#include <optional>

namespace qm::platform {

struct WaveData {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QByteArray samples; // the "data" chunk

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    qint64 frameCount() const;
    qint64 durationMs() const; // rounded up
};

// nullopt for anything that is not uncompressed 8/16-bit PCM WAVE with sane fields.
std::optional<WaveData> parseWave(const QByteArray& file);

// ":/wave/<file>.wav" whose base name equals name without regard to case; empty when none.
QString findWaveResource(const QString& name);

} // namespace qm::platform
