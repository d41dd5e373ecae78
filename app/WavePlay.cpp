#include "app/WavePlay.h"

TPlayerWave::TPlayerWave(QObject* owner, std::shared_ptr<qm::platform::SoundPlayer> player)
    : QObject(owner),
      player_(player ? std::move(player) : std::make_shared<qm::platform::SoundPlayer>()) {}

TPlayerWave::~TPlayerWave() = default;

bool TPlayerWave::Play() {
    switch (whereWave_) {
    case wwInResource:
        return player_->playResource(waveName_, loop_, async_);
    case wwInRAM:
        return player_->playMemory(waveData_, loop_, async_);
    case wwInFile:
    default:
        return player_->playFile(waveName_, loop_, async_);
    }
}

bool TPlayerWave::isCueName(const QString& name) {
    return name.startsWith(QLatin1String("My"));
}
