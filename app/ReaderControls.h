#pragma once

// Controls that look like their plain kinds but are read differently by screen readers: a
// class of their own lets the accessibility factory tell them apart from the moment Qt first
// asks about them, which is while they are being built.

#include "controls/PathLabel.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace qm::app {

// A label that acts as a button ("OKAY", the mask over "Click Me -- Important !").
class LabelButton : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// A path label that acts as a button (the destination box).
class PathButton : public TFileLabel {
    Q_OBJECT
public:
    using TFileLabel::TFileLabel;
};

// A box the program fills in and the user only reads (the derived names).
class ReadOnlyBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
};

// A panel that is announced to readers each time it appears (the red error panel).
class AlertPanel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace qm::app
