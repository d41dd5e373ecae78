#pragma once

// Plays WAVE sounds the way the program expects of the system's sound service: a new sound
// cuts the previous one, asynchronous by default, synchronous play bounded by the sound's own
// length. Every request is recorded so tests can see which cue played.

#include "platform/WaveData.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

namespace qm::platform {

// The output the player drives. The real one uses Qt Multimedia; tests may substitute their own
// where the machine has no sound device.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // False when there is no output at all; the player then stays silent and immediate.
    virtual bool available() = 0;
    // Stops whatever plays and starts this sound; false when it could not start.
    virtual bool start(const WaveData& wave, bool loop) = 0;
    virtual bool playing() = 0;
    virtual void stop() = 0;
};

// The system's output: Qt Multimedia (QAudioSink) in the module platform/sound, loaded at the
// first sound that needs a device; no output when the module cannot be loaded. Checks for a
// default output once.
std::unique_ptr<SoundDevice> makeSystemSoundDevice();

enum class SoundSource { File, Resource, Memory };

struct SoundRequest {
    SoundSource source = SoundSource::File;
    QString name; // file path or resource name; empty for memory
    bool loop = false;
    bool async = true;
    bool found = false;   // the sound data was found and is valid WAVE
    bool started = false; // the device accepted it
};

class SoundPlayer {
public:
    explicit SoundPlayer(std::unique_ptr<SoundDevice> device = makeSystemSoundDevice());
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Each returns whether the sound started. Synchronous play returns once the sound's length
    // and the output's latency have passed and the output is done, and never later than the
    // length plus syncMargin(); at once when nothing started.
    bool playFile(const QString& path, bool loop, bool async);
    bool playResource(const QString& name, bool loop, bool async);
    bool playMemory(const QByteArray& wave, bool loop, bool async);
    void stop();

    const std::vector<SoundRequest>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    std::chrono::milliseconds syncMargin() const { return syncMargin_; }
    void setSyncMargin(std::chrono::milliseconds margin) { syncMargin_ = margin; }

    SoundDevice& device() { return *device_; }

private:
    bool play(SoundRequest request, const QByteArray& bytes);

    std::unique_ptr<SoundDevice> device_;
    std::vector<SoundRequest> requests_;
    // Room for an output that is slow to start or never reports its end.
    std::chrono::milliseconds syncMargin_{400};
};

} // namespace qm::platform
