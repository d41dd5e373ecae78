#pragma once

// Shows the sample sheet as a white page, scaled to the widget's width.

#include "viewer/FontSample.h"

#include <QWidget>

namespace qm::viewer {

class SheetView : public QWidget {
    Q_OBJECT
public:
    explicit SheetView(const FontSample& sample, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const FontSample& sample_;
};

} // namespace qm::viewer
