#pragma once

// The viewer's window: the sample sheet with Print and Save as PDF, or, when the file cannot be
// shown, a message saying why in place of the sheet.

#include "viewer/FontSample.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QScrollArea;

namespace qm::viewer {

class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ViewerWindow(FontSample sample, QWidget* parent = nullptr);

    const FontSample& sample() const { return sample_; }
    // The text shown in place of the sheet; empty while the sheet is shown.
    QString message() const;

    // How large the page is shown, as a multiple of the width that fits the window.
    qreal zoom() const;
    // One step larger or smaller, or back to fitting the window's width.
    void zoomIn();
    void zoomOut();
    void resetZoom();

    // Asks for a printer with the system print dialog and prints the sheet.
    void printSheet();
    // Asks for a file name and saves the sheet as PDF there.
    void saveSheetAs();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Tab stops, hints and Enter for the tool bar's buttons.
    void setUpButtons(class QToolBar* tools);
    void setZoomStep(int step);
    void applyZoom();
    // Sizes the window to wanted, or to what the screen has room for, and centres it there.
    void fitToScreen(QSize wanted);
    void showFailure(const QString& what, const QString& why);

    FontSample sample_;
    QAction* printAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QLabel* message_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    class SheetView* view_ = nullptr;
    int zoomStep_;
    int wheelDelta_ = 0;
};

} // namespace qm::viewer
