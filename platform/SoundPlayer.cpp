#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

namespace qm::platform {

namespace {

// How long a sound may still be heard after the output has taken its last bytes.
constexpr qint64 kOutputLatencyMs = 150;

// Feeds the sink from the sound's bytes, from the start again when looping.
class WaveSource : public QIODevice {
public:
    WaveSource(QByteArray data, bool loop) : data_(std::move(data)), loop_(loop) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return (loop_ ? data_.size() : data_.size() - pos_) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* out, qint64 max) override {
        qint64 done = 0;
        while (done < max && !data_.isEmpty()) {
            if (pos_ >= data_.size()) {
                if (!loop_) {
                    break;
                }
                pos_ = 0;
            }
            const qint64 n = std::min(max - done, static_cast<qint64>(data_.size() - pos_));
            std::memcpy(out + done, data_.constData() + pos_, static_cast<size_t>(n));
            pos_ += n;
            done += n;
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 pos_ = 0;
    bool loop_;
};

class QtSoundDevice : public SoundDevice {
public:
    ~QtSoundDevice() override { stop(); }

    bool available() override {
        if (!checked_) {
            // Without a device QAudioSink fails or hangs in odd ways; look once, then stay silent.
            checked_ = true;
            device_ = QMediaDevices::defaultAudioOutput();
        }
        return !device_.isNull();
    }

    bool start(const WaveData& wave, bool loop) override {
        stop();
        if (!available()) {
            return false;
        }
        QAudioFormat format;
        format.setSampleRate(wave.sampleRate);
        format.setChannelCount(wave.channels);
        format.setSampleFormat(wave.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        if (!device_.isFormatSupported(format)) {
            return false;
        }
        source_ = std::make_unique<WaveSource>(wave.samples, loop);
        sink_ = std::make_unique<QAudioSink>(device_, format);
        sink_->start(source_.get());
        if (sink_->error() != QAudio::NoError) {
            stop();
            return false;
        }
        return true;
    }

    bool playing() override {
        if (!sink_) {
            return false;
        }
        const QAudio::State s = sink_->state();
        return s == QAudio::ActiveState && sink_->error() == QAudio::NoError;
    }

    void stop() override {
        if (sink_) {
            sink_->stop();
        }
        sink_.reset();
        source_.reset();
    }

private:
    bool checked_ = false;
    QAudioDevice device_;
    std::unique_ptr<WaveSource> source_;
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace

std::unique_ptr<SoundDevice> makeSystemSoundDevice() {
    return std::make_unique<QtSoundDevice>();
}

SoundPlayer::SoundPlayer(std::unique_ptr<SoundDevice> device) : device_(std::move(device)) {}

SoundPlayer::~SoundPlayer() {
    if (device_) {
        device_->stop();
    }
}

bool SoundPlayer::playFile(const QString& path, bool loop, bool async) {
    QByteArray bytes;
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        // Cues are short; refuse to pull a huge file into memory.
        if (file.size() <= 64 * 1024 * 1024) {
            bytes = file.readAll();
        }
    }
    return play({SoundSource::File, path, loop, async}, bytes);
}

bool SoundPlayer::playResource(const QString& name, bool loop, bool async) {
    QByteArray bytes;
    const QString resource = findWaveResource(name);
    if (!resource.isEmpty()) {
        QFile file(resource);
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
        }
    }
    return play({SoundSource::Resource, name, loop, async}, bytes);
}

bool SoundPlayer::playMemory(const QByteArray& wave, bool loop, bool async) {
    return play({SoundSource::Memory, QString(), loop, async}, wave);
}

void SoundPlayer::stop() {
    device_->stop();
}

bool SoundPlayer::play(SoundRequest request, const QByteArray& bytes) {
    // Any new request ends the sound still playing, even one that cannot play itself.
    device_->stop();
    const std::optional<WaveData> wave = parseWave(bytes);
    request.found = wave.has_value();
    if (wave && device_->available()) {
        request.started = device_->start(*wave, request.loop);
    }
    requests_.push_back(request);
    if (!request.started) {
        return false;
    }
    if (!request.async && !request.loop) {
        // Synchronous. The output's "idle" means its source ran dry, not that the listener heard
        // the end, and some outputs never report an end at all: so wait the sound's own length
        // plus the output's latency, and never longer than the length plus the margin.
        const qint64 length = wave->durationMs();
        const qint64 least = length + std::min<qint64>(kOutputLatencyMs, syncMargin_.count());
        const qint64 most = length + syncMargin_.count();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < most && (clock.elapsed() < least || device_->playing())) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            QThread::msleep(2);
        }
        device_->stop();
    }
    return true;
}

} // namespace qm::platform
