#include "app/WavePlay.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::platform;
using qm::app::kCueNames;

namespace {

// Where the machine has no sound device: accepts every sound, like a working output.
class AcceptingDevice : public SoundDevice {
public:
    bool available() override { return true; }
    bool start(const WaveData&, bool) override {
        playing_ = true;
        return true;
    }
    bool playing() override { return false; } // ends at once, so synchronous play returns
    void stop() override { playing_ = false; }

private:
    bool playing_ = false;
};

std::shared_ptr<SoundPlayer> accepting() {
    return std::make_shared<SoundPlayer>(std::make_unique<AcceptingDevice>());
}

QByteArray cueBytes(const char* name) {
    QFile f(findWaveResource(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PlayerWave, startsAsTheDocumentedDefaults) {
    TPlayerWave sound(nullptr, accepting());
    EXPECT_EQ(sound.WhereWave(), TPlayerWave::wwInFile);
    EXPECT_TRUE(sound.WaveName().isEmpty());
    EXPECT_FALSE(sound.Loop());
    EXPECT_TRUE(sound.Async());
}

struct WhereRow {
    const char* name;
    TPlayerWave::TWhereWave where;
    SoundSource source;
};

class PlayFrom : public ::testing::TestWithParam<WhereRow> {};

TEST_P(PlayFrom, asksThePlayerForTheRightSourceWithTheFlags) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chime.wav");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cueBytes("MyChimes"));
    }
    auto player = accepting();
    TPlayerWave sound(nullptr, player);
    sound.setWhereWave(GetParam().where);
    sound.setWaveName(GetParam().where == TPlayerWave::wwInFile ? path : QStringLiteral("MyDing"));
    sound.setWaveData(cueBytes("MyOpen"));
    sound.setLoop(true);
    sound.setAsync(false);
    EXPECT_TRUE(sound.Play());

    ASSERT_EQ(player->requests().size(), 1u);
    const SoundRequest& r = player->requests()[0];
    EXPECT_EQ(r.source, GetParam().source);
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.loop);
    EXPECT_FALSE(r.async);
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlayFrom,
    ::testing::Values(WhereRow{"File", TPlayerWave::wwInFile, SoundSource::File},
                      WhereRow{"Resource", TPlayerWave::wwInResource, SoundSource::Resource},
                      WhereRow{"Memory", TPlayerWave::wwInRAM, SoundSource::Memory}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerWave, everyCueNameIsAResourceMatchedWithoutRegardToCase) {
    auto player = accepting();
    TPlayerWave sound(nullptr, player);
    sound.setWhereWave(TPlayerWave::wwInResource);
    for (const char* cue : kCueNames) {
        sound.setWaveName(cue);
        EXPECT_TRUE(sound.Play()) << cue;
        sound.setWaveName(QString::fromUtf8(cue).toLower());
        EXPECT_TRUE(sound.Play()) << cue;
    }
    for (const auto& r : player->requests()) {
        EXPECT_TRUE(r.found) << r.name.toStdString();
    }
}

TEST(PlayerWave, aCueNameTakenAsAFilePathIsNotFound) {
    auto player = accepting();
    TPlayerWave sound(nullptr, player);
    sound.setWaveName("MyOK"); // wwInFile: a file called MyOK in the current folder
    EXPECT_FALSE(sound.Play());
    EXPECT_FALSE(player->requests().back().found);
}

TEST(PlayerWave, withoutASoundDeviceNothingPlays) {
    class NoDevice : public SoundDevice {
    public:
        bool available() override { return false; }
        bool start(const WaveData&, bool) override { return false; }
        bool playing() override { return false; }
        void stop() override {}
    };
    auto player = std::make_shared<SoundPlayer>(std::make_unique<NoDevice>());
    TPlayerWave sound(nullptr, player);
    sound.setWhereWave(TPlayerWave::wwInResource);
    sound.setWaveName("MyGoodbye");
    sound.setAsync(false);
    EXPECT_FALSE(sound.Play());
    ASSERT_EQ(player->requests().size(), 1u);
    EXPECT_TRUE(player->requests()[0].found);
    EXPECT_FALSE(player->requests()[0].started);
}

TEST(PlayerWave, withoutAPlayerUsesTheSystemOutput) {
    TPlayerWave sound; // this machine's output, silent when it has none
    sound.setWhereWave(TPlayerWave::wwInResource);
    sound.setWaveName("MyTick");
    sound.Play();
    ASSERT_EQ(sound.player().requests().size(), 1u);
    EXPECT_TRUE(sound.player().requests()[0].found);
}

struct CueNameRow {
    const char* name;
    bool cue;
};

class IsCueName : public ::testing::TestWithParam<CueNameRow> {};

TEST_P(IsCueName, whenItBeginsWithMy) {
    EXPECT_EQ(TPlayerWave::isCueName(QString::fromUtf8(GetParam().name)), GetParam().cue);
}

INSTANTIATE_TEST_SUITE_P(Names, IsCueName,
                         ::testing::Values(CueNameRow{"MyOK", true}, CueNameRow{"MyTaDa", true},
                                           CueNameRow{"My", true}, CueNameRow{"myok", false},
                                           CueNameRow{"/home/ann/My.wav", false},
                                           CueNameRow{"M", false}, CueNameRow{"", false}),
                         [](const auto& info) { return "Row" + std::to_string(info.index); });

TEST(CueNames, areTheTenDocumentedOnes) {
    const QStringList expected{"MyOK",   "MyOhOh", "MyTick",   "MyTock", "MyGoodbye",
                               "MyDing", "MyTaDa", "MyChimes", "MyOpen", "MyClose"};
    QStringList names;
    for (const char* n : kCueNames) {
        names << QString::fromUtf8(n);
    }
    EXPECT_EQ(names, expected);
}

} // namespace
