// The general error display: an error a handler lets escape is shown in the "Error" box with
// its own text, and the program carries on.

#include "tests/app/WindowFixture.h"

#include "app/Application.h"
#include "app/BusyCursor.h"
#include "app/ErrorDisplay.h"
#include "app/RegFiles.h"
#include "browse/FileListBox.h"
#include "core/EInOutError.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cerrno>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using qm::app::Application;
using qm::app::BusyCursor;
using qm::app::runGuarded;
using qm::app::unknownErrorText;
using qm::browse::FileListBox;

using qm::controls::MessageBoxRecorder;
using qm::controls::MessageKind;

namespace qmtest {
namespace {

const QString kSystemFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

struct EscapeRow {
    const char* name;
    std::function<void()> handler;
    QString text;
};

class EscapedErrorTest : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(EscapedErrorTest, isShownInTheErrorBoxWithItsText) {
    MessageBoxRecorder recorder;
    EXPECT_FALSE(runGuarded(nullptr, [] {
        const BusyCursor busy;
        GetParam().handler();
    }));
    ASSERT_EQ(recorder.shown().size(), 1u);
    EXPECT_EQ(recorder.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(recorder.shown()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(recorder.shown()[0].text, GetParam().text);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a busy cursor would stay for ever";
}

INSTANTIATE_TEST_SUITE_P(
    Errors, EscapedErrorTest,
    ::testing::Values(EscapeRow{"settingsError",
                                [] { throw ERegFileError(QStringLiteral("Reg Error: 00000005")); },
                                QStringLiteral("Reg Error: 00000005")},
                      EscapeRow{"fileError", [] { throw EInOutError(ENOSPC); },
                                QString::fromUtf8(EInOutError(ENOSPC).what())},
                      EscapeRow{"anythingElse", [] { throw 42; }, unknownErrorText()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EscapedError, aHandlerThatFinishesShowsNothing) {
    MessageBoxRecorder recorder;
    bool ran = false;
    EXPECT_TRUE(runGuarded(nullptr, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(recorder.shown().empty());
}

// A control whose click handler fails, as a handler of the program's might.
class FailingControl : public QWidget {
protected:
    void mouseReleaseEvent(QMouseEvent*) override { throw EInOutError(EACCES); }
};

TEST(ApplicationObject, catchesWhatAnEventHandlerLetsEscape) {
#if defined(__SANITIZE_ADDRESS__)
    // Qt's event delivery is built without exceptions: what its frames hold when the error
    // passes through them (the event's points, a guard on the control) is never freed.
    __lsan::ScopedDisabler qtFramesLeak;
#endif
    ASSERT_NE(qobject_cast<Application*>(qApp), nullptr);
    MessageBoxRecorder recorder;
    FailingControl control;
    control.resize(20, 20);
    control.show();
    QTest::mouseClick(&control, Qt::LeftButton);
    ASSERT_EQ(recorder.shown().size(), 1u);
    EXPECT_EQ(recorder.shown()[0].text, QString::fromUtf8(EInOutError(EACCES).what()));
    EXPECT_TRUE(control.isVisible()) << "the program carries on";
}

using ErrorDisplayTest = WindowTest;

TEST_F(ErrorDisplayTest, aFailedWriteOfANewFontReachesTheErrorBox) {
    // The fixed destination folder does not exist: writing the new font there fails.
    const QString gone = scratchPath(QStringLiteral("gone/"));
    writeSetting(QStringLiteral("Save To"), gone);
    copySystemFont(kSystemFont, QStringLiteral("sans.ttf"));
    TFrmMain& w = start();
    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    settle();
    ASSERT_TRUE(isEnabled(QStringLiteral("B_CreateFontNow")));
    click(QStringLiteral("B_CreateFontNow"));
    typeInto(QStringLiteral("D_FileName"), QStringLiteral("NEWSANS"));
    click(QStringLiteral("B_MakeFont"));

    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().title, QStringLiteral("Error"));
    EXPECT_EQ(messages().back().text, QStringLiteral("Path not found\r") + gone)
        << "the refusal names the folder";
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace qmtest
