#include "viewer/ViewerWindow.h"

#include "viewer/SheetOutput.h"
#include "viewer/SheetView.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QToolBar>

namespace qm::viewer {

namespace {
// A title bar and borders.
constexpr QSize kFrameAllowance{16, 48};
} // namespace

ViewerWindow::ViewerWindow(FontSample sample, QWidget* parent)
    : QMainWindow(parent), sample_(std::move(sample)) {
    setObjectName(QStringLiteral("ViewerWindow"));
    const QString fileName = QFileInfo(sample_.path).fileName();
    setWindowTitle(fileName.isEmpty() ? QStringLiteral("glyphsee")
                                      : QStringLiteral("%1 - glyphsee").arg(fileName));

    QToolBar* tools = addToolBar(QStringLiteral("Sheet"));
    tools->setObjectName(QStringLiteral("SheetTools"));
    tools->setMovable(false);
    printAction_ = tools->addAction(QStringLiteral("Print..."), this, &ViewerWindow::printSheet);
    printAction_->setObjectName(QStringLiteral("PrintAction"));
    printAction_->setShortcut(QKeySequence::Print);
    saveAction_ =
        tools->addAction(QStringLiteral("Save as PDF..."), this, &ViewerWindow::saveSheetAs);
    saveAction_->setObjectName(QStringLiteral("SavePdfAction"));
    saveAction_->setShortcut(QKeySequence::Save);
    QAction* quit = tools->addAction(QStringLiteral("Close"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

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
    scroll->setObjectName(QStringLiteral("SheetScroll"));
    scroll->setWidgetResizable(true);
    scroll->setAlignment(Qt::AlignHCenter);
    auto* view = new SheetView(sample_);
    view->setObjectName(QStringLiteral("Sheet"));
    scroll->setWidget(view);
    setCentralWidget(scroll);
    fitToScreen(QSize(view->sizeHint().width() + 40, 900));
}

void ViewerWindow::fitToScreen(QSize wanted) {
    const QScreen* screen = this->screen();
    if (!screen) {
        resize(wanted);
        return;
    }
    // Room is left for the frame the desktop puts around the window.
    const QRect room = screen->availableGeometry().adjusted(0, 0, -kFrameAllowance.width(),
                                                            -kFrameAllowance.height());
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
