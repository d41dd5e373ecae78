#include "platform/SoundPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QThread>

namespace qm::platform {

namespace {

// How long a sound may still be heard after the output has taken its last bytes.
constexpr qint64 kOutputLatencyMs = 150;

// The output of platform/sound, loaded at the first sound that asks for a device. Beside the
// program first (the build tree), then where it is installed. Never unloaded: the device it made
// lives until the player goes.
std::unique_ptr<SoundDevice> loadSoundModule() {
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    folders << QStringLiteral(QM_SOUND_MODULE_DIR);
    for (const QString& folder : folders) {
        QLibrary module(folder + QStringLiteral("/quillmark-sound"));
        using Create = SoundDevice* (*)();
        if (const auto create = reinterpret_cast<Create>(module.resolve("qmCreateSoundDevice")))
            return std::unique_ptr<SoundDevice>(create());
    }
    return nullptr;
}

// Stands in for the module's device until a sound needs it; without the module, no output.
class ModuleSoundDevice : public SoundDevice {
public:
    bool available() override { return real() && real_->available(); }
    bool start(const WaveData& wave, bool loop) override {
        return real() && real_->start(wave, loop);
    }
    bool playing() override { return real_ && real_->playing(); }
    void stop() override {
        if (real_)
            real_->stop();
    }

private:
    SoundDevice* real() {
        if (!loaded_) {
            loaded_ = true;
            real_ = loadSoundModule();
        }
        return real_.get();
    }
    bool loaded_ = false;
    std::unique_ptr<SoundDevice> real_;
};

} // namespace

std::unique_ptr<SoundDevice> makeSystemSoundDevice() {
    return std::make_unique<ModuleSoundDevice>();
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
