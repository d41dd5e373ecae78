// File names are bytes: a font in a folder whose names are not UTF-8 (as old archives have
// them) goes through the whole window as one with an ordinary name, and every file the window
// touches is the one with the original bytes, as fontTools reads it.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "platform/CommandLine.h"
#include "platform/FileNames.h"
#include "tests/support/CommandOutput.h"

#include <QByteArray>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmtest {
namespace {

using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;
using qm::platform::fileNameText;

const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
// Latin-1 "été" and "café" with a byte no encoding gives a letter: neither is UTF-8.
const std::string kFolderName = "\xE9t\xE9";
const std::string kFontName = "caf\xE9\xFF.ttf";

// Family name ID 1 as fontTools reads it from the file with these bytes.
std::string familySeenByFontTools(const std::string& bytes) {
    const QByteArray hex = QByteArray::fromStdString(bytes).toHex();
    return testfonts::CommandOutput(
        "/usr/bin/python3 -c 'import sys; from fontTools.ttLib import TTFont; "
        "print(TTFont(bytes.fromhex(sys.argv[1]))[\"name\"].getDebugName(1))' " +
        hex.toStdString() + " 2>&1");
}

bool exists(const std::string& bytes) {
    struct stat st {};
    return ::stat(bytes.c_str(), &st) == 0;
}

class ByteNamesTest : public WindowTest {
protected:
    // fonts/<été>/<café\xFF>.ttf, a copy of a real font, made by its bytes.
    void SetUp() override {
        folderBytes_ = QFile::encodeName(fontsFolder()).toStdString() + '/' + kFolderName;
        fontBytes_ = folderBytes_ + '/' + kFontName;
        ASSERT_EQ(::mkdir(folderBytes_.c_str(), 0755), 0);
        QFile source(kDejaVu);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray font = source.readAll();
        const int fd = ::open(fontBytes_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, font.constData(), size_t(font.size())), font.size());
        ::close(fd);
    }

    void doubleClickFolder(const QString& name) {
        auto* folders = findAs<DirectoryListBox>(window(), "D_Dir");
        const QList<QListWidgetItem*> items = folders->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << "the folder list shows " << name.toStdString();
        folders->scrollToItem(items.front());
        const QPoint at = folders->visualItemRect(items.front()).center();
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
        settle();
    }
    void clickFile(const QString& name) {
        auto* list = findAs<FileListBox>(window(), "D_File");
        const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << "the file list shows " << name.toStdString();
        list->scrollToItem(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.front()).center());
        settle();
    }
    QStringList listed() {
        QStringList names;
        auto* list = findAs<FileListBox>(window(), "D_File");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    std::string folderBytes_;
    std::string fontBytes_;
};

TEST_F(ByteNamesTest, fontNamedInLatin1IsListedLoadedMadeRestoredAndOpenedByItsBytes) {
    start();
    const QString folderText = fileNameText(folderBytes_);
    const QString fontText = fileNameText(fontBytes_);
    // The bytes that are no character show as escapes, so the user sees which name it is.
    EXPECT_TRUE(fontText.endsWith(QStringLiteral("/\\xE9t\\xE9/caf\\xE9\\xFF.ttf")))
        << fontText.toStdString();

    doubleClickFolder(fileNameText(kFolderName));
    EXPECT_EQ(listed(), QStringList{fileNameText(kFontName)});
    EXPECT_EQ(textOf("LCD_FontTotal"), QStringLiteral("0001 Fonts"));

    clickFile(fileNameText(kFontName));
    EXPECT_FALSE(isShown("P_FontError")) << textOf("LB_FontError").toStdString();
    EXPECT_EQ(textOf("LB_CurrentFont"), fontText);
    EXPECT_EQ(textOf("E_FamilyName"), QStringLiteral("DejaVu Sans"));
    EXPECT_FALSE(appFonts().families(fontText).isEmpty()) << "registered for the strip";

    // MAKE FONT writes beside it, into the folder with the Latin-1 name.
    findAs<QLineEdit>(window(), "E_FamilyName")->clear();
    typeInto("E_FamilyName", QStringLiteral("Byte Names"));
    click("B_CreateFontNow");
    typeInto("D_FileName", QStringLiteral("newcopy"));
    pressKey("D_FileName", Qt::Key_Return);
    const std::string copyBytes = folderBytes_ + "/NEWCOPY.TTF";
    ASSERT_TRUE(exists(copyBytes)) << "messages: " << messages().size();
    EXPECT_EQ(familySeenByFontTools(copyBytes), "Byte Names\n");
    EXPECT_EQ(familySeenByFontTools(fontBytes_), "DejaVu Sans\n") << "the source is unchanged";
    EXPECT_EQ(textOf("LB_CurrentFont"), folderText + QStringLiteral("/NEWCOPY.TTF"));
    EXPECT_EQ(listed(), (QStringList{fileNameText(kFontName), QStringLiteral("NEWCOPY.TTF")}));
    EXPECT_EQ(textOf("LCD_FontTotal"), QStringLiteral("0002 Fonts"));

    // The taken name is seen by its bytes: a second copy under it is refused before any write.
    clearCues();
    clearMessages();
    const testfonts::Bytes made = testfonts::ReadFile(copyBytes);
    click("B_CreateFontNow");
    typeInto("D_FileName", QStringLiteral("newcopy"));
    pressKey("D_FileName", Qt::Key_Return);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(
        messages().front().text.startsWith(QStringLiteral("A TrueType font file with this name")));
    EXPECT_EQ(cues(), (QStringList{QStringLiteral("MyTock"), QStringLiteral("MyOhOh")}));
    EXPECT_EQ(testfonts::ReadFile(copyBytes), made);
    click("B_CancelMake");

    // Restore swaps the copy's names back in place.
    clearCues();
    click("B_RestoreNames");
    EXPECT_TRUE(cues().contains(QStringLiteral("MyChimes"))) << cues().join(' ').toStdString();
    EXPECT_EQ(textOf("E_FamilyName"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(familySeenByFontTools(copyBytes), "DejaVu Sans\n");

    // Opened by its name on the command line, the font shows as after the click.
    const std::string program = "quillmark";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(fontBytes_.c_str())};
    qm::platform::CommandLine line(QStringLiteral("quillmark"), QStringLiteral("0"), {});
    ASSERT_EQ(line.answerWithoutDisplay(2, argv), -1);
    ASSERT_EQ(line.positionalArguments(), QStringList{fontText});
    window().openFontFile(line.positionalArguments().first());
    settle();
    EXPECT_FALSE(isShown("P_FontError")) << textOf("LB_FontError").toStdString();
    EXPECT_EQ(textOf("LB_CurrentFont"), fontText);
    EXPECT_EQ(textOf("E_FamilyName"), QStringLiteral("DejaVu Sans"));
}

} // namespace
} // namespace qmtest
