#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::platform;

namespace {

QByteArray resourceBytes(const QString& name) {
    QFile f(findWaveResource(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The cue table: each sound's sample rate and length.
struct CueRow {
    const char* name;
    int sampleRate;
    double seconds; // length; for the two clicks, samples / rate
};

class CueSound : public ::testing::TestWithParam<CueRow> {};

TEST_P(CueSound, isEightBitMonoPcmOfTheGivenLengthAndRate) {
    const CueRow& row = GetParam();
    const auto wave = parseWave(resourceBytes(row.name));
    ASSERT_TRUE(wave.has_value()) << row.name;
    EXPECT_EQ(wave->sampleRate, row.sampleRate);
    EXPECT_EQ(wave->channels, 1);
    EXPECT_EQ(wave->bitsPerSample, 8);
    EXPECT_NEAR(static_cast<double>(wave->frameCount()), row.seconds * row.sampleRate, 1.0);
    // Not silence: the samples move well away from the 8-bit midpoint.
    int lo = 255;
    int hi = 0;
    for (char c : wave->samples) {
        lo = std::min(lo, static_cast<int>(static_cast<unsigned char>(c)));
        hi = std::max(hi, static_cast<int>(static_cast<unsigned char>(c)));
    }
    EXPECT_GT(hi - lo, 100);
}

INSTANTIATE_TEST_SUITE_P(
    Cues, CueSound,
    ::testing::Values(CueRow{"MyOK", 11025, 0.50}, CueRow{"MyOhOh", 8000, 0.43},
                      CueRow{"MyTick", 22050, 31.0 / 22050}, CueRow{"MyTock", 22050, 61.0 / 22050},
                      CueRow{"MyGoodbye", 22050, 0.61}, CueRow{"MyDing", 22050, 0.52},
                      CueRow{"MyTaDa", 22050, 1.25}, CueRow{"MyChimes", 11000, 0.96},
                      CueRow{"MyOpen", 11025, 0.066}, CueRow{"MyClose", 11025, 0.034}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CueSounds, areAllDifferent) {
    QList<QByteArray> seen;
    for (const char* name : {"MyOK", "MyOhOh", "MyTick", "MyTock", "MyGoodbye", "MyDing", "MyTaDa",
                             "MyChimes", "MyOpen", "MyClose"}) {
        const QByteArray bytes = parseWave(resourceBytes(name))->samples;
        EXPECT_FALSE(seen.contains(bytes)) << name;
        seen.append(bytes);
    }
}

struct LookupRow {
    const char* asked;
    const char* found; // empty: none
};

class WaveResourceLookup : public ::testing::TestWithParam<LookupRow> {};

TEST_P(WaveResourceLookup, ignoresCase) {
    EXPECT_EQ(findWaveResource(QString::fromUtf8(GetParam().asked)),
              QString::fromUtf8(GetParam().found));
}

INSTANTIATE_TEST_SUITE_P(Names, WaveResourceLookup,
                         ::testing::Values(LookupRow{"MyOK", ":/wave/MYOK.wav"},
                                           LookupRow{"myok", ":/wave/MYOK.wav"},
                                           LookupRow{"MYTADA", ":/wave/MYTADA.wav"},
                                           LookupRow{"mYoHoH", ":/wave/MYOHOH.wav"},
                                           LookupRow{"MyNothing", ""}, LookupRow{"", ""},
                                           LookupRow{"MYOK.wav", ""}),
                         [](const auto& info) {
                             std::string n = info.param.asked;
                             for (char& c : n) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return "Ask_" + n + std::to_string(info.index);
                         });

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<char>(v >> (8 * i));
    }
    return b;
}

QByteArray makeWave(quint16 formatTag, quint16 channels, quint32 rate, quint16 bits,
                    const QByteArray& data, quint32 claimedDataSize) {
    QByteArray fmt;
    fmt += static_cast<char>(formatTag & 0xff);
    fmt += static_cast<char>(formatTag >> 8);
    fmt += static_cast<char>(channels);
    fmt += '\0';
    fmt += le32(rate);
    fmt += le32(rate * channels * bits / 8);
    fmt += static_cast<char>(channels * bits / 8);
    fmt += '\0';
    fmt += static_cast<char>(bits);
    fmt += '\0';
    QByteArray body = "WAVEfmt " + le32(16) + fmt + "data" + le32(claimedDataSize) + data;
    return "RIFF" + le32(static_cast<quint32>(body.size())) + body;
}

struct ParseRow {
    const char* name;
    QByteArray file;
    bool valid;
    qint64 frames;
};

class WaveParsing : public ::testing::TestWithParam<ParseRow> {};

TEST_P(WaveParsing, acceptsOnlyPlainPcm) {
    const auto wave = parseWave(GetParam().file);
    ASSERT_EQ(wave.has_value(), GetParam().valid);
    if (wave) {
        EXPECT_EQ(wave->frameCount(), GetParam().frames);
    }
}

const QByteArray kTen(10, '\x80');

INSTANTIATE_TEST_SUITE_P(
    Files, WaveParsing,
    ::testing::Values(ParseRow{"Mono8", makeWave(1, 1, 8000, 8, kTen, 10), true, 10},
                      ParseRow{"Stereo16", makeWave(1, 2, 22050, 16, kTen, 10), true, 2},
                      ParseRow{"TruncatedData", makeWave(1, 1, 8000, 8, kTen, 1000), true, 10},
                      ParseRow{"HugeClaim", makeWave(1, 1, 8000, 8, kTen, 0xFFFFFFFFu), true, 10},
                      ParseRow{"Compressed", makeWave(2, 1, 8000, 8, kTen, 10), false, 0},
                      ParseRow{"NoChannels", makeWave(1, 0, 8000, 8, kTen, 10), false, 0},
                      ParseRow{"OddBits", makeWave(1, 1, 8000, 12, kTen, 10), false, 0},
                      ParseRow{"ZeroRate", makeWave(1, 1, 0, 8, kTen, 10), false, 0},
                      ParseRow{"NotRiff", QByteArray("RIFX....WAVE"), false, 0},
                      ParseRow{"Empty", QByteArray(), false, 0},
                      ParseRow{"HeaderOnly", QByteArray("RIFF\x04\0\0\0WAVE", 12), false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A device that accepts every sound and, like a broken output, never reports an end.
class EndlessDevice : public SoundDevice {
public:
    bool available() override { return true; }
    bool start(const WaveData& wave, bool loop) override {
        events.push_back("start:" + std::to_string(wave.frameCount()) + (loop ? ":loop" : ""));
        playing_ = true;
        return true;
    }
    bool playing() override { return playing_; }
    void stop() override {
        if (playing_) {
            events.push_back("stop");
        }
        playing_ = false;
    }
    std::vector<std::string> events;

private:
    bool playing_ = false;
};

TEST(SoundPlayer, synchronousPlayIsBoundedByTheSoundsLengthWhenTheEndNeverComes) {
    auto device = std::make_unique<EndlessDevice>();
    SoundPlayer player(std::move(device));
    player.setSyncMargin(std::chrono::milliseconds(50));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(player.playResource("MyOpen", false, false)); // 66 ms
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 66 + 50);
    EXPECT_LT(took, 66 + 50 + 2000) << "never hangs";
    EXPECT_FALSE(player.device().playing()) << "stopped once the wait is over";
}

// An output that reports its end as soon as it has taken the last bytes, long before they are
// heard (what PulseAudio's "idle" means).
class DrainingDevice : public EndlessDevice {
public:
    bool playing() override { return false; }
};

TEST(SoundPlayer, synchronousPlayLastsAtLeastTheSoundsLengthWhenTheEndComesEarly) {
    SoundPlayer player(std::make_unique<DrainingDevice>());
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(player.playResource("MyOK", false, false)); // 500 ms
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 500 + player.syncMargin().count() + 2000);
}

TEST(SoundPlayer, aNewSoundCutsThePreviousOne) {
    auto device = std::make_unique<EndlessDevice>();
    EndlessDevice* raw = device.get();
    SoundPlayer player(std::move(device));
    player.playResource("MyTaDa", false, true);
    player.playResource("MyTick", true, true);
    EXPECT_EQ(raw->events, (std::vector<std::string>{"start:27563", "stop", "start:31:loop"}));
}

TEST(SoundPlayer, aSoundThatCannotPlayStillStopsTheCurrentOne) {
    auto device = std::make_unique<EndlessDevice>();
    EndlessDevice* raw = device.get();
    SoundPlayer player(std::move(device));
    player.playResource("MyTaDa", false, true);
    EXPECT_FALSE(player.playFile("/no/such/file.wav", false, true));
    EXPECT_FALSE(raw->playing());
}

TEST(SoundPlayer, recordsEveryRequest) {
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.wav");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(resourceBytes("MyDing"));
    }
    SoundPlayer player(std::make_unique<EndlessDevice>());
    player.playResource("MyOK", false, true);
    player.playResource("MyMissing", false, true);
    player.playFile(path, false, false);
    player.playMemory(resourceBytes("MyTock"), true, true);
    player.playMemory(QByteArray("junk"), false, true);

    const auto& r = player.requests();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].source, SoundSource::Resource);
    EXPECT_EQ(r[0].name, "MyOK");
    EXPECT_TRUE(r[0].found && r[0].started && r[0].async);
    EXPECT_FALSE(r[1].found || r[1].started);
    EXPECT_EQ(r[2].source, SoundSource::File);
    EXPECT_EQ(r[2].name, path);
    EXPECT_TRUE(r[2].found && !r[2].async);
    EXPECT_EQ(r[3].source, SoundSource::Memory);
    EXPECT_TRUE(r[3].loop && r[3].found);
    EXPECT_FALSE(r[4].found);

    player.clearRequests();
    EXPECT_TRUE(player.requests().empty());
}

// This machine's own output, whatever it is. Without a device every call returns at once.
TEST(SystemSoundDevice, withoutADeviceIsSilentAndImmediate) {
    if (!QMediaDevices::defaultAudioOutput().isNull()) {
        GTEST_SKIP() << "this machine has a sound device";
    }
    SoundPlayer player; // the real output
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(player.playResource("MyTaDa", false, false)); // 1.25 s if it played
    EXPECT_FALSE(player.playResource("MyGoodbye", false, true));
    EXPECT_FALSE(player.playResource("MyChimes", true, true));
    player.stop();
    EXPECT_LT(clock.elapsed(), 1250) << "a synchronous sound that cannot play does not wait";
    ASSERT_EQ(player.requests().size(), 3u);
    for (const auto& r : player.requests()) {
        EXPECT_TRUE(r.found);
        EXPECT_FALSE(r.started);
    }
}

// The output and Qt Multimedia load with the first sound that needs a device, not before: a
// program whose sounds stay off never loads them.
TEST(SystemSoundDevice, theOutputModuleLoadsWithTheFirstSoundThatNeedsIt) {
    const auto moduleLoaded = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/quillmark-sound.so");
    };
    if (moduleLoaded())
        GTEST_SKIP() << "an earlier case of this process loaded it";
    SoundPlayer player;
    player.stop();
    EXPECT_FALSE(player.playMemory(QByteArray("not a sound"), false, true));
    EXPECT_FALSE(moduleLoaded()) << "loaded for a sound that cannot play";
    player.playResource("MyTick", false, true);
    EXPECT_TRUE(moduleLoaded());
    ASSERT_EQ(player.requests().size(), 2u);
    EXPECT_TRUE(player.requests().back().found);
}

TEST(SystemSoundDevice, synchronousPlayNeverOutlastsTheSoundByMoreThanTheMargin) {
    SoundPlayer player; // silent here when there is no device, bounded when there is one
    QElapsedTimer clock;
    clock.start();
    player.playResource("MyGoodbye", false, false); // 610 ms
    EXPECT_LT(clock.elapsed(), 610 + player.syncMargin().count() + 2000);
}

} // namespace
