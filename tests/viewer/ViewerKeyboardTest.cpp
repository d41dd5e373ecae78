// The viewer without a mouse: every control is a tab stop that Space and Enter press, Escape
// closes, the keys and Ctrl with the wheel zoom; focus frames appear only once Tab is used.

#include "ViewerTestSupport.h"
#include "viewer/ViewerWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

class ViewerKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }
    QImage shot() { return window_.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QToolButton* button(const QString& text) {
        for (auto* b : window_.findChildren<QToolButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
    QScrollArea* sheet() { return window_.findChild<QScrollArea*>(QStringLiteral("SheetScroll")); }

    ViewerWindow window_{
        loadFontSample(SystemFont(QStringLiteral("liberation/LiberationSans-Regular.ttf")))};
};

} // namespace

TEST_F(ViewerKeyboardTest, tabVisitsEveryControlOnceAndFocusShowsOnlyAfterAKey) {
    ASSERT_EQ(QApplication::focusWidget(), sheet());
    const QImage atRest = shot();
    // Focus moved by a click is not drawn: the mouse user's pixels stay as they were.
    button(QStringLiteral("Print"))->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(DifferingPixels(shot(), atRest, atRest.rect()), 0);
    sheet()->setFocus(Qt::MouseFocusReason);

    QList<QWidget*> visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    }
    const QList<QWidget*> cycle = {button(QStringLiteral("Print")),
                                   button(QStringLiteral("Save as PDF")),
                                   button(QStringLiteral("Close")), sheet()};
    EXPECT_EQ(visited, cycle + cycle);
    // Now on the sheet again, the frame around the page shows where the focus is; on a button,
    // the style's focus frame does.
    EXPECT_GT(DifferingPixels(shot(), atRest, atRest.rect()), 100);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    const QImage onPrint = shot();
    button(QStringLiteral("Print"))->clearFocus();
    EXPECT_GT(DifferingPixels(onPrint, shot(), button(QStringLiteral("Print"))->geometry()), 0);
}

TEST_F(ViewerKeyboardTest, enterAndSpacePressButtonsAndEscapeCloses) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        window_.show();
        QToolButton* close = button(QStringLiteral("Close"));
        close->setFocus(Qt::TabFocusReason);
        QTest::keyClick(close, key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.isVisible(); })) << key;
    }
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    sheet()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(sheet(), Qt::Key_Escape);
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(ViewerKeyboardTest, zoomsByKeysAndWheelScrollsWhenLargerAndResetsExactly) {
    const QImage atRest = shot();
    QScrollBar* across = sheet()->horizontalScrollBar();
    EXPECT_EQ(across->maximum(), 0);

    QTest::keyClick(sheet(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(window_.zoom(), 1.0);
    EXPECT_GT(across->maximum(), 0);
    QTest::keyClick(sheet(), Qt::Key_Equal, Qt::ControlModifier);
    const qreal twice = window_.zoom();
    EXPECT_GT(twice, 1.25);
    QTest::keyClick(sheet(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(window_.zoom(), twice);

    // A wheel notch with Ctrl zooms, without Ctrl it scrolls.
    QWidget* viewport = sheet()->viewport();
    const QPoint at = viewport->rect().center();
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(at, viewport->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    const qreal before = window_.zoom();
    wheel(-120, Qt::ControlModifier);
    EXPECT_LT(window_.zoom(), before);
    wheel(120, Qt::ControlModifier);
    wheel(120, Qt::ControlModifier);
    EXPECT_GT(window_.zoom(), before);
    const int down = sheet()->verticalScrollBar()->value();
    wheel(-120, Qt::NoModifier);
    EXPECT_GT(sheet()->verticalScrollBar()->value(), down);
    EXPECT_GT(window_.zoom(), before);

    QTest::keyClick(sheet(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(window_.zoom(), 1.0);
    sheet()->verticalScrollBar()->setValue(0);
    // The focus frame around the page is the only change a key leaves.
    sheet()->clearFocus();
    EXPECT_EQ(DifferingPixels(shot(), atRest, atRest.rect()), 0);
}
