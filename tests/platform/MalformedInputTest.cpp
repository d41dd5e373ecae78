// Files this layer parses (settings exports, WAVE sounds) come from disk and may be anything:
// many deterministic mutations of good files, each of which must be read or refused cleanly.

#include "platform/RegistryStore.h"
#include "platform/WaveData.h"

#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using namespace qm::platform;

namespace {

std::string mutate(std::string text, std::mt19937& rng) {
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = rng() % text.size();
        switch (rng() % 5) {
        case 0: // flip a byte
            text[at] = static_cast<char>(rng() % 256);
            break;
        case 1: // cut the file short
            text.resize(at);
            break;
        case 2: // insert a structural character
            text.insert(at, 1, "\"\\[]=:,\n@"[rng() % 9]);
            break;
        case 3: // drop a byte
            text.erase(at, 1);
            break;
        default: // repeat a stretch
            text.insert(at, text.substr(at, rng() % 40));
            break;
        }
    }
    return text;
}

TEST(MalformedSettingsFile, isEitherReadOrSetAsideNeverMisread) {
    const std::string good = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\App]\n"
                             "\"SoundOn\"=dword:ffffffff\n\"Save To\"=\"/home/a \\\"b\\\"/\"\n"
                             "\"Blob\"=hex:01,02,03\n\"Path\"=hex(2):41,42,00\n@=\"x\"\n"
                             "\n[HKEY_CURRENT_USER\\Software\\App\\Sub]\n\"N\"=dword:00000001\n";
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.filePath("quillmark").toStdString();
    std::filesystem::create_directories(folder);
    std::mt19937 rng(20240601);
    int setAside = 0;
    for (int round = 0; round < 400; ++round) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::filesystem::path file = folder / "HKEY_CURRENT_USER.reg";
        std::ofstream(file, std::ios::binary) << mutate(good, rng);

        RegistryStore store(folder);
        RegHandle h = 0;
        const long rc = store.openKey(kHkeyCurrentUser, "Software\\App", &h);
        if (store.lastSetAside()) {
            ++setAside;
            EXPECT_FALSE(std::filesystem::exists(file));
            EXPECT_EQ(rc, kErrorFileNotFound);
            continue;
        }
        if (rc != kErrorSuccess) {
            continue; // a key name was changed: read as missing, file kept
        }
        for (const char* name : {"SoundOn", "Save To", "Blob", "Path", "N"}) {
            const std::string n = name;
            std::uint32_t type = 0;
            std::uint32_t size = 0;
            if (store.queryValue(h, &n, &type, nullptr, &size) == kErrorSuccess) {
                std::vector<std::uint8_t> data(size);
                EXPECT_EQ(store.queryValue(h, &n, &type, data.data(), &size), kErrorSuccess);
                if (type == kRegDword && n == "SoundOn") {
                    EXPECT_EQ(size, 4u) << "dword: always four bytes";
                }
            }
        }
        // What was read is written back and read again identically.
        const std::string probe = "Probe";
        const std::uint8_t one[] = {1, 0, 0, 0};
        ASSERT_EQ(store.setValue(h, &probe, kRegDword, one, 4), kErrorSuccess);
        RegistryStore again(folder);
        RegHandle h2 = 0;
        ASSERT_EQ(again.openKey(kHkeyCurrentUser, "Software\\App", &h2), kErrorSuccess);
        EXPECT_FALSE(again.lastSetAside().has_value()) << "what we write we can read";
    }
    EXPECT_GT(setAside, 0);
}

TEST(MalformedWave, isEitherPlayableOrRefused) {
    QFile f(findWaveResource("MyOK"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    std::mt19937 rng(77);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        const int edits = 1 + static_cast<int>(rng() % 3);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = static_cast<qsizetype>(rng() % 48); // the header
            if (rng() % 6 == 0) {
                bytes.truncate(at);
            } else if (at < bytes.size()) {
                bytes[at] = static_cast<char>(rng() % 256);
            }
        }
        const auto wave = parseWave(bytes);
        if (!wave) {
            ++refused;
            continue;
        }
        EXPECT_LE(wave->samples.size(), bytes.size());
        EXPECT_EQ(wave->samples.size(), wave->frameCount() * wave->bytesPerFrame());
        EXPECT_GT(wave->sampleRate, 0);
    }
    EXPECT_GT(refused, 0);
}

} // namespace
