// The browser and naming panels on their own, driven as a user drives them: what their signals
// say must be the folder and the font the user reached, and the names the user typed.

#include "browse/BrowsePanel.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "core/FontReader.h"
#include "naming/NamingPanel.h"
#include "tests/support/TestFonts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;
using qm::browse::BrowsePanel;
using qm::browse::DirectoryListBox;
using qm::browse::DriveComboBox;
using qm::browse::FileListBox;
using qm::naming::NameBoxes;
using qm::naming::NamingPanel;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// What a panel said, in order.
struct Said {
    std::vector<std::pair<std::string, std::string>> heard;
    std::vector<std::pair<std::string, std::string>> take() { return std::exchange(heard, {}); }
};

// A click on the entry, and with `twice` the double click that follows it.
void clickItem(QListWidget& list, const QString& text, bool twice = false) {
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list.scrollToItem(found.first());
    const QPoint at = list.visualItemRect(found.first()).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// A folder of three real fonts (and a file and a folder that are not fonts) browsed from its
// parent: Return and a double click move between the folders, a click and the keys that move
// the selection choose a font, the others choose none, and the locked list chooses nothing.
TEST(PanelsTest, theBrowserSaysTheFolderAndTheFontTheUserReached) {
    const std::vector<std::string> machine = testfonts::MachineTrueTypeFonts();
    ASSERT_GE(machine.size(), 3u);
    const testfonts::TempDir dir;
    const std::string sub = dir.File("fonts");
    fs::create_directories(sub + "/inner");
    std::map<std::string, std::string> sourceOf = {
        {sub + "/A.TTF", machine[0]}, {sub + "/b.ttf", machine[1]}, {sub + "/C.Ttf", machine[2]}};
    for (const auto& [copy, source] : sourceOf)
        fs::copy_file(source, copy);
    testfonts::WriteFile(sub + "/NOTE.TXT", {1});

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* drive = new DriveComboBox;
    auto* folders = new DirectoryListBox;
    auto* files = new FileListBox;
    auto* fileName = new QLineEdit;
    for (QWidget* widget : std::initializer_list<QWidget*>{drive, folders, files, fileName})
        layout->addWidget(widget);
    window.resize(300, 600);
    BrowsePanel panel(drive, folders, files, fileName, nullptr);
    Said said;
    QObject::connect(&panel, &BrowsePanel::folderChosen, [&](const QString& folder) {
        said.heard.emplace_back("folder", folder.toStdString());
    });
    QObject::connect(&panel, &BrowsePanel::fontChosen, [&](const QString& path) {
        said.heard.emplace_back("font", path.toStdString());
        // The path chosen is the font the user pointed at, as it reads.
        const auto source = sourceOf.find(path.toStdString());
        ASSERT_NE(source, sourceOf.end()) << path.toStdString();
        EXPECT_EQ(ReadFontNames(path.toStdString()).FontNames.FamilyName,
                  ReadFontNames(source->second).FontNames.FamilyName);
    });
    showActive(window);
    using Signals = std::vector<std::pair<std::string, std::string>>;

    panel.open(qs(dir.Path()));
    EXPECT_EQ(said.take(), (Signals{{"folder", dir.Path()}}));
    EXPECT_EQ(files->count(), 0);

    // The keyboard: the folder below is the list's last entry; Return opens it.
    folders->setFocus();
    QTest::keyClick(folders, Qt::Key_End);
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(said.take(), (Signals{{"folder", sub}}));
    EXPECT_EQ(panel.fontCount(), 3);

    // The mouse: a click chooses the font under it.
    clickItem(*files, "b.ttf");
    EXPECT_EQ(said.take(), (Signals{{"font", sub + "/b.ttf"}}));
    EXPECT_EQ(fileName->text(), "b.ttf");
    // Keys that move the selection choose; Page Down only moves it.
    QTest::keyClick(files, Qt::Key_Home);
    QTest::keyClick(files, Qt::Key_PageDown);
    QTest::keyClick(files, Qt::Key_Up);
    EXPECT_EQ(said.take(), (Signals{{"font", sub + "/A.TTF"}, {"font", sub + "/b.ttf"}}));

    // Locked for a new name: a click chooses nothing and gives the box back, empty.
    panel.setLocked(true);
    clickItem(*files, "C.Ttf");
    QTest::keyClick(files, Qt::Key_Down);
    EXPECT_TRUE(said.take().empty());
    EXPECT_TRUE(fileName->text().isEmpty());
    EXPECT_TRUE(fileName->hasFocus());
    EXPECT_TRUE(files->selectedItems().isEmpty());
    panel.setLocked(false);
    clickItem(*files, "C.Ttf");
    EXPECT_EQ(said.take(), (Signals{{"font", sub + "/C.Ttf"}}));

    // A double click on the folder above goes back, with no font chosen there.
    clickItem(*folders, qs(fs::path(dir.Path()).filename().string()), true);
    EXPECT_EQ(said.take(), (Signals{{"folder", dir.Path()}}));
    EXPECT_EQ(panel.fontCount(), 0);
    // "Open with" a font: its folder, then the font.
    panel.open(qs(sub + "/b.ttf"));
    EXPECT_EQ(said.take(), (Signals{{"folder", sub}, {"font", sub + "/b.ttf"}}));
}

// A real font's names shown in the boxes; leaving the family or the style box for another
// control says the names were edited, and then the panel gives what was typed. Leaving another
// box, or the window, says nothing.
TEST(PanelsTest, theNamingPanelSaysWhenTheFamilyOrStyleWasEdited) {
    const std::vector<std::string> machine = testfonts::MachineTrueTypeFonts();
    ASSERT_FALSE(machine.empty());
    const FontRead read = ReadFontNames(machine[0]);
    ASSERT_FALSE(read.ReadFailed) << machine[0];

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    NameBoxes boxes{};
    for (QLineEdit** box : {&boxes.FamilyName, &boxes.Style, &boxes.FullName, &boxes.Postscript,
                            &boxes.Version, &boxes.FontID, &boxes.Copyright, &boxes.TradeMark}) {
        *box = new QLineEdit;
        layout->addWidget(*box);
    }
    auto* other = new QPushButton("Other");
    layout->addWidget(other);
    NamingPanel panel(boxes, nullptr);
    std::vector<NameTexts> edited;
    QObject::connect(&panel, &NamingPanel::namesEdited, [&] { edited.push_back(panel.texts()); });
    showActive(window);

    panel.show(read.FontNames);
    const NameTexts shown = panel.texts();
    const FontNames& names = read.FontNames;
    EXPECT_EQ(shown, (NameTexts{names.FamilyName, names.FullName, names.Style, names.Postscript,
                                names.Version, names.FontID, names.Copyright, names.TradeMark}));
    EXPECT_TRUE(edited.empty());

    // Typed into the family box, then Tab to the style box.
    QTest::mouseClick(boxes.FamilyName, Qt::LeftButton);
    ASSERT_TRUE(boxes.FamilyName->hasFocus());
    boxes.FamilyName->selectAll();
    QTest::keyClicks(boxes.FamilyName, "Quill Test");
    QTest::keyClick(boxes.FamilyName, Qt::Key_Tab);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].FamilyName, "Quill Test");
    EXPECT_EQ(edited[0].Style, names.Style);
    // Typed into the style box, then a click elsewhere.
    ASSERT_TRUE(boxes.Style->hasFocus());
    boxes.Style->selectAll();
    QTest::keyClicks(boxes.Style, "Bold");
    QTest::mouseClick(other, Qt::LeftButton);
    ASSERT_EQ(edited.size(), 2u);
    EXPECT_EQ(edited[1].Style, "Bold");
    panel.derive(names.FamilyName);
    EXPECT_EQ(panel.texts().FullName, "Quill Test Bold");
    EXPECT_EQ(panel.texts().Postscript, "QuillTest-Bold");

    // Another box left, or the window left while in the family box: nothing is said.
    boxes.Version->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(boxes.Version, Qt::Key_Tab);
    boxes.FamilyName->setFocus(Qt::MouseFocusReason);
    QWidget elsewhere;
    showActive(elsewhere);
    EXPECT_EQ(edited.size(), 2u);
}

} // namespace
