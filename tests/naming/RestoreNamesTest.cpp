// "Restore Original Font Names" on a file the program made: the swap there and back, a file
// another program holds, and a copy made from a restored file.

#include "tests/naming/NamingFixture.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace namingtest {
namespace {

const QString kSource = QStringLiteral("SOURCE.TTF");

// Holds a file the way another program would: open, with an exclusive lock.
class HeldFile {
public:
    explicit HeldFile(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~HeldFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

class RestoreTest : public NamingTest {
protected:
    // A source font and a copy of it named "Zeta Mono", made through the window.
    QString makeRenamedCopy() {
        addFont(kSource);
        pickFont(kSource);
        box(QStringLiteral("E_FamilyName"))->clear();
        typeInto(QStringLiteral("E_FamilyName"), QStringLiteral("Zeta Mono"));
        makeFont(QStringLiteral("zeta"));
        return fontsFolder() + QStringLiteral("/ZETA.TTF");
    }
};

TEST_F(RestoreTest, restoreShowsTheSourceNamesAndASecondPressGivesTheFileBack) {
    const QString made = makeRenamedCopy();
    const testfonts::Bytes asMade = testfonts::ReadFile(made.toStdString());
    clearCues();

    click(QStringLiteral("B_RestoreNames"));

    const testfonts::Bytes restored = testfonts::ReadFile(made.toStdString());
    EXPECT_EQ(restored.size(), asMade.size());
    EXPECT_NE(restored, asMade);
    EXPECT_EQ(readFontFile(made).Names.FamilyName, "Test Sans");
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("Test Sans"));
    EXPECT_EQ(textOf(QStringLiteral("E_FullName")), QStringLiteral("Test Sans"));
    EXPECT_EQ(cues(), QStringList{"MyChimes"});
    EXPECT_EQ(focusedName(), QStringLiteral("E_FamilyName"));
    EXPECT_EQ(box(QStringLiteral("E_FamilyName"))->selectedText(), QStringLiteral("Test Sans"));
    EXPECT_TRUE(isEnabled(QStringLiteral("B_RestoreNames")));

    click(QStringLiteral("B_RestoreNames"));

    EXPECT_EQ(testfonts::ReadFile(made.toStdString()), asMade);
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("Zeta Mono"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(RestoreTest, fileHeldByAnotherProgramShowsThePanelAndChangesNothing) {
    const QString made = makeRenamedCopy();
    const testfonts::Bytes asMade = testfonts::ReadFile(made.toStdString());
    HeldFile other(made);
    ASSERT_TRUE(other.held());
    clearCues();

    click(QStringLiteral("B_RestoreNames"));

    EXPECT_TRUE(isShown(QStringLiteral("P_FontError")));
    EXPECT_EQ(textOf(QStringLiteral("LB_FontError")),
              QStringLiteral("Font is in use by another application."));
    EXPECT_EQ(textOf(QStringLiteral("LB_FontFileError")), made);
    EXPECT_EQ(cues(), QStringList{"MyOhOh"});
    EXPECT_EQ(testfonts::ReadFile(made.toStdString()), asMade);
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("Zeta Mono"));
    EXPECT_TRUE(isEnabled(QStringLiteral("B_RestoreNames")));
    EXPECT_TRUE(messages().empty());
}

TEST_F(RestoreTest, successfulPressClearsAnEarlierInUsePanel) {
    const QString made = makeRenamedCopy();
    {
        HeldFile other(made);
        ASSERT_TRUE(other.held());
        click(QStringLiteral("B_RestoreNames"));
        ASSERT_TRUE(isShown(QStringLiteral("P_FontError")));
    }
    click(QStringLiteral("B_RestoreNames"));
    EXPECT_FALSE(isShown(QStringLiteral("P_FontError")));
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("Test Sans"));
}

TEST_F(RestoreTest, savedLocationOutsideTheFileLeavesItAndResetsTheWindow) {
    const QString made = makeRenamedCopy();
    testfonts::Bytes bytes = testfonts::ReadFile(made.toStdString());
    // Point the saved location past the end of the file.
    testfonts::PutU32(bytes, bytes.size() - 8, static_cast<std::uint32_t>(bytes.size() + 64));
    testfonts::WriteFile(made.toStdString(), bytes);
    clearCues();

    click(QStringLiteral("B_RestoreNames"));

    EXPECT_EQ(testfonts::ReadFile(made.toStdString()), bytes);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(messages()[0].text, QStringLiteral("Not a valid TrueType font file.\rSorry."));
    EXPECT_EQ(cues(), QStringList{"MyOhOh"});
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QString());
    EXPECT_FALSE(isEnabled(QStringLiteral("B_CreateFontNow")));
    EXPECT_FALSE(isEnabled(QStringLiteral("B_RestoreNames")));
}

TEST_F(RestoreTest, copyOfARestoredFileSavesTheSourceTable) {
    const QString made = makeRenamedCopy();
    click(QStringLiteral("B_RestoreNames"));
    const testfonts::Bytes restored = testfonts::ReadFile(made.toStdString());
    const auto entry = testfonts::FindEntry(restored, "name");
    ASSERT_TRUE(entry.has_value());

    makeFont(QStringLiteral("again"));

    const QString again = fontsFolder() + QStringLiteral("/AGAIN.TTF");
    const testfonts::Bytes copy = testfonts::ReadFile(again.toStdString());
    ASSERT_GE(copy.size(), restored.size() + 50);
    // The copy's trailer holds the location the restored file's entry pointed at.
    EXPECT_EQ(testfonts::GetU32(copy, copy.size() - 8), testfonts::GetU32(restored, *entry + 8));
    EXPECT_EQ(testfonts::GetU32(copy, copy.size() - 4), testfonts::GetU32(restored, *entry + 12));
    const ReadBack back = readFontFile(again);
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_EQ(back.Names.FamilyName, "Test Sans");
    EXPECT_TRUE(back.IsRenamed);
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), again);
}

TEST_F(RestoreTest, restoreAfterAFolderChangeRestoresTheFontOnShow) {
    const QString made = makeRenamedCopy();
    const std::string family = readFontFile(made).Names.FamilyName;
    openFolder(windowsFolder());
    clearCues();

    click(QStringLiteral("B_RestoreNames"));

    // Browsing elsewhere left the font on show; that is the file restored.
    EXPECT_FALSE(isShown(QStringLiteral("P_FontError")));
    const ReadBack back = readFontFile(made);
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_NE(back.Names.FamilyName, family);
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")).toStdString(), back.Names.FamilyName);
    EXPECT_FALSE(cues().contains(QStringLiteral("MyOhOh")));
}

} // namespace
} // namespace namingtest
