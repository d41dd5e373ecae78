// The viewer's window on the offscreen platform, and printing through a real QPrinter.

#include "viewer/ViewerWindow.h"
#include "ViewerTestSupport.h"
#include "viewer/SampleSheet.h"
#include "viewer/SheetOutput.h"

#include <QAction>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

QAction* Action(ViewerWindow& window, const char* name) {
    return window.findChild<QAction*>(QString::fromUtf8(name));
}

} // namespace

TEST(ViewerWindowTest, showsTheSheetOfAFontWithPrintAndSaveEnabled) {
    ViewerWindow window(loadFontSample(SystemFont(QStringLiteral("dejavu/DejaVuSerif.ttf"))));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.message(), QString());
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("DejaVuSerif.ttf")));
    ASSERT_NE(Action(window, "PrintAction"), nullptr);
    EXPECT_TRUE(Action(window, "PrintAction")->isEnabled());
    EXPECT_TRUE(Action(window, "SavePdfAction")->isEnabled());

    auto* sheet = window.findChild<QWidget*>(QStringLiteral("Sheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    const QImage shot = sheet->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(InkFraction(shot, shot.rect()), 0.02);
}

struct WindowFailure {
    const char* name;
    QString path;
    const char* expected;
};

class ViewerWindowFailureTest : public ::testing::TestWithParam<WindowFailure> {};

TEST_P(ViewerWindowFailureTest, saysWhyInsteadOfASheetAndOffersNothingToPrint) {
    ViewerWindow window(loadFontSample(GetParam().path));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.message().contains(QString::fromUtf8(GetParam().expected)))
        << window.message().toStdString();
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("Sheet")), nullptr);
    EXPECT_FALSE(Action(window, "PrintAction")->isEnabled());
    EXPECT_FALSE(Action(window, "SavePdfAction")->isEnabled());
    auto* label = window.findChild<QWidget*>(QStringLiteral("Message"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ViewerWindowFailureTest,
    ::testing::Values(WindowFailure{"noArgument", QString(), "No font file given"},
                      WindowFailure{"notAFont", QStringLiteral("/etc/hostname"),
                                    "Not a TrueType file."},
                      WindowFailure{"missing", QStringLiteral("/nonexistent/font file.ttf"),
                                    "Font File Not Found."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintSampleSheetTest, printsOnePageWithTheSheetOnIt) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    const FontSample sample =
        loadFontSample(SystemFont(QStringLiteral("liberation/LiberationSans-Bold.ttf")));
    ASSERT_EQ(printSampleSheet(sample, printer), QString());

    const QImage page = RenderPdfPage(out, 72);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(InkFraction(page, page.rect()), 0.02);
}

TEST(PrintSampleSheetTest, refusesASampleThatCannotBeShown) {
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("never.pdf")));
    EXPECT_NE(printSampleSheet(loadFontSample(QStringLiteral("/etc/hostname")), printer),
              QString());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.pdf"))));
}
