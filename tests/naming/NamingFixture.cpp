#include "tests/naming/NamingFixture.h"

#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;

namespace namingtest {

ReadBack readFontFile(const QString& path) {
    const FontRead reader = ReadFontNames(QFile::encodeName(path).toStdString());
    return {reader.ReadFailed, reader.ErrorText, reader.FontNames, reader.IsRenamed};
}

QString NamingTest::addFont(const QString& name, const testfonts::FontSpec& fontSpec) {
    return writeFont(name, testfonts::SimpleFont(fontSpec));
}

void NamingTest::pickFont(const QString& fileName) {
    if (!started())
        start();
    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> items = list->findItems(fileName, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << "no entry " << fileName.toStdString();
    list->scrollToItem(items.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.front()).center());
    settle();
}

void NamingTest::openFolder(const QString& folder) {
    if (!started())
        start();
    auto* list = findAs<DirectoryListBox>(QStringLiteral("D_Dir"));
    ASSERT_NE(list, nullptr);
    const int row = static_cast<int>(list->entryPaths().indexOf(folder));
    ASSERT_GE(row, 0) << "no entry " << folder.toStdString() << " in "
                      << list->entryPaths().join(u' ').toStdString();
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    settle();
    ASSERT_EQ(list->directory(), folder);
}

void NamingTest::makeFont(const QString& typedName) {
    click(QStringLiteral("B_CreateFontNow"));
    typeInto(QStringLiteral("D_FileName"), typedName);
    pressKey(QStringLiteral("D_FileName"), Qt::Key_Return);
}

int NamingTest::cueCount(const QString& cue) const {
    return static_cast<int>(cues().count(cue));
}

QString NamingTest::focusedName() const {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

} // namespace namingtest
