#include "platform/WaveData.h"

#include <QDir>

namespace qm::platform {

namespace {

quint32 le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<quint32>(p[3]) << 24);
}

quint16 le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

} // namespace

qint64 WaveData::frameCount() const {
    const int frame = bytesPerFrame();
    return frame > 0 ? samples.size() / frame : 0;
}

qint64 WaveData::durationMs() const {
    return sampleRate > 0 ? (frameCount() * 1000 + sampleRate - 1) / sampleRate : 0;
}

std::optional<WaveData> parseWave(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    WaveData wave;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype pos = 12;
    // Chunks: 4-byte id, 4-byte size, data padded to an even length. The size test is
    // written so that it cannot overflow whatever the header claims.
    while (file.size() - pos >= 8) {
        const QByteArray id = file.mid(pos, 4);
        const quint32 size = le32(file, pos + 4);
        pos += 8;
        if (size > static_cast<quint64>(file.size() - pos)) {
            if (id != "data") {
                return std::nullopt;
            }
            // A truncated data chunk still plays what is there.
            wave.samples = file.mid(pos);
            haveData = true;
            break;
        }
        if (id == "fmt ") {
            if (size < 16) {
                return std::nullopt;
            }
            const quint16 formatTag = le16(file, pos);
            wave.channels = le16(file, pos + 2);
            wave.sampleRate = static_cast<int>(le32(file, pos + 4));
            wave.bitsPerSample = le16(file, pos + 14);
            if (formatTag != 1) { // PCM only
                return std::nullopt;
            }
            haveFormat = true;
        } else if (id == "data") {
            wave.samples = file.mid(pos, size);
            haveData = true;
        }
        pos += size + (size & 1);
    }
    if (!haveFormat || !haveData || wave.channels < 1 || wave.channels > 2 ||
        (wave.bitsPerSample != 8 && wave.bitsPerSample != 16) || wave.sampleRate < 1000 ||
        wave.sampleRate > 192000) {
        return std::nullopt;
    }
    // Drop a trailing partial frame.
    wave.samples.truncate(wave.frameCount() * wave.bytesPerFrame());
    return wave;
}

QString findWaveResource(const QString& name) {
    if (name.isEmpty()) {
        return {};
    }
    const QDir dir(QStringLiteral(":/wave"));
    const QStringList entries = dir.entryList(QDir::Files);
    for (const QString& entry : entries) {
        const QString base = entry.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)
                                 ? entry.left(entry.size() - 4)
                                 : entry;
        if (base.compare(name, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return {};
}

} // namespace qm::platform
