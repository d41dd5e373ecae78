#pragma once

// The pointing-hand cursor "MYPOINTER" and the program icon from the resources.

#include <QCursor>
#include <QIcon>
#include <QPoint>

namespace qm::platform {

// The number the window registers the hand cursor under.
inline constexpr int kHandCursorNumber = 50;
// The fingertip.
inline constexpr QPoint kHandCursorHotSpot{5, 0};

// The 32 x 32 hand with its hot spot; Qt's own pointing hand when the resource is missing.
QCursor loadHandCursor();
// Every size of the program icon held in the resources.
QIcon loadProgramIcon();

} // namespace qm::platform
