#include "app/RegFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::platform;
using qm::app::TaggedValue;

namespace {

const QString kSettingsKey = QStringLiteral("Software\\Solvane\\Vantrel\\Quillmark\\Application");

class RegFileTest : public ::testing::Test {
protected:
    std::filesystem::path folder() const { return dir_.filePath("quillmark").toStdString(); }
    QString file() const { return dir_.filePath("quillmark/HKEY_CURRENT_USER.reg"); }
    std::shared_ptr<RegistryStore> store() { return std::make_shared<RegistryStore>(folder()); }

    // A fresh component on the same files, as at the next start of the program.
    std::unique_ptr<TRegFile> reg(const QString& key = kSettingsKey) {
        auto r = std::make_unique<TRegFile>(nullptr, store());
        r->setKey(key);
        return r;
    }

    // Stores raw data the way another program (or an older version) might have.
    void storeRaw(const QString& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
        RegistryStore s(folder());
        RegHandle h = 0;
        ASSERT_EQ(s.createKey(kHkeyCurrentUser, kSettingsKey.toStdString(), &h), 0);
        const std::string n = name.toStdString();
        ASSERT_EQ(s.setValue(h, &n, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
    }

    RegValue raw(const QString& name) {
        RegistryStore s(folder());
        RegHandle h = 0;
        RegValue v;
        if (s.openKey(kHkeyCurrentUser, kSettingsKey.toStdString(), &h) != 0) {
            return v;
        }
        const std::string n = name.toStdString();
        std::uint32_t size = 0;
        if (s.queryValue(h, &n, &v.type, nullptr, &size) == 0) {
            v.data.resize(size);
            s.queryValue(h, &n, &v.type, v.data.data(), &size);
        }
        return v;
    }

    QTemporaryDir dir_;
};

// ---- SplitValueName and KeyPath ----

struct SplitRow {
    const char* name;
    QString valueName;
    QString sub;
    QString value;
};

class SplitValueName : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitValueName, findsTheLastSingleBackslash) {
    QString sub = "junk";
    QString name = "junk";
    TRegFile::SplitValueName(GetParam().valueName, sub, name);
    EXPECT_EQ(sub, GetParam().sub);
    EXPECT_EQ(name, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SplitValueName,
    ::testing::Values(SplitRow{"Plain", "SoundOn", "", "SoundOn"},
                      SplitRow{"WithBlank", "Show Help", "", "Show Help"},
                      SplitRow{"SubKey", "Fonts\\Last", "\\Fonts", "Last"},
                      SplitRow{"LeadingBackslashKept", "\\Fonts\\Last", "\\Fonts", "Last"},
                      SplitRow{"DeepSubKey", "A\\B\\C", "\\A\\B", "C"},
                      SplitRow{"DoubledStaysInName", "a\\\\b", "", "a\\\\b"},
                      SplitRow{"DoubledAfterSubKey", "x\\a\\\\b", "\\x", "a\\\\b"},
                      SplitRow{"OnlyLeading", "\\Name", "\\", "Name"},
                      SplitRow{"TrailingBackslash", "Key\\", "\\Key", ""},
                      SplitRow{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeyPathRow {
    const char* name;
    QString key;
    QString sub;
    QString path;
};

class KeyPath : public ::testing::TestWithParam<KeyPathRow> {};

TEST_P(KeyPath, joinsWithOneBackslash) {
    TRegFile reg(nullptr, std::make_shared<RegistryStore>("/nonexistent/unused"));
    reg.setKey(GetParam().key);
    EXPECT_EQ(reg.KeyPath(GetParam().sub), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, KeyPath,
    ::testing::Values(KeyPathRow{"BothSet", "Software\\App", "Sub", "Software\\App\\Sub"},
                      KeyPathRow{"NoSub", "Software\\App", "", "Software\\App"},
                      KeyPathRow{"NoKey", "", "Sub", "Sub"}, KeyPathRow{"Neither", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- first run and existence tests ----

TEST_F(RegFileTest, firstRunReadsEveryDefaultAndValueExistsCreatesNothing) {
    auto r = reg();
    EXPECT_FALSE(r->ValueExists("", "Version Reminder"));
    EXPECT_FALSE(r->KeyExists(""));
    EXPECT_FALSE(QFile::exists(file())) << "existence tests never create a key";

    EXPECT_TRUE(r->ReadValueDefault("SoundOn", true).toBool());
    EXPECT_TRUE(r->ReadValueDefault("Show Help", true).toBool());
    EXPECT_EQ(r->ReadValueDefault("Save To", QString()).toString(), "");
    EXPECT_EQ(r->ReadValueDefault("Version Reminder", 2460000).toInt(), 2460000);
    EXPECT_TRUE(r->KeyExists("")) << "reading creates the settings key";
    EXPECT_FALSE(r->ValueExists("", "SoundOn"));
}

TEST_F(RegFileTest, valueExistsSeesAWrittenValueAndASubKey) {
    auto r = reg();
    r->WriteValue("Version Reminder", 2451545);
    r->WriteValue("Fonts\\Last", QStringLiteral("/usr/share/fonts/x.ttf"));
    auto next = reg();
    EXPECT_TRUE(next->ValueExists("", "Version Reminder"));
    EXPECT_TRUE(next->ValueExists("Fonts", "Last"));
    EXPECT_FALSE(next->ValueExists("", "Last"));
    EXPECT_TRUE(next->KeyExists("Fonts"));
    EXPECT_EQ(next->ReadValue("Fonts\\Last").toString(), "/usr/share/fonts/x.ttf");
}

// ---- values written and read at the next start ----

struct RoundTripRow {
    const char* name;
    TaggedValue written;
    std::uint32_t type;
    TaggedValue read;
};

class ValueRoundTrip : public RegFileTest, public ::testing::WithParamInterface<RoundTripRow> {};

TEST_P(ValueRoundTrip, isStoredWithItsTypeAndReadBack) {
    reg()->WriteValue("Value", GetParam().written);
    EXPECT_EQ(raw("Value").type, GetParam().type);
    const TaggedValue back = reg()->ReadValue("Value");
    EXPECT_EQ(back.kind(), GetParam().read.kind());
    EXPECT_TRUE(back == GetParam().read) << back.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValueRoundTrip,
    ::testing::Values(
        RoundTripRow{"On", true, kRegDword, -1}, RoundTripRow{"Off", false, kRegDword, 0},
        RoundTripRow{"Integer", 2451545, kRegDword, 2451545},
        RoundTripRow{"Negative", -42, kRegDword, -42},
        RoundTripRow{"Smallint", std::int16_t(-7), kRegDword, -7},
        RoundTripRow{"Text", "/home/ann/fonts/", kRegSz, "/home/ann/fonts/"},
        RoundTripRow{"AccentedText", QStringLiteral("/home/zoé/polices/"), kRegSz,
                     QStringLiteral("/home/zoé/polices/")},
        RoundTripRow{"EmptyText", "", kRegSz, ""}, RoundTripRow{"Single", 1.5f, kRegBinary, 1.5f},
        RoundTripRow{"Double", 3.25, kRegBinary, 3.25},
        RoundTripRow{"Currency", TaggedValue::currency(123456789), kRegBinary,
                     TaggedValue::currency(123456789)},
        RoundTripRow{"Date", TaggedValue::date(36526.5), kRegBinary, TaggedValue::date(36526.5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegFileTest, onIsStoredAsMinusOneAndOffAsZero) {
    auto r = reg();
    r->WriteValue("SoundOn", true);
    EXPECT_EQ(raw("SoundOn").data, (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0xff}));
    r->WriteValue("Show Help", false);
    EXPECT_EQ(raw("Show Help").data, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(RegFileTest, emptyTextIsOneNulByteAndReadsAsEmptyNotDefault) {
    reg()->WriteValue("Save To", QString());
    EXPECT_EQ(raw("Save To").data, (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(reg()->ReadValueDefault("Save To", "default").toString(), "");
}

// ---- stored data of other shapes ----

struct StoredRow {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    TaggedValue expected; // Null: the default applies
};

class StoredValue : public RegFileTest, public ::testing::WithParamInterface<StoredRow> {};

TEST_P(StoredValue, readsAsItsTextNumberOrTheDefault) {
    storeRaw("V", GetParam().type, GetParam().data);
    const TaggedValue v = reg()->ReadValueDefault("V", "DEFAULT");
    const TaggedValue expected =
        GetParam().expected.isNull() ? TaggedValue("DEFAULT") : GetParam().expected;
    EXPECT_TRUE(v == expected) << v.toString().toStdString();
}

std::vector<std::uint8_t> record(std::uint16_t tag, std::vector<std::uint8_t> payload) {
    std::vector<std::uint8_t> r(16, 0);
    r[0] = static_cast<std::uint8_t>(tag);
    r[1] = static_cast<std::uint8_t>(tag >> 8);
    std::copy(payload.begin(), payload.end(), r.begin() + 8);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, StoredValue,
    ::testing::Values(
        StoredRow{"DwordOneIsOn", kRegDword, {1, 0, 0, 0}, 1},
        StoredRow{
            "ExpandTextUnexpanded", kRegExpandSz, {'%', 'H', 'O', 'M', 'E', '%', 0}, "%HOME%"},
        StoredRow{"TextStopsAtNul", kRegSz, {'a', 'b', 0, 'c', 0}, "ab"},
        StoredRow{"TextWithoutNul", kRegSz, {'a', 'b'}, "ab"},
        StoredRow{"MultiTextIsDefault", kRegMultiSz, {'a', 0, 'b', 0, 0}, TaggedValue::null()},
        StoredRow{"SizeZeroIsDefault", kRegSz, {}, TaggedValue::null()},
        StoredRow{"ShortDwordIsDefault", kRegDword, {1, 0}, TaggedValue::null()},
        StoredRow{"LongDwordIsDefault", kRegDword, {1, 0, 0, 0, 0}, TaggedValue::null()},
        StoredRow{"BinaryOfOtherSizeIsDefault", kRegBinary, {1, 2, 3}, TaggedValue::null()},
        StoredRow{"RecordInteger", kRegBinary, record(3, {0x2a, 0, 0, 0}), 42},
        StoredRow{"RecordBoolean", kRegBinary, record(11, {0xff, 0xff}), true},
        StoredRow{"RecordWithPointerTypeIsDefault", kRegBinary, record(0x100, {1, 2, 3, 4}),
                  TaggedValue::null()},
        StoredRow{"RecordNullIsDefault", kRegBinary, record(1, {}), TaggedValue::null()},
        StoredRow{"OtherTypeIsDefault", 11u, {1, 0, 0, 0, 0, 0, 0, 0}, TaggedValue::null()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegFileTest, soundOnStoredAsOneReadsOnAndIsRewrittenAsMinusOne) {
    storeRaw("SoundOn", kRegDword, {1, 0, 0, 0});
    auto r = reg();
    const bool on = r->ReadValueDefault("SoundOn", true).toBool();
    EXPECT_TRUE(on);
    r->WriteValue("SoundOn", on);
    EXPECT_EQ(raw("SoundOn").data, (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0xff}));
}

// ---- errors ----

TEST_F(RegFileTest, invalidVariantTypeIsRefusedAndTheKeyIsClosed) {
    auto r = reg();
    for (const TaggedValue& v : {TaggedValue(), TaggedValue::null()}) {
        try {
            r->WriteValue("V", v);
            ADD_FAILURE() << "no error";
        } catch (const ERegFileError& e) {
            EXPECT_EQ(e.message(), "Invalid variant type");
        }
    }
    // Nothing was left open: the next operation works from a clean state.
    r->WriteValue("V", 5);
    EXPECT_EQ(r->ReadValue("V").toInt(), 5);
}

struct ErrorRow {
    const char* name;
    int bufferSize;
    QString valueName;
    QString message;
    int code;
};

class ReadDataError : public RegFileTest, public ::testing::WithParamInterface<ErrorRow> {};

TEST_P(ReadDataError, raisesRegErrorWithTheEightDigitCode) {
    reg()->WriteValue("Text", "hello");
    auto r = reg();
    ASSERT_TRUE(r->OpenKey(kSettingsKey, false));
    std::vector<char> buffer(static_cast<std::size_t>(GetParam().bufferSize));
    try {
        r->ReadData(GetParam().valueName, buffer.data(), GetParam().bufferSize);
        ADD_FAILURE() << "no error";
    } catch (const ERegFileError& e) {
        EXPECT_EQ(e.message(), GetParam().message);
    }
    EXPECT_EQ(r->LastError(), GetParam().code);
    r->CloseKey();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReadDataError,
    ::testing::Values(ErrorRow{"Missing", 16, "Nope", "Reg Error: 00000002", 2},
                      ErrorRow{"BufferTooSmall", 2, "Text", "Reg Error: 000000EA", 234}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegFileTest, readDataWithoutAnOpenKeyRaises) {
    auto r = reg();
    char buffer[8];
    EXPECT_THROW(r->ReadData("SoundOn", buffer, 8), ERegFileError);
    EXPECT_NE(r->LastError(), 0);
}

TEST_F(RegFileTest, aKeyThatCannotBeCreatedRaisesCantOpenAKey) {
    auto r = reg();
    r->setRootKey(TRegFile::hkDynData);
    try {
        r->ReadValue("SoundOn");
        ADD_FAILURE() << "no error";
    } catch (const ERegFileError& e) {
        EXPECT_EQ(e.message(), "Can't open a Key");
    }
    EXPECT_FALSE(r->OpenKey("Missing", true)) << "open-only just reports";
}

TEST_F(RegFileTest, anUnwritableSettingsFolderRaisesRegError) {
    QFile blocker(dir_.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRegFile r(nullptr,
               std::make_shared<RegistryStore>(dir_.filePath("blocker/quillmark").toStdString()));
    r.setKey(kSettingsKey);
    try {
        r.WriteValue("SoundOn", true);
        ADD_FAILURE() << "no error";
    } catch (const ERegFileError& e) {
        EXPECT_TRUE(e.message().startsWith("Reg Error: 0000000")) << e.message().toStdString();
    }
}

TEST_F(RegFileTest, aDamagedFileReadsAsDefaultsAndIsReplacedAtTheNextWrite) {
    QDir().mkpath(dir_.filePath("quillmark"));
    QFile damaged(file());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("REGEDIT4\n[HKEY_CURRENT_USER\\Software\n\"SoundOn\"=dword:zz\n");
    damaged.close();

    auto r = reg();
    EXPECT_FALSE(r->ValueExists("", "SoundOn"));
    EXPECT_TRUE(r->ReadValueDefault("SoundOn", true).toBool());
    r->WriteValue("SoundOn", false);
    EXPECT_FALSE(reg()->ReadValueDefault("SoundOn", true).toBool());
    EXPECT_TRUE(QFile::exists(file() + ".damaged"));
}

TEST_F(RegFileTest, defaultStoreFollowsXdgConfigHome) {
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    {
        TRegFile r;
        r.setKey(kSettingsKey);
        r.WriteValue("Version Reminder", 2451545);
    }
    qputenv("XDG_CONFIG_HOME", old);
    EXPECT_TRUE(QFile::exists(file()));
    EXPECT_EQ(reg()->ReadValue("Version Reminder").toInt(), 2451545);
}

// ---- conversions the window relies on ----

struct BoolRow {
    const char* name;
    TaggedValue value;
    bool on;
};

class ToBool : public ::testing::TestWithParam<BoolRow> {};

TEST_P(ToBool, anyNonzeroIsOn) {
    EXPECT_EQ(GetParam().value.toBool(), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Values, ToBool,
                         ::testing::Values(BoolRow{"MinusOne", -1, true}, BoolRow{"One", 1, true},
                                           BoolRow{"Zero", 0, false}, BoolRow{"True", true, true},
                                           BoolRow{"False", false, false},
                                           BoolRow{"TextTrue", "True", true},
                                           BoolRow{"TextZero", "0", false},
                                           BoolRow{"Null", TaggedValue::null(), false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
