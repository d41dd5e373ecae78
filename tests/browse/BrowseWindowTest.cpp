// The font browser in the real window: folder changes and the count, loading fonts with the
// mouse and the keyboard, the error panel, and the character strip.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "browse/CharacterStrip.h"
#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "controls/ColorButton.h"
#include "controls/PathLabel.h"
#include "core/FontReader.h"
#include "core/RenamedFontWriter.h"
#include "platform/AppFonts.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;

namespace qmtest {
namespace {

const QString kLiberationItalic =
    QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf");
const QString kLiberationRegular =
    QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf");
const QString kDejaVuMono = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
const QString kTick = QStringLiteral("MyTick");
const QString kOhOh = QStringLiteral("MyOhOh");

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

testfonts::FontSpec specNamed(const std::string& family, std::uint16_t macStyle = 0) {
    testfonts::FontSpec fontSpec;
    fontSpec.FamilyName = family;
    fontSpec.FullName = family + " Regular";
    fontSpec.Style = "Regular";
    fontSpec.Postscript = family + "-Regular";
    fontSpec.Version = "Version 2." + family;
    fontSpec.FontID = "Foundry: " + family;
    fontSpec.Copyright = "Copyright " + family;
    fontSpec.TradeMark = family + " is a mark";
    fontSpec.MacStyle = macStyle;
    return fontSpec;
}

// A renamed copy made by the program's own writer, so its name table says `family`.
void writeRenamedCopy(const QString& source, const QString& target, const std::string& family,
                      const std::string& style = {}) {
    FontRead file = ReadFontNames(local(source));
    ASSERT_FALSE(file.ReadFailed) << file.ErrorText;
    file.FontNames.FamilyName = family;
    file.FontNames.FullName = family;
    if (!style.empty())
        file.FontNames.Style = style;
    WriteRenamedFont(local(source), local(target), file.FontNames);
}

class BrowseTest : public WindowTest {
protected:
    TFrmMain& w() { return window(); }

    // Opens a folder as the folder list does.
    void openFolder(const QString& folder) {
        ASSERT_TRUE(findAs<DirectoryListBox>(w(), "D_Dir")->setDirectory(folder))
            << folder.toStdString();
        settle();
    }
    // Clicks the file list's entry with this name.
    void clickFile(const QString& name) {
        FileListBox* list = findAs<FileListBox>(w(), "D_File");
        QListWidgetItem* item = nullptr;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == name)
                item = list->item(i);
        ASSERT_NE(item, nullptr) << name.toStdString();
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        settle();
    }
    void keyInList(Qt::Key key) {
        findAs<FileListBox>(w(), "D_File")->setFocus();
        QTest::keyClick(findAs<FileListBox>(w(), "D_File"), key);
        settle();
    }
    int loads() const { return int(cues().count(kTick)); }
    QStringList boxes() {
        QStringList texts;
        for (const char* name : {"E_FamilyName", "E_Style", "E_FullName", "E_Postscript",
                                 "E_Version", "E_FontID", "E_Copyright", "E_TradeMark"})
            texts << textOf(QLatin1String(name));
        return texts;
    }
    bool noFontShown() {
        return boxes() == QStringList(8, QString()) && textOf("LB_CurrentFont").isEmpty() &&
               !isEnabled("B_CreateFontNow") && !isEnabled("B_ViewPrint") &&
               !isEnabled("B_RestoreNames") && appFonts().registeredPaths().isEmpty() &&
               findAs<QLabel>(w(), "LB_All256Chars")->text().isEmpty();
    }
};

// The machine's DejaVu faces, several of whose names are wider than the list: a name drawn cut
// shows whole as its tooltip, one that fits shows none; the path cut over the boxes too.
TEST_F(BrowseTest, namesCutToFitShowWholeAsTooltips) {
    const QDir dejavu(QStringLiteral("/usr/share/fonts/truetype/dejavu"));
    const QString deep = fontsFolder() + QStringLiteral("/a folder with a rather long name/and "
                                                        "another one below it for good measure");
    ASSERT_TRUE(QDir().mkpath(deep));
    for (const QString& name : dejavu.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(dejavu.filePath(name), deep + QLatin1Char('/') + name));
    start();
    openFolder(deep);
    FileListBox* list = findAs<FileListBox>(w(), "D_File");
    ASSERT_GT(list->count(), 10);
    const int room = list->viewport()->width();
    int cut = 0, whole = 0;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        list->scrollToItem(item);
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
        const QPoint at = list->visualItemRect(item).center();
        QHelpEvent ask(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &ask);
        const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
        const int needs = list->fontMetrics().horizontalAdvance(item->text());
        if (needs > room) {
            ++cut;
            EXPECT_EQ(tip, item->text());
        } else if (needs < room / 2) {
            ++whole;
            EXPECT_EQ(tip, QString()) << item->text().toStdString();
        }
    }
    EXPECT_GT(cut, 0);
    EXPECT_GT(whole, 0);
    QToolTip::hideText();

    clickFile(list->item(0)->text());
    auto* shown = findAs<TFileLabel>(w(), "LB_CurrentFont");
    ASSERT_TRUE(shown->text().contains(QStringLiteral("...")));
    EXPECT_EQ(shown->toolTip(), shown->fileName());
}

// ---- Folder change and count ----------------------------------------------------------------

struct CountRow {
    const char* name;
    int files;
    const char* caption;
};

class CountTest : public BrowseTest, public ::testing::WithParamInterface<CountRow> {};

TEST_P(CountTest, counterShowsTheFolderTotal) {
    const QString folder = scratchPath("count");
    QDir().mkpath(folder);
    for (int i = 0; i < GetParam().files; ++i) {
        QFile f(QStringLiteral("%1/f%2.%3").arg(folder).arg(i).arg(i % 2 ? "TTF" : "ttf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile other(folder + "/readme.txt");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    start();
    openFolder(folder);
    EXPECT_EQ(textOf("LCD_FontTotal"), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Totals, CountTest,
                         ::testing::Values(CountRow{"None", 0, "0000 Fonts"},
                                           CountRow{"Seven", 7, "0007 Fonts"},
                                           CountRow{"FourDigits", 1234, "1234 Fonts"},
                                           CountRow{"FiveDigits", 10000, "10000 Fonts"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BrowseTest, startFolderIsCountedSilently) {
    writeFont("one.ttf", testfonts::SimpleFont());
    writeFont("TWO.TTF", testfonts::SimpleFont());
    start();
    EXPECT_EQ(findAs<DirectoryListBox>(w(), "D_Dir")->directory(), fontsFolder());
    EXPECT_EQ(textOf("LCD_FontTotal"), "0002 Fonts");
    EXPECT_EQ(textOf("LB_DestinationFile"), fontsFolder() + "/");
    EXPECT_FALSE(cues().contains(kTick));
}

TEST_F(BrowseTest, folderChangeTicksEmptiesTheNameAndKeepsThePathsCase) {
    const QString folder = scratchPath(QString::fromUtf8("Ä-Fonts/MiXed"));
    QDir().mkpath(folder);
    start();
    findAs<QLineEdit>(w(), "D_FileName")->setText("left.ttf");
    clearCues();
    openFolder(folder);
    EXPECT_EQ(cues(), QStringList{kTick});
    EXPECT_EQ(textOf("D_FileName"), "");
    EXPECT_EQ(textOf("D_FilePath"), folder + "/");
    EXPECT_EQ(textOf("LB_DestinationFile"), folder + "/");
}

TEST_F(BrowseTest, rootFolderGetsNoSecondSlash) {
    start();
    openFolder("/");
    EXPECT_EQ(textOf("D_FilePath"), "/");
}

TEST_F(BrowseTest, destinationLabelKeepsAFixedFolder) {
    QDir().mkpath(scratchPath("saved"));
    start();
    openFolder(scratchPath("saved"));
    click("LB_DestinationFile");
    openFolder(scratchPath(""));
    EXPECT_EQ(textOf("LB_DestinationFile"), scratchPath("saved/"));
    EXPECT_EQ(textOf("D_FilePath"), QDir::cleanPath(scratchPath("")) + "/");
}

TEST_F(BrowseTest, hiddenFoldersAreNotListed) {
    QDir().mkpath(fontsFolder() + "/.cache");
    QDir().mkpath(fontsFolder() + "/visible");
    start();
    const QStringList entries = findAs<DirectoryListBox>(w(), "D_Dir")->entryPaths();
    EXPECT_TRUE(entries.contains(fontsFolder() + "/visible"));
    EXPECT_FALSE(entries.contains(fontsFolder() + "/.cache"));
}

TEST_F(BrowseTest, folderChangeLeavesTheShownFontAlone) {
    copySystemFont(kDejaVuMono, "mono.ttf");
    start();
    clickFile("mono.ttf");
    const QStringList shown = boxes();
    const QString strip = findAs<QLabel>(w(), "LB_All256Chars")->text();
    ASSERT_EQ(shown.first(), "DejaVu Sans Mono");

    openFolder(scratchPath(""));
    EXPECT_EQ(boxes(), shown);
    EXPECT_EQ(findAs<QLabel>(w(), "LB_All256Chars")->text(), strip);
    EXPECT_EQ(textOf("LB_CurrentFont"), fontsFolder() + "/mono.ttf");
    EXPECT_TRUE(appFonts().isRegistered(fontsFolder() + "/mono.ttf"));
    EXPECT_TRUE(isEnabled("B_CreateFontNow"));
    EXPECT_TRUE(isEnabled("B_ViewPrint"));
    EXPECT_EQ(textOf("D_FilePath"), QDir::cleanPath(scratchPath("")) + "/");
}

// ---- Loading ------------------------------------------------------------------------------

TEST_F(BrowseTest, loadFillsTheEightBoxesInOrderAndEnablesTheActions) {
    writeFont("names.ttf", testfonts::SimpleFont(specNamed("Quill Probe")));
    start();
    QStringList order;
    for (QLineEdit* box :
         {findAs<QLineEdit>(w(), "E_FamilyName"), findAs<QLineEdit>(w(), "E_Style"),
          findAs<QLineEdit>(w(), "E_FullName"), findAs<QLineEdit>(w(), "E_Postscript"),
          findAs<QLineEdit>(w(), "E_Version"), findAs<QLineEdit>(w(), "E_FontID"),
          findAs<QLineEdit>(w(), "E_Copyright"), findAs<QLineEdit>(w(), "E_TradeMark")})
        QObject::connect(box, &QLineEdit::textChanged,
                         [&order, box] { order << box->objectName(); });
    clearCues();
    clickFile("names.ttf");

    EXPECT_EQ(boxes(),
              (QStringList{"Quill Probe", "Regular", "Quill Probe Regular", "Quill Probe-Regular",
                           "Version 2.Quill Probe", "Foundry: Quill Probe", "Copyright Quill Probe",
                           "Quill Probe is a mark"}));
    EXPECT_EQ(order, (QStringList{"E_FamilyName", "E_Style", "E_FullName", "E_Postscript",
                                  "E_Version", "E_FontID", "E_Copyright", "E_TradeMark"}));
    EXPECT_EQ(cues(), QStringList{kTick});
    EXPECT_EQ(textOf("LB_CurrentFont"), fontsFolder() + "/names.ttf");
    EXPECT_EQ(textOf("D_FilePath"), fontsFolder() + "/names.ttf");
    EXPECT_TRUE(isEnabled("B_CreateFontNow"));
    EXPECT_TRUE(isEnabled("B_ViewPrint"));
    EXPECT_FALSE(isEnabled("B_RestoreNames"));
    EXPECT_FALSE(isShown("B_WhatsNew"));
    EXPECT_TRUE(isShown("P_All256Chars"));
    EXPECT_FALSE(isShown("P_FontError"));
}

TEST_F(BrowseTest, renamedFontEnablesRestore) {
    copySystemFont(kDejaVuMono, "plain.ttf");
    writeRenamedCopy(fontsFolder() + "/plain.ttf", fontsFolder() + "/RENAMED.TTF", "Renamed Mono");
    start();
    clickFile("RENAMED.TTF");
    EXPECT_EQ(textOf("E_FamilyName"), "Renamed Mono");
    EXPECT_TRUE(isEnabled("B_RestoreNames"));
    clickFile("plain.ttf");
    EXPECT_FALSE(isEnabled("B_RestoreNames"));
}

struct FailureRow {
    const char* name;
    testfonts::Bytes (*bytes)();
    const char* reason;
};

testfonts::Bytes notTrueType() {
    return testfonts::Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
}
testfonts::Bytes noNameTable() {
    return testfonts::FontBuilder().AddTable("head", testfonts::HeadTable()).Build();
}
testfonts::Bytes wrongMagic() {
    return testfonts::FontBuilder()
        .AddTable("head", testfonts::HeadTable(0, 0x12345678))
        .AddTable("name", testfonts::NameTable(testfonts::StandardRecords({})))
        .Build();
}
testfonts::Bytes noFamilyName() {
    testfonts::FontSpec fontSpec;
    fontSpec.FamilyName = "";
    return testfonts::SimpleFont(fontSpec);
}
testfonts::Bytes nameStringsBeyondTheEnd() {
    std::vector<testfonts::NameRecord> records = testfonts::StandardRecords({});
    records[0].offset = 0xFFF0;
    return testfonts::FontBuilder()
        .AddTable("head", testfonts::HeadTable())
        .AddTable("name", testfonts::NameTable(records))
        .Build();
}

class LoadFailureTest : public BrowseTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(LoadFailureTest, showsThePanelPlaysOhOhAndResetsTheWindow) {
    copySystemFont(kDejaVuMono, "good.ttf");
    writeFont("bad.ttf", GetParam().bytes());
    start();
    clickFile("good.ttf");
    ASSERT_TRUE(appFonts().isRegistered(fontsFolder() + "/good.ttf"));
    clearCues();

    clickFile("bad.ttf");
    EXPECT_TRUE(isShown("P_FontError"));
    EXPECT_TRUE(isShown("P_All256Chars"));
    EXPECT_EQ(textOf("LB_FontFileError"), fontsFolder() + "/bad.ttf");
    EXPECT_EQ(textOf("LB_FontError"), GetParam().reason);
    EXPECT_EQ(cues(), (QStringList{kTick, kOhOh}));
    EXPECT_TRUE(noFontShown());
    EXPECT_TRUE(textOf("D_FilePath").isEmpty());
    EXPECT_FALSE(appFonts().isRegistered(fontsFolder() + "/good.ttf"));

    clickFile("good.ttf");
    EXPECT_FALSE(isShown("P_FontError"));
    EXPECT_EQ(textOf("E_FamilyName"), "DejaVu Sans Mono");
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, LoadFailureTest,
    ::testing::Values(FailureRow{"NotTrueType", notTrueType, "Not a TrueType file."},
                      FailureRow{"NoNameTable", noNameTable, "NAME Table Entry Not Found"},
                      FailureRow{"WrongMagic", wrongMagic, "MagicNumber mismatch in TTF."},
                      FailureRow{"NoFamilyName", noFamilyName, "Font Name Structure Incorrect"},
                      FailureRow{"StringsBeyondTheEnd", nameStringsBeyondTheEnd,
                                 "Name Table Structure Incorrect"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BrowseTest, fontTheSystemRefusesStillLoadsItsNames) {
    // The builder's fonts have no glyphs: the names show, the registration fails unseen.
    writeFont("noglyphs.ttf", testfonts::SimpleFont(specNamed("Glyphless")));
    start();
    clickFile("noglyphs.ttf");
    EXPECT_EQ(textOf("E_FamilyName"), "Glyphless");
    EXPECT_FALSE(isShown("P_FontError"));
    EXPECT_TRUE(isEnabled("B_CreateFontNow"));
    EXPECT_TRUE(appFonts().registeredPaths().isEmpty());
}

TEST_F(BrowseTest, emptyFolderLoadsTheFolderItself) {
    start();
    clearCues();
    QTest::mouseClick(findAs<FileListBox>(w(), "D_File")->viewport(), Qt::LeftButton, {},
                      QPoint(20, 20));
    settle();
    EXPECT_EQ(textOf("LB_FontError"), "Font File Not Found.");
    EXPECT_EQ(textOf("LB_FontFileError"), fontsFolder() + "/");
    EXPECT_EQ(cues(), (QStringList{kTick, kOhOh}));
}

TEST_F(BrowseTest, arrowHomeAndEndLoadButPageKeysDoNot) {
    for (const char* family : {"Alpha", "Bravo", "Charlie", "Delta"})
        writeFont(QString(family).toLower() + ".ttf", testfonts::SimpleFont(specNamed(family)));
    start();
    clickFile("alpha.ttf");
    keyInList(Qt::Key_Down);
    EXPECT_EQ(textOf("E_FamilyName"), "Bravo");
    keyInList(Qt::Key_End);
    EXPECT_EQ(textOf("E_FamilyName"), "Delta");
    keyInList(Qt::Key_Up);
    EXPECT_EQ(textOf("E_FamilyName"), "Charlie");
    keyInList(Qt::Key_Home);
    EXPECT_EQ(textOf("E_FamilyName"), "Alpha");
    const int before = loads();

    keyInList(Qt::Key_PageDown);
    EXPECT_EQ(textOf("E_FamilyName"), "Alpha");
    EXPECT_EQ(loads(), before);
    EXPECT_EQ(textOf("D_FileName"), "delta.ttf") << "the selection moved";
    keyInList(Qt::Key_Up);
    EXPECT_EQ(textOf("E_FamilyName"), "Charlie");
}

TEST_F(BrowseTest, mouseReleaseReloadsTheSameFileWithOneRegistration) {
    copySystemFont(kDejaVuMono, "mono.ttf");
    start();
    clickFile("mono.ttf");
    clickFile("mono.ttf");
    EXPECT_EQ(loads(), 2);
    EXPECT_EQ(appFonts().registrationCount(fontsFolder() + "/mono.ttf"), 1);
}

TEST_F(BrowseTest, lockedListLoadsNothingAndHandsTheFocusToTheNameBox) {
    writeFont("a.ttf", testfonts::SimpleFont(specNamed("Alpha")));
    writeFont("b.ttf", testfonts::SimpleFont(specNamed("Bravo")));
    start();
    clickFile("a.ttf");
    findAs<FileListBox>(w(), "D_File")->setLocked(true);
    findAs<QLineEdit>(w(), "D_FileName")->show();
    findAs<QLineEdit>(w(), "D_FileName")->setText("NEWNAME");
    const int before = loads();
    clickFile("b.ttf");
    keyInList(Qt::Key_Down);
    EXPECT_EQ(loads(), before);
    EXPECT_EQ(textOf("E_FamilyName"), "Alpha");
    EXPECT_TRUE(findAs<FileListBox>(w(), "D_File")->selectedItems().isEmpty());
    EXPECT_EQ(textOf("D_FileName"), "NEWNAME");
    EXPECT_TRUE(findAs<QLineEdit>(w(), "D_FileName")->hasFocus());
}

TEST_F(BrowseTest, fileLockedByAnotherProgramReachesTheErrorBoxAndTheWindowCarriesOn) {
    copySystemFont(kDejaVuMono, "mono.ttf");
    writeFont("held.ttf", testfonts::SimpleFont(specNamed("Held")));
    start();
    clickFile("mono.ttf");
    const int fd = ::open(local(fontsFolder() + "/held.ttf").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    clickFile("held.ttf");
    ::close(fd);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(textOf("E_FamilyName"), "DejaVu Sans Mono") << "the shown font stays";
    EXPECT_TRUE(appFonts().isRegistered(fontsFolder() + "/mono.ttf"));
    clickFile("held.ttf");
    EXPECT_EQ(textOf("E_FamilyName"), "Held");
}

// ---- Character strip ----------------------------------------------------------------------

TEST_F(BrowseTest, stripStartsAtAAndScrollsToBothEnds) {
    start();
    QScrollBar* bar = findAs<QScrollBar>(w(), "SB_All256Chars");
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 224);
    EXPECT_EQ(bar->value(), 34);
    EXPECT_EQ(textOf("P_Scroll256"), "065");
    EXPECT_TRUE(findAs<QLabel>(w(), "LB_All256Chars")->text().isEmpty()) << "no font is shown yet";
    EXPECT_EQ(findAs<QLabel>(w(), "LB_All256Chars")->font().pixelSize(),
              qm::browse::kStripPixelSize);

    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(textOf("P_Scroll256"), "032");
    EXPECT_TRUE(findAs<QLabel>(w(), "LB_All256Chars")->text().startsWith(" !\""));
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(textOf("P_Scroll256"), "0255");
    EXPECT_EQ(findAs<QLabel>(w(), "LB_All256Chars")->text(), QString(QChar(0xFF)));
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(textOf("P_Scroll256"), "0254");
}

TEST_F(BrowseTest, scrollPositionSurvivesANewLoad) {
    copySystemFont(kDejaVuMono, "mono.ttf");
    copySystemFont(kLiberationRegular, "serif.ttf");
    start();
    clickFile("mono.ttf");
    findAs<QScrollBar>(w(), "SB_All256Chars")->triggerAction(QAbstractSlider::SliderToMinimum);
    clickFile("serif.ttf");
    EXPECT_EQ(textOf("P_Scroll256"), "032");
    EXPECT_EQ(findAs<QLabel>(w(), "LB_All256Chars")->text(),
              qm::browse::stripText(qm::browse::allCharacters(), 1));
}

TEST_F(BrowseTest, scrollingAfterAFailedLoadRefillsTheStrip) {
    writeFont("bad.ttf", notTrueType());
    start();
    clickFile("bad.ttf");
    ASSERT_TRUE(findAs<QLabel>(w(), "LB_All256Chars")->text().isEmpty());
    findAs<QScrollBar>(w(), "SB_All256Chars")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(textOf("P_Scroll256"), "066");
    EXPECT_TRUE(findAs<QLabel>(w(), "LB_All256Chars")->text().startsWith("BCD"));
}

// What the strip draws, reduced to its inked part, in grey levels.
QImage inked(const QImage& source) {
    const QImage grey = source.convertToFormat(QImage::Format_Grayscale8);
    QRect box;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            if (grey.pixelColor(x, y).value() < 128)
                box |= QRect(x, y, 1, 1);
    return grey.copy(box);
}

// 0 for the same drawing; grows with differing shapes and sizes.
double difference(const QImage& a, const QImage& b) {
    const int w = std::min(a.width(), b.width());
    const int h = std::min(a.height(), b.height());
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            sum += std::abs(a.pixelColor(x, y).value() - b.pixelColor(x, y).value());
    const double sizePenalty = std::abs(a.width() - b.width()) + std::abs(a.height() - b.height());
    return (w * h > 0 ? sum / (w * h) : 255.0) + 4 * sizePenalty;
}

class StripGlyphTest : public BrowseTest {
protected:
    // The strip label's area of the panel, above the scroll bar.
    QImage strip() {
        settle();
        const QRect label = findAs<QLabel>(w(), "LB_All256Chars")->geometry() &
                            QRect(0, 0, findAs<QFrame>(w(), "P_All256Chars")->width(),
                                  findAs<QScrollBar>(w(), "SB_All256Chars")->y());
        return inked(findAs<QFrame>(w(), "P_All256Chars")->grab().toImage().copy(label));
    }
    // The strip's text drawn the ordinary way in a face of the system. Taken before the load,
    // while no registered file can stand in for the family.
    QImage reference(const QFont& face) {
        const QRect label = findAs<QLabel>(w(), "LB_All256Chars")->geometry() &
                            QRect(0, 0, findAs<QFrame>(w(), "P_All256Chars")->width(),
                                  findAs<QScrollBar>(w(), "SB_All256Chars")->y());
        QImage image(label.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(face);
        p.setPen(Qt::black);
        p.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter,
                   qm::browse::stripText(qm::browse::allCharacters(),
                                         findAs<QScrollBar>(w(), "SB_All256Chars")->value()));
        p.end();
        return inked(image);
    }
    static QFont systemFace(const QString& family, bool italic) {
        QFont f(family);
        f.setPixelSize(qm::browse::kStripPixelSize);
        f.setItalic(italic);
        return f;
    }
};

struct ImpostorRow {
    const char* name;
    const char* source; // a Liberation Serif face, renamed "DejaVu Sans"
    bool italic;
};

class ImpostorStripTest : public StripGlyphTest,
                          public ::testing::WithParamInterface<ImpostorRow> {};

TEST_P(ImpostorStripTest, fileClaimingAnInstalledFamilyDrawsItsOwnGlyphs) {
    const ImpostorRow& row = GetParam();
    writeRenamedCopy(QString::fromLatin1(row.source), fontsFolder() + "/IMPOSTOR.TTF",
                     "DejaVu Sans");
    start();
    const QImage liberation = reference(systemFace("Liberation Serif", row.italic));
    const QImage dejaVu = reference(systemFace("DejaVu Sans", row.italic));
    clickFile("IMPOSTOR.TTF");
    ASSERT_EQ(textOf("E_FamilyName"), "DejaVu Sans");
    EXPECT_EQ(findAs<QLabel>(w(), "LB_All256Chars")->font().italic(), row.italic)
        << "the Italic flag";

    const QImage shown = strip();
    const double own = difference(shown, liberation);
    const double claimed = difference(shown, dejaVu);
    EXPECT_LT(own * 3, claimed) << "own " << own << ", claimed family " << claimed;
}

INSTANTIATE_TEST_SUITE_P(
    Faces, ImpostorStripTest,
    ::testing::Values(
        ImpostorRow{"Italic", "/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf",
                    true},
        ImpostorRow{"Regular", "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StripGlyphTest, familyNoInstalledFontHasDrawsTheFile) {
    writeRenamedCopy(kDejaVuMono, fontsFolder() + "/UNIQUE.TTF", "Quillmark Probe Unique");
    start();
    const QImage mono = reference(systemFace("DejaVu Sans Mono", false));
    // What Qt draws for a family it does not know.
    const QImage substitute = reference(systemFace("Quillmark Probe Unique", false));
    clickFile("UNIQUE.TTF");
    ASSERT_EQ(textOf("E_FamilyName"), "Quillmark Probe Unique");

    const QImage shown = strip();
    const double own = difference(shown, mono);
    const double fallback = difference(shown, substitute);
    EXPECT_LT(own * 3, fallback) << "own " << own << ", fallback " << fallback;
}

// A style name is the user's text: an upright face renamed "Italic" (its head bits clear) is
// drawn upright, an italic face drawn with its own slant.
TEST_F(StripGlyphTest, slantComesFromTheStyleBitsNotTheStyleName) {
    writeRenamedCopy(kLiberationRegular, fontsFolder() + "/UPRIGHT.TTF", "Upright Probe", "Italic");
    writeRenamedCopy(kLiberationItalic, fontsFolder() + "/SLANTED.TTF", "Slanted Probe", "Italic");
    start();
    const QImage upright = reference(systemFace("Liberation Serif", false));
    const QImage slanted = reference(systemFace("Liberation Serif", true));
    for (const auto& [file, italic] : {std::pair{"UPRIGHT.TTF", false}, {"SLANTED.TTF", true}}) {
        clickFile(QLatin1String(file));
        ASSERT_EQ(textOf("E_Style"), "Italic");
        const QImage shown = strip();
        const double own = difference(shown, italic ? slanted : upright);
        const double other = difference(shown, italic ? upright : slanted);
        EXPECT_LT(own * 3, other) << file << ": own " << own << ", other " << other;
    }
}

TEST_F(StripGlyphTest, boldFaceIsDrawnBoldAndHeavier) {
    copySystemFont(kLiberationRegular, "regular.ttf");
    copySystemFont(QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf"),
                   "bold.ttf");
    start();
    auto ink = [](const QImage& image) {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += 255 - image.pixelColor(x, y).value();
        return sum;
    };
    clickFile("regular.ttf");
    EXPECT_FALSE(findAs<QLabel>(w(), "LB_All256Chars")->font().bold());
    const double regular = ink(strip());
    clickFile("bold.ttf");
    EXPECT_TRUE(findAs<QLabel>(w(), "LB_All256Chars")->font().bold()) << "the Bold flag";
    EXPECT_TRUE(QFontInfo(findAs<QLabel>(w(), "LB_All256Chars")->font()).bold());
    const double bold = ink(strip());
    EXPECT_GT(bold, regular * 1.15) << "regular " << regular << ", bold " << bold;
}

TEST_F(StripGlyphTest, stripKeepsTheFileRegisteredWhileShown) {
    copySystemFont(kLiberationItalic, "serif.ttf");
    start();
    clickFile("serif.ttf");
    const QString path = fontsFolder() + "/serif.ttf";
    ASSERT_TRUE(appFonts().isRegistered(path));
    EXPECT_TRUE(appFonts().families(path).contains("Liberation Serif"));
}

} // namespace
} // namespace qmtest
