#include "viewer/ViewerWindow.h"

#include "viewer/SheetOutput.h"
#include "viewer/SheetView.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace qm::viewer {

namespace {
// A title bar and borders.
constexpr QSize kFrameAllowance{16, 48};
// The share of the screen's height left for panels where the desktop does not say where they are.
constexpr double kUnknownPanelShare = 0.1;
// Zoom steps, as multiples of the width that fits the window.
constexpr qreal kZoomLevels[] = {0.5, 0.67, 0.8, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
constexpr int kZoomSteps = int(std::size(kZoomLevels));
constexpr int kFitStep = 3;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;

QString withShortcut(const QString& hint, const QKeySequence& keys) {
    return QStringLiteral("%1 (%2)").arg(hint, keys.toString(QKeySequence::NativeText));
}
} // namespace

ViewerWindow::ViewerWindow(FontSample sample, QWidget* parent)
    : QMainWindow(parent), sample_(std::move(sample)), zoomStep_(kFitStep) {
    setObjectName(QStringLiteral("ViewerWindow"));
    const QString fileName = QFileInfo(sample_.path).fileName();
    setWindowTitle(fileName.isEmpty() ? QStringLiteral("glyphsee")
                                      : QStringLiteral("%1 - glyphsee").arg(fileName));

    QToolBar* tools = addToolBar(QStringLiteral("Sheet"));
    tools->setObjectName(QStringLiteral("SheetTools"));
    tools->setMovable(false);
    // The dialogs open once the press has been answered: a screen reader that pressed the
    // button through its action is not kept waiting while the dialog runs.
    const auto later = [this](void (ViewerWindow::*slot)()) {
        return [this, slot] { QMetaObject::invokeMethod(this, slot, Qt::QueuedConnection); };
    };
    printAction_ =
        tools->addAction(QStringLiteral("Print..."), this, later(&ViewerWindow::printSheet));
    printAction_->setObjectName(QStringLiteral("PrintAction"));
    printAction_->setShortcut(QKeySequence::Print);
    saveAction_ =
        tools->addAction(QStringLiteral("Save as PDF..."), this, later(&ViewerWindow::saveSheetAs));
    saveAction_->setObjectName(QStringLiteral("SavePdfAction"));
    saveAction_->setShortcut(QKeySequence::Save);
    QAction* quit = tools->addAction(QStringLiteral("Close"), this, &QWidget::close);
    quit->setShortcuts({QKeySequence::Quit, QKeySequence(Qt::Key_Escape)});
    printAction_->setToolTip(
        withShortcut(QStringLiteral("Print the sample sheet"), QKeySequence::Print));
    saveAction_->setToolTip(
        withShortcut(QStringLiteral("Save the sample sheet as a PDF file"), QKeySequence::Save));
    quit->setToolTip(withShortcut(QStringLiteral("Close glyphsee"), QKeySequence(Qt::Key_Escape)));
    setUpButtons(tools);

    if (!sample_.ok()) {
        printAction_->setEnabled(false);
        saveAction_->setEnabled(false);
        message_ = new QLabel(sample_.error);
        message_->setObjectName(QStringLiteral("Message"));
        message_->setAlignment(Qt::AlignCenter);
        message_->setWordWrap(true);
        message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        message_->setMargin(24);
        setCentralWidget(message_);
        fitToScreen(QSize(560, 260));
        return;
    }

    auto* scroll = new QScrollArea;
    scroll_ = scroll;
    scroll->setObjectName(QStringLiteral("SheetScroll"));
    scroll->setWidgetResizable(true);
    scroll->setAlignment(Qt::AlignHCenter);
    auto* view = new SheetView(sample_);
    view_ = view;
    view->setObjectName(QStringLiteral("Sheet"));
    view->setFocusHolder(scroll);
    scroll->setWidget(view);
    setCentralWidget(scroll);
    scroll->setAccessibleName(QStringLiteral("Sample sheet"));
    view->setAccessibleName(QStringLiteral("Sample sheet of %1").arg(sample_.fullName));
    QStringList names;
    for (const auto& [label, text] : sample_.names)
        names.append(QStringLiteral("%1: %2").arg(label, text));
    view->setAccessibleDescription(names.join(QLatin1Char('\n')));
    scroll->installEventFilter(this);
    scroll->viewport()->installEventFilter(this);

    // Zooming has no buttons: the usual keys and Ctrl with the wheel.
    const auto addZoom = [this](const QList<QKeySequence>& keys, void (ViewerWindow::*slot)()) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    addZoom({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &ViewerWindow::zoomIn);
    addZoom({QKeySequence::ZoomOut}, &ViewerWindow::zoomOut);
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_0)}, &ViewerWindow::resetZoom);

    // The sheet has the focus first, so the arrow keys scroll it; Tab goes to the tool bar.
    if (QWidget* last = tools->widgetForAction(quit))
        setTabOrder(last, scroll);
    scroll->setFocus();
    fitToScreen(QSize(view->sizeHint().width() + 40, 900));
}

void ViewerWindow::setUpButtons(QToolBar* tools) {
    for (QAction* action : tools->actions()) {
        auto* button = qobject_cast<QToolButton*>(tools->widgetForAction(action));
        if (!button)
            continue;
        // A tool bar's buttons take no focus by default; here they are the only controls.
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
    }
    // The button that shows tools a narrow window has no room for.
    if (auto* more = tools->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More tools"));
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Enter presses a button as Space does.
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QToolButton*>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            button->animateClick();
            return true;
        }
    }
    if (!scroll_)
        return QMainWindow::eventFilter(watched, event);
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // A touchpad sends small deltas: they add up to whole steps.
            wheelDelta_ += wheel->angleDelta().y();
            const int steps = wheelDelta_ / kWheelNotch;
            wheelDelta_ -= steps * kWheelNotch;
            setZoomStep(zoomStep_ + steps);
            return true;
        }
    }
    if (watched == scroll_) {
        if (event->type() == QEvent::Resize && zoomStep_ != kFitStep)
            applyZoom();
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            view_->update();
    }
    return QMainWindow::eventFilter(watched, event);
}

qreal ViewerWindow::zoom() const {
    return kZoomLevels[zoomStep_];
}

void ViewerWindow::zoomIn() {
    setZoomStep(zoomStep_ + 1);
}

void ViewerWindow::zoomOut() {
    setZoomStep(zoomStep_ - 1);
}

void ViewerWindow::resetZoom() {
    setZoomStep(kFitStep);
}

void ViewerWindow::setZoomStep(int step) {
    step = std::clamp(step, 0, kZoomSteps - 1);
    if (!scroll_ || step == zoomStep_)
        return;
    // The point in the middle of the view stays there.
    QScrollBar* across = scroll_->horizontalScrollBar();
    QScrollBar* down = scroll_->verticalScrollBar();
    const QSize shown = scroll_->viewport()->size();
    const QSizeF before = view_->size();
    const QPointF middle((across->value() + shown.width() / 2.0) / before.width(),
                         (down->value() + shown.height() / 2.0) / before.height());
    zoomStep_ = step;
    applyZoom();
    across->setValue(int(std::lround(middle.x() * view_->width() - shown.width() / 2.0)));
    down->setValue(int(std::lround(middle.y() * view_->height() - shown.height() / 2.0)));
}

void ViewerWindow::applyZoom() {
    if (zoomStep_ == kFitStep) {
        // The scroll area sizes the sheet to its width again, exactly as before zooming.
        scroll_->setWidgetResizable(true);
        return;
    }
    scroll_->setWidgetResizable(false);
    // The width the page fits at zoom 1: beside the vertical scroll bar, which a page that
    // fits the width always needs.
    const int fitWidth =
        scroll_->contentsRect().width() - scroll_->verticalScrollBar()->sizeHint().width();
    view_->resize(SheetView::zoomedSize(fitWidth, kZoomLevels[zoomStep_]));
}

void ViewerWindow::fitToScreen(QSize wanted) {
    const QScreen* screen = this->screen();
    if (!screen) {
        resize(wanted);
        return;
    }
    // Room is left for the frame the desktop puts around the window.
    QRect room = screen->availableGeometry().adjusted(0, 0, -kFrameAllowance.width(),
                                                      -kFrameAllowance.height());
    // Wayland does not tell where the desktop's panels are (the whole screen is "available"):
    // room is left for them too.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        screen->availableGeometry() == screen->geometry())
        room.setHeight(room.height() -
                       int(std::lround(screen->geometry().height() * kUnknownPanelShare)));
    resize(wanted.boundedTo(room.size()));
    move(room.topLeft() + QPoint((room.width() - width()) / 2, (room.height() - height()) / 2));
}

QString ViewerWindow::message() const {
    return message_ ? message_->text() : QString();
}

void ViewerWindow::printSheet() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print Font Sample"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const QString error = printSampleSheet(sample_, printer); !error.isEmpty())
        showFailure(QStringLiteral("The sample sheet was not printed."), error);
}

void ViewerWindow::saveSheetAs() {
    // Fonts mostly live in folders the user cannot write to: suggest the documents folder.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested =
        QDir(folder.isEmpty() ? QDir::homePath() : folder)
            .filePath(QFileInfo(sample_.path).completeBaseName() + QStringLiteral(".pdf"));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Sample as PDF"),
                                                      suggested, QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (const QString error = writeSampleSheetPdf(sample_, path); !error.isEmpty())
        showFailure(QStringLiteral("The sample sheet was not saved."), error);
}

void ViewerWindow::showFailure(const QString& what, const QString& why) {
    QMessageBox::warning(this, QStringLiteral("glyphsee"), what + QLatin1Char('\n') + why);
}

} // namespace qm::viewer
