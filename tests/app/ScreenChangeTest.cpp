// The window moved between screens of different pixel ratios, on an offscreen platform given
// two screens: 1x on the left, 2x on the right.

#include "tests/app/WindowFixture.h"

#include "app/Application.h"
#include "controls/FontImageLabel.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

namespace qmtest {
namespace {

class ScreenChangeTest : public WindowTest {};

// Moved to a screen of another ratio, the window takes its pictures again: the title from its
// master at twice the pixels there, not the 1x picture it started with doubled.
TEST_F(ScreenChangeTest, theTitleFollowsTheWindowToAScreenOfAnotherRatio) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() != 2)
        GTEST_SKIP() << "needs the two screens this program's main() sets up";
    TFrmMain& w = start();
    auto* title = findAs<TMyFontImage>(w, "MyFontImage1");
    ASSERT_EQ(w.screen(), screens[0]);
    EXPECT_EQ(title->picture().devicePixelRatio(), 1.0);

    w.setScreen(screens[1]);
    settle();
    ASSERT_EQ(w.devicePixelRatioF(), 2.0);
    EXPECT_EQ(title->picture().devicePixelRatio(), 2.0);
    const QImage master(QStringLiteral(":/pictures/TitleText@2x.png"));
    EXPECT_TRUE(title->picture().toImage().convertToFormat(QImage::Format_ARGB32) ==
                master.convertToFormat(QImage::Format_ARGB32));
}

} // namespace
} // namespace qmtest

int main(int argc, char** argv) {
    // The offscreen platform with a 1x and a 2x screen side by side.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(R"({"screens": [
            {"name": "one", "x": 0, "y": 0, "width": 1024, "height": 768, "dpr": 1},
            {"name": "two", "x": 1024, "y": 0, "width": 1024, "height": 768, "dpr": 2}]})") < 0)
        return 1;
    file.close();
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || QByteArray(platform) == "offscreen")
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit().constData(), 1);
    qm::app::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
