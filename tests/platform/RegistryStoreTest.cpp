#include "platform/RegistryStore.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qm::platform;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

class RegistryStoreTest : public ::testing::Test {
protected:
    fs::path folder() const { return fs::path(dir_.path().toStdString()) / "quillmark"; }
    fs::path hkcu() const { return folder() / "HKEY_CURRENT_USER.reg"; }

    RegHandle create(RegistryStore& store, const std::string& path) {
        RegHandle h = 0;
        EXPECT_EQ(store.createKey(kHkeyCurrentUser, path, &h), kErrorSuccess);
        return h;
    }

    long set(RegistryStore& store, RegHandle h, const std::string& name, std::uint32_t type,
             const std::vector<std::uint8_t>& data) {
        return store.setValue(h, &name, type, data.data(), static_cast<std::uint32_t>(data.size()));
    }

    // Reads a value through a fresh store, i.e. from the file alone.
    std::optional<RegValue> readBack(const std::string& key, const std::string& name) {
        RegistryStore store(folder());
        RegHandle h = 0;
        if (store.openKey(kHkeyCurrentUser, key, &h) != kErrorSuccess) {
            return std::nullopt;
        }
        RegValue v;
        std::uint32_t size = 0;
        if (store.queryValue(h, &name, &v.type, nullptr, &size) != kErrorSuccess) {
            return std::nullopt;
        }
        v.data.resize(size);
        EXPECT_EQ(store.queryValue(h, &name, &v.type, v.data.data(), &size), kErrorSuccess);
        store.closeKey(h);
        return v;
    }

    QTemporaryDir dir_;
};

std::vector<std::uint8_t> bytes(const std::string& s, bool nul = true) {
    std::vector<std::uint8_t> out(s.begin(), s.end());
    if (nul) {
        out.push_back(0);
    }
    return out;
}

struct TypedRow {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

class TypedValueRoundTrip : public RegistryStoreTest,
                            public ::testing::WithParamInterface<TypedRow> {};

TEST_P(TypedValueRoundTrip, readsBackExactlyFromTheFile) {
    const TypedRow& row = GetParam();
    {
        RegistryStore store(folder());
        RegHandle h = create(store, "Software\\Test");
        ASSERT_EQ(set(store, h, "Value", row.type, row.data), kErrorSuccess);
        store.closeKey(h);
    }
    const auto back = readBack("Software\\Test", "Value");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->type, row.type);
    EXPECT_EQ(back->data, row.data);
}

INSTANTIATE_TEST_SUITE_P(
    Types, TypedValueRoundTrip,
    ::testing::Values(TypedRow{"PlainText", kRegSz, bytes("c:/fonts/new folder/")},
                      TypedRow{"QuotesAndBackslashes", kRegSz, bytes("a \"quoted\" \\path\\")},
                      TypedRow{"Utf8Text", kRegSz, bytes("/home/zoé/Schriften €")},
                      TypedRow{"EmptyText", kRegSz, bytes("")},
                      TypedRow{"TextWithoutNul", kRegSz, bytes("abc", false)},
                      TypedRow{"TextWithLineBreak", kRegSz, bytes("one\ntwo\r")},
                      TypedRow{"TextWithInnerNul", kRegSz, {'a', 0, 'b', 0}},
                      TypedRow{"ExpandText", kRegExpandSz, bytes("%HOME%/x")},
                      TypedRow{
                          "Binary16", kRegBinary, {5, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
                      TypedRow{"BinaryEmpty", kRegBinary, {}},
                      TypedRow{"DwordMinusOne", kRegDword, {0xff, 0xff, 0xff, 0xff}},
                      TypedRow{"DwordOne", kRegDword, {1, 0, 0, 0}},
                      TypedRow{"DwordShort", kRegDword, {1, 0}},
                      TypedRow{"MultiText", kRegMultiSz, {'a', 0, 'b', 0, 0}},
                      TypedRow{"OtherType", 11u, {1, 2, 3, 4, 5, 6, 7, 8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryStoreTest, resultCodesFollowTheSystemOnes) {
    RegistryStore store(folder());
    RegHandle h = 0;
    EXPECT_EQ(store.openKey(kHkeyCurrentUser, "Software\\Missing", &h), kErrorFileNotFound);

    h = create(store, "Software\\Codes");
    const std::string name = "Text";
    ASSERT_EQ(set(store, h, name, kRegSz, bytes("hello")), kErrorSuccess);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const std::string missing = "Nope";
    EXPECT_EQ(store.queryValue(h, &missing, &type, nullptr, &size), kErrorFileNotFound);

    std::uint8_t small[3];
    size = sizeof small;
    EXPECT_EQ(store.queryValue(h, &name, &type, small, &size), kErrorMoreData);
    EXPECT_EQ(size, 6u) << "the size needed comes back with the error";

    std::uint8_t enough[6];
    size = sizeof enough;
    EXPECT_EQ(store.queryValue(h, &name, &type, enough, &size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);

    EXPECT_EQ(store.closeKey(h), kErrorSuccess);
    EXPECT_EQ(store.closeKey(h), kErrorInvalidHandle);
    EXPECT_EQ(store.queryValue(h, &name, &type, nullptr, &size), kErrorInvalidHandle);
}

TEST_F(RegistryStoreTest, keyAndValueNamesIgnoreCase) {
    RegistryStore store(folder());
    RegHandle h = create(store, "Software\\Solvane\\Quillmark");
    ASSERT_EQ(set(store, h, "SoundOn", kRegDword, {1, 0, 0, 0}), kErrorSuccess);
    store.closeKey(h);

    RegHandle again = 0;
    ASSERT_EQ(store.openKey(kHkeyCurrentUser, "SOFTWARE\\solvane\\QUILLMARK", &again),
              kErrorSuccess);
    const std::string other = "soundon";
    std::uint32_t size = 0;
    EXPECT_EQ(store.queryValue(again, &other, nullptr, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 4u);
}

TEST_F(RegistryStoreTest, createMakesParentsAndOpenFromAKeyIsRelative) {
    RegistryStore store(folder());
    RegHandle h = create(store, "A\\B\\C");
    store.closeKey(h);
    RegHandle a = 0;
    ASSERT_EQ(store.openKey(kHkeyCurrentUser, "A", &a), kErrorSuccess);
    RegHandle b = 0;
    EXPECT_EQ(store.openKey(a, "B", &b), kErrorSuccess);
    RegHandle missing = 0;
    EXPECT_EQ(store.openKey(a, "C", &missing), kErrorFileNotFound);
}

TEST_F(RegistryStoreTest, defaultValueIsWrittenAndReadWithoutName) {
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    const auto data = bytes("default");
    ASSERT_EQ(store.setValue(h, nullptr, kRegSz, data.data(), 8), kErrorSuccess);
    EXPECT_NE(readFile(hkcu()).find("@=\"default\""), std::string::npos);
    const auto back = readBack("K", "");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->data, data);
}

TEST_F(RegistryStoreTest, fileIsPrivateAndLeavesNoTemporaryFiles) {
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    ASSERT_EQ(set(store, h, "V", kRegDword, {0, 0, 0, 0}), kErrorSuccess);
    ASSERT_EQ(set(store, h, "V", kRegDword, {1, 0, 0, 0}), kErrorSuccess);

    struct stat st {};
    ASSERT_EQ(::stat(hkcu().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder())) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "HKEY_CURRENT_USER.reg");
    }
    EXPECT_EQ(files, 1);
}

TEST_F(RegistryStoreTest, writeReplacesTheFileInOneStep) {
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    ASSERT_EQ(set(store, h, "V", kRegSz, bytes("first")), kErrorSuccess);
    struct stat before {};
    ASSERT_EQ(::stat(hkcu().c_str(), &before), 0);
    // A reader holding the old file keeps seeing it whole: the new one is renamed over it.
    std::ifstream old(hkcu(), std::ios::binary);
    ASSERT_EQ(set(store, h, "V", kRegSz, bytes("second")), kErrorSuccess);
    struct stat after {};
    ASSERT_EQ(::stat(hkcu().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    std::stringstream oldText;
    oldText << old.rdbuf();
    EXPECT_NE(oldText.str().find("\"V\"=\"first\""), std::string::npos);
    EXPECT_NE(readFile(hkcu()).find("\"V\"=\"second\""), std::string::npos);
}

TEST_F(RegistryStoreTest, aLeftoverTemporaryFileIsIgnored) {
    writeFile(hkcu(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"V\"=dword:00000007\n");
    writeFile(folder() / "HKEY_CURRENT_USER.reg.tmp-Ab12Cd", "REGEDIT4\n\n[HKEY_CURRENT_US");
    const auto back = readBack("K", "V");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
}

TEST_F(RegistryStoreTest, readsAHandWrittenExport) {
    writeFile(hkcu(), "REGEDIT4\r\n\r\n; settings\r\n[HKEY_CURRENT_USER\\Software\\App]\r\n"
                      "\"Blob\"=hex:01,02,\\\r\n  03,04\r\n\"Path\"=hex(2):41,00\r\n");
    auto blob = readBack("Software\\App", "Blob");
    ASSERT_TRUE(blob.has_value());
    EXPECT_EQ(blob->type, kRegBinary);
    EXPECT_EQ(blob->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    auto path = readBack("Software\\App", "Path");
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->type, kRegExpandSz);
}

TEST_F(RegistryStoreTest, unwritableFolderGivesAnErrorAndNoKey) {
    // A folder below a plain file can never be created, whoever runs the test.
    writeFile(folder() / "blocker", "x");
    RegistryStore store(folder() / "blocker" / "quillmark");
    RegHandle h = 0;
    EXPECT_NE(store.createKey(kHkeyCurrentUser, "K", &h), kErrorSuccess);
    EXPECT_EQ(store.openKey(kHkeyCurrentUser, "K", &h), kErrorFileNotFound);
}

TEST_F(RegistryStoreTest, readOnlyFolderGivesAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    fs::create_directories(folder());
    ::chmod(folder().c_str(), 0500);
    RegistryStore store(folder());
    RegHandle h = 0;
    EXPECT_EQ(store.createKey(kHkeyCurrentUser, "K", &h), kErrorAccessDenied);
    ::chmod(folder().c_str(), 0700);
}

TEST_F(RegistryStoreTest, foldersAreCreatedPrivateButAnExistingFolderKeepsItsMode) {
    const fs::path base = fs::path(dir_.path().toStdString()) / "fresh";
    RegistryStore fresh(base / "config" / "quillmark");
    create(fresh, "K");
    for (const fs::path& made : {base, base / "config", base / "config" / "quillmark"}) {
        struct stat st {};
        ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }

    // The user opened the folder to the group: saving never changes that.
    fs::create_directories(folder());
    ::chmod(folder().c_str(), 0750);
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    ASSERT_EQ(set(store, h, "V", kRegDword, {1, 0, 0, 0}), kErrorSuccess);
    struct stat st {};
    ASSERT_EQ(::stat(folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0750u);
}

TEST_F(RegistryStoreTest, aSaveRemovesTemporaryFilesLeftByAnInterruptedOne) {
    const fs::path leftover = folder() / "HKEY_CURRENT_USER.reg.tmp-Ab12Cd";
    const fs::path unrelated = folder() / "HKEY_LOCAL_MACHINE.reg.tmp-Ab12Cd";
    writeFile(leftover, "REGEDIT4\n\n[HKEY_CURRENT_US");
    writeFile(unrelated, "REGEDIT4\n");
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(unrelated)) << "only the saved root's own leftovers go";

    // While another save holds the folder, its temporary file is in use: it stays, and this
    // save still goes through.
    writeFile(leftover, "being written");
    const int other = ::open(folder().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_EQ(set(store, h, "V", kRegDword, {2, 0, 0, 0}), kErrorSuccess);
    ::close(other);
    EXPECT_EQ(readFile(leftover), "being written");
    EXPECT_EQ(readBack("K", "V")->data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

struct NotAFileRow {
    const char* name;
    std::function<void(const fs::path&)> make;
};

void PrintTo(const NotAFileRow& row, std::ostream* os) {
    *os << row.name;
}

class NotAPlainFile : public RegistryStoreTest,
                      public ::testing::WithParamInterface<NotAFileRow> {};

TEST_P(NotAPlainFile, isSetAsideWithoutWaitingAndTheSettingsGoOn) {
    fs::create_directories(folder());
    GetParam().make(hkcu());
    const auto kind = fs::symlink_status(hkcu()).type();
    // In a child, so that a store waiting for ever fails the test instead of hanging it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(10);
        RegistryStore store(folder());
        RegHandle h = 0;
        const bool missing = store.openKey(kHkeyCurrentUser, "K", &h) == kErrorFileNotFound;
        const bool aside = store.lastSetAside().has_value();
        const bool saved = store.createKey(kHkeyCurrentUser, "K", &h) == kErrorSuccess;
        ::_exit(missing && aside && saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the store waited on it";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(hkcu())));
    RegistryStore after(folder());
    RegHandle h = 0;
    EXPECT_EQ(after.openKey(kHkeyCurrentUser, "K", &h), kErrorSuccess);
    EXPECT_EQ(fs::symlink_status(folder() / "HKEY_CURRENT_USER.reg.damaged").type(), kind)
        << "kept for the user as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NotAPlainFile,
    ::testing::Values(
        NotAFileRow{"Fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        NotAFileRow{"EndlessDevice", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        NotAFileRow{"Folder", [](const fs::path& p) { fs::create_directory(p); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryStoreTest, aFileThatCannotBeReadIsKeptNotReplaced) {
    const std::string settings = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"Keep\"=\"me\"\n";
    writeFile(hkcu(), settings);
    ::chmod(hkcu().c_str(), 0600);
    // Opens the store and creates a key, as a user who may not read the settings file.
    auto createKeyWithoutReadRights = [this] {
        RegistryStore store(folder());
        RegHandle h = 0;
        return store.createKey(kHkeyCurrentUser, "New", &h) == kErrorSuccess;
    };
    if (::geteuid() == 0) {
        // Permissions do not bind the super-user: let a child process become nobody, owning
        // the folder but not the file.
        ::chmod(dir_.path().toLocal8Bit().constData(), 0711);
        ASSERT_EQ(::chown(folder().c_str(), 65534, 65534), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            ::_exit(dropped && createKeyWithoutReadRights() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        ::chmod(hkcu().c_str(), 0);
        EXPECT_TRUE(createKeyWithoutReadRights());
        for (const auto& entry : fs::directory_iterator(folder())) {
            ::chmod(entry.path().c_str(), 0600);
        }
    }
    bool kept = false;
    for (const auto& entry : fs::directory_iterator(folder())) {
        kept = kept || readFile(entry.path()) == settings;
    }
    EXPECT_TRUE(kept) << "the settings that could not be read are gone";
}

TEST_F(RegistryStoreTest, dynamicDataIsReadOnly) {
    RegistryStore store(folder());
    RegHandle h = 0;
    EXPECT_EQ(store.createKey(kHkeyDynData, "K", &h), kErrorAccessDenied);
    EXPECT_FALSE(fs::exists(store.fileOf(kHkeyDynData)));
}

TEST_F(RegistryStoreTest, eachRootHasItsOwnFile) {
    RegistryStore store(folder());
    RegHandle h = 0;
    ASSERT_EQ(store.createKey(kHkeyLocalMachine, "Machine", &h), kErrorSuccess);
    EXPECT_TRUE(fs::exists(folder() / "HKEY_LOCAL_MACHINE.reg"));
    EXPECT_EQ(store.openKey(kHkeyCurrentUser, "Machine", &h), kErrorFileNotFound);
}

struct DamagedRow {
    const char* name;
    std::string text;
};

class DamagedFile : public RegistryStoreTest, public ::testing::WithParamInterface<DamagedRow> {};

TEST_P(DamagedFile, isSetAsideAndReadAsMissing) {
    writeFile(hkcu(), GetParam().text);
    RegistryStore store(folder());
    RegHandle h = 0;
    EXPECT_EQ(store.openKey(kHkeyCurrentUser, "K", &h), kErrorFileNotFound);
    ASSERT_TRUE(store.lastSetAside().has_value());
    EXPECT_EQ(readFile(*store.lastSetAside()), GetParam().text) << "kept for the user";
    EXPECT_FALSE(fs::exists(hkcu()));

    // The program goes on: new settings are written to a fresh file.
    h = create(store, "K");
    ASSERT_EQ(set(store, h, "V", kRegDword, {1, 0, 0, 0}), kErrorSuccess);
    EXPECT_TRUE(readBack("K", "V").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedFile,
    ::testing::Values(
        DamagedRow{"Empty", ""}, DamagedRow{"NoHeader", "[HKEY_CURRENT_USER\\K]\n\"V\"=\"x\"\n"},
        DamagedRow{"ValueBeforeKey", "REGEDIT4\n\"V\"=\"x\"\n"},
        DamagedRow{"OtherRoot", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n"},
        DamagedRow{"BadDword", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=dword:12zz\n"},
        DamagedRow{"UnclosedString", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"abc\n"},
        DamagedRow{"BadHex", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=hex:1,2\n"},
        DamagedRow{"Truncated", "REGEDIT4\n[HKEY_CURRENT_USER\\K"},
        DamagedRow{"Binary", std::string("\x00\xff\x13REGEDIT4\x01", 12)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryStoreTest, secondDamagedFileDoesNotOverwriteTheFirst) {
    writeFile(hkcu(), "first junk");
    {
        RegistryStore store(folder());
        RegHandle h = 0;
        store.openKey(kHkeyCurrentUser, "K", &h);
    }
    writeFile(hkcu(), "second junk");
    RegistryStore store(folder());
    RegHandle h = 0;
    store.openKey(kHkeyCurrentUser, "K", &h);
    EXPECT_EQ(readFile(folder() / "HKEY_CURRENT_USER.reg.damaged"), "first junk");
    EXPECT_EQ(readFile(*store.lastSetAside()), "second junk");
}

TEST_F(RegistryStoreTest, manyDamagedFilesAreAllKept) {
    writeFile(folder() / "HKEY_CURRENT_USER.reg.damaged", "junk 0");
    for (int n = 1; n < 1000; ++n) {
        writeFile(folder() / ("HKEY_CURRENT_USER.reg.damaged." + std::to_string(n)),
                  "junk " + std::to_string(n));
    }
    writeFile(hkcu(), "newest junk");
    RegistryStore store(folder());
    RegHandle h = 0;
    store.openKey(kHkeyCurrentUser, "K", &h);
    ASSERT_TRUE(store.lastSetAside().has_value());
    EXPECT_EQ(readFile(*store.lastSetAside()), "newest junk");
    EXPECT_EQ(readFile(folder() / "HKEY_CURRENT_USER.reg.damaged"), "junk 0");
    for (int n = 1; n < 1000; ++n) {
        EXPECT_EQ(readFile(folder() / ("HKEY_CURRENT_USER.reg.damaged." + std::to_string(n))),
                  "junk " + std::to_string(n));
    }
}

TEST_F(RegistryStoreTest, aSettingsFileBehindALinkIsWrittenThroughIt) {
    const fs::path kept = fs::path(dir_.path().toStdString()) / "dotfiles" / "settings.reg";
    writeFile(kept, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"Old\"=\"x\"\n");
    fs::create_directories(folder());
    fs::create_symlink("../dotfiles/settings.reg", hkcu());
    RegistryStore store(folder());
    RegHandle h = create(store, "K");
    ASSERT_EQ(set(store, h, "New", kRegDword, {1, 0, 0, 0}), kErrorSuccess);
    EXPECT_TRUE(fs::is_symlink(hkcu())) << "the link was replaced by a plain file";
    EXPECT_NE(readFile(kept).find("\"New\"=dword:00000001"), std::string::npos);
    EXPECT_NE(readFile(kept).find("\"Old\"=\"x\""), std::string::npos);
}

TEST(RegistryFolder, followsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/some/where", 1);
    EXPECT_EQ(defaultRegistryFolder(), fs::path("/some/where/quillmark"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(defaultRegistryFolder(), fs::path(std::getenv("HOME")) / ".config/quillmark");
    if (old) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

} // namespace
