#pragma once

// The window as screen readers meet it. Its drawn controls get the roles of what they stand
// for: the colour buttons and the labels that act as buttons are push buttons with a press
// action, the switches check boxes with their state, the counter a label whose text is the
// count, the red error panel an alert, the window a frame.

class QAccessibleInterface;
class QObject;
class QString;
class TFrmMain;

namespace qm::app {

// Names for the boxes, lists and bars from their label strips and captions; a label that acts
// as a button is marked to be read as one. Cheap: nothing of the accessibility stack runs.
void nameControlsForReaders(TFrmMain& form);

// Installed with QAccessible::installFactory(); Qt consults it only once a reader connects.
QAccessibleInterface* windowAccessibleFactory(const QString& className, QObject* object);

} // namespace qm::app
