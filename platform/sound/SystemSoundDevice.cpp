// The system's sound output through Qt Multimedia, in a module of its own: the program loads it
// at its first sound, so that Qt Multimedia and the sound server's libraries cost nothing at
// start and nothing at all while sounds stay off.

#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

#include <cstring>

namespace qm::platform {

namespace {

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

} // namespace qm::platform

extern "C" Q_DECL_EXPORT qm::platform::SoundDevice* qmCreateSoundDevice() {
    return new qm::platform::QtSoundDevice;
}
