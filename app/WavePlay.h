#pragma once

// TPlayerWave: plays one sound from a file, from the program's resources or from memory.

#include "platform/SoundPlayer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <memory>

class TPlayerWave : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString WaveName READ WaveName WRITE setWaveName)
    Q_PROPERTY(TWhereWave WhereWave READ WhereWave WRITE setWhereWave)
    Q_PROPERTY(bool Loop READ Loop WRITE setLoop)
    Q_PROPERTY(bool Async READ Async WRITE setAsync)

public:
    enum TWhereWave { wwInFile, wwInResource, wwInRAM };
    Q_ENUM(TWhereWave)

    // Without a player, sounds go to the system's default output.
    explicit TPlayerWave(QObject* owner = nullptr,
                         std::shared_ptr<qm::platform::SoundPlayer> player = {});
    ~TPlayerWave() override;

    QString WaveName() const { return waveName_; }
    void setWaveName(const QString& name) { waveName_ = name; }
    TWhereWave WhereWave() const { return whereWave_; }
    void setWhereWave(TWhereWave where) { whereWave_ = where; }
    bool Loop() const { return loop_; }
    void setLoop(bool loop) { loop_ = loop; }
    bool Async() const { return async_; }
    void setAsync(bool async) { async_ = async; }
    // The complete in-memory waveform played with wwInRAM.
    QByteArray waveData() const { return waveData_; }
    void setWaveData(const QByteArray& data) { waveData_ = data; }

    // Plays the current sound; true when it started (or, synchronous, when it was played).
    bool Play();

    // Cue names start with "My" and are played from the resources; anything else is a path.
    static bool isCueName(const QString& name);

    qm::platform::SoundPlayer& player() { return *player_; }
    const std::shared_ptr<qm::platform::SoundPlayer>& sharedPlayer() const { return player_; }

private:
    std::shared_ptr<qm::platform::SoundPlayer> player_;
    QString waveName_;
    TWhereWave whereWave_ = wwInFile;
    bool loop_ = false;
    bool async_ = true;
    QByteArray waveData_;
};

namespace qm::app {

// The ten cue texts, in the order the window fills its cue names.
inline constexpr std::array<const char*, 10> kCueNames = {
    "MyOK",   "MyOhOh", "MyTick",   "MyTock", "MyGoodbye",
    "MyDing", "MyTaDa", "MyChimes", "MyOpen", "MyClose"};

} // namespace qm::app
