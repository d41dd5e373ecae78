#include "controls/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

using qm::controls::MessageBoxRecorder;
using qm::controls::messageDisplayText;
using qm::controls::MessageKind;
using qm::controls::showError;
using qm::controls::showInformation;

struct DisplayRow {
    const char* name;
    const char* text;
    const char* shown;
};

class MessageDisplayText : public ::testing::TestWithParam<DisplayRow> {};

TEST_P(MessageDisplayText, turnsLoneCarriageReturnsIntoLineBreaks) {
    EXPECT_EQ(messageDisplayText(QString::fromLatin1(GetParam().text)),
              QString::fromLatin1(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Rows, MessageDisplayText,
                         ::testing::Values(DisplayRow{"plain", "Error!", "Error!"},
                                           DisplayRow{"loneCR", "Just A Quick Reminder:\r\rThere",
                                                      "Just A Quick Reminder:\n\nThere"},
                                           DisplayRow{"crlfIsOneBreak", "a\r\nb", "a\nb"},
                                           DisplayRow{"trailingCR", "line\r", "line\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A window not yet shown (the reminder and start-up errors come before it is placed) lies at
// the top left; its boxes must be centred on the screen instead.
TEST(MessageBoxPlace, boxOfAWindowNotYetShownIsCentredOnTheScreen) {
    QWidget window;
    window.resize(621, 432);
    QRect shownAt;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shownAt = box->frameGeometry();
            box->close();
        }
    });
    showInformation(&window, QStringLiteral("Just A Quick Reminder:"));
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    ASSERT_FALSE(shownAt.isEmpty());
    EXPECT_LE((shownAt.center() - screen.center()).manhattanLength(), 4)
        << shownAt.center().x() << "," << shownAt.center().y();
}

TEST(MessageBoxSeam, recorderSeesTitleAndTextAsWritten) {
    MessageBoxRecorder rec;
    showError(nullptr, QStringLiteral("one\rtwo"));
    showInformation(nullptr, QStringLiteral("three"));
    ASSERT_EQ(rec.shown().size(), 2u);
    EXPECT_EQ(rec.shown()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(rec.shown()[0].text, QStringLiteral("one\rtwo"));
    EXPECT_EQ(rec.shown()[1].title, QStringLiteral("Information"));
    EXPECT_EQ(rec.shown()[1].kind, MessageKind::Information);
}

TEST(MessageBoxSeam, innerRecorderTakesOverAndHandsBack) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        showError(nullptr, QStringLiteral("inner"));
        EXPECT_EQ(inner.shown().size(), 1u);
    }
    showError(nullptr, QStringLiteral("outer"));
    ASSERT_EQ(outer.shown().size(), 1u);
    EXPECT_EQ(outer.shown()[0].text, QStringLiteral("outer"));
}

TEST(MessageBoxShown, isAnsweredWithTheOrdinaryPointerWhileTheProgramIsBusy) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<Qt::CursorShape> pointer;
    QString shownText;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                pointer = QGuiApplication::overrideCursor()->shape();
                shownText = box->text();
                box->accept();
                answer.stop();
            }
        }
    });
    answer.start(10);
    showError(nullptr, QStringLiteral("Reg Error: 00000005\rline"));
    EXPECT_EQ(pointer, Qt::ArrowCursor);
    EXPECT_EQ(shownText, QStringLiteral("Reg Error: 00000005\nline"));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor) << "busy again after";
    QGuiApplication::restoreOverrideCursor();
}
