#pragma once

// A box's typing limit bounds what the user types, never what the program puts in (a family
// name read from a file may be longer). A QLineEdit cuts both, so the limit is widened to
// fit the program's text and narrowed again as the user shortens it.

#include <QString>

class QLineEdit;

namespace qm::naming {

// Takes the box's current maximum length as its typing limit.
void keepTypingLimit(QLineEdit* box);
// Puts the text into the box whole.
void putBoxText(QLineEdit* box, const QString& text);

} // namespace qm::naming
