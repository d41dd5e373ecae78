#pragma once

// Shows the sample sheet as a white page, scaled to the widget's width.

#include "viewer/FontSample.h"

#include <QWidget>

class QAccessibleInterface;

namespace qm::viewer {

class SheetView : public QWidget {
    Q_OBJECT
public:
    explicit SheetView(const FontSample& sample, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // The size that shows the page at zoom times the width it has in a view fitWidth wide.
    static QSize zoomedSize(int fitWidth, qreal zoom);

    // The widget whose keyboard focus the frame around the page shows.
    void setFocusHolder(const QWidget* holder) { focusHolder_ = holder; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const FontSample& sample_;
    const QWidget* focusHolder_ = nullptr;
};

// To assistive technologies the sheet is an image in a document (the scroll area named
// SheetScroll); the rest keep the roles Qt gives them.
// Installed with QAccessible::installFactory(); it runs only once a reader asks.
QAccessibleInterface* sheetAccessibleFactory(const QString& className, QObject* object);

} // namespace qm::viewer
